// Reading whole files, and the names Windows does not take. The safe writer
// behind io::writeFileSafely is tested with io::OutputFile.
#include "common/file_io.h"
#include "temp_folder.h"

#include <doctest/doctest.h>

#include <string>
#include <tuple>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace mq::io;

TEST_CASE("readWholeFile reads every byte, and only regular files")
{
    mq::testing::TempFolder dir;
    for (const std::string& bytes : {std::string(), std::string("@echo off\r\n"),
                                     std::string("\0\xFF\r\x80\n\0", 6), std::string(200000, 'x')}) {
        CAPTURE(bytes.size());
        const auto r = readWholeFile(dir.write("in.bat", bytes));
        REQUIRE(r.ok());
        CHECK(r.value() == bytes);
    }
#ifndef _WIN32
    REQUIRE(::mkfifo(dir.path("pipe").c_str(), 0600) == 0);   // no writer: a plain read would block
#endif
    const std::tuple<const char*, mq::ErrorKind, const char*> rows[] = {   // name, kind, reason
        {"missing.bat", mq::ErrorKind::file_not_found, "No such file or directory"},
        {"no/such/folder.bat", mq::ErrorKind::file_not_found, "No such file or directory"},
        {"", mq::ErrorKind::file_not_found, "No such file or directory"},
#ifndef _WIN32
        {".", mq::ErrorKind::access, "Is a directory"}, {"pipe", mq::ErrorKind::access, "not a regular file"},
#endif
    };
    for (const auto& [name, kind, reason] : rows) {
        CAPTURE(name);
        const auto r = readWholeFile(*name ? dir.path(name) : std::string());
        REQUIRE(!r.ok());
        CHECK(r.error().kind == kind);
        CHECK(r.error().message == reason);
    }
}

TEST_CASE("windowsNameProblem names what Windows does not take as a file name")
{
    const std::string character = "Windows does not allow the character ", device = " is a device on Windows",
                      dot = "Windows does not allow a file name that ends in a dot or a blank";
    const std::pair<const char*, std::string> rows[] = {   // path, the start of the problem ("": none)
        {"C:\\maps\\run.bat", ""}, {"maps/R&D 'old'/run (2).bat", ""}, {"COM0.bat", ""}, {"CONSOLE.bat", ""},
        {"a*b/run.bat", ""},   // only the last part is the new file's name
        {"all*.bat", character + "* in a file name"}, {"x/what?.bat", character + "?"},
        {"x\\say \"hi\".bat", character + "\""}, {"a<b", character + "<"}, {"a>b", character + ">"},
        {"a|b", character + "|"}, {"C:\\x\\a:b", character + ":"}, {"nul_x.bat", ""}, {"LPT10", ""},
        {"tab\there", "Windows does not allow control characters in a file name"},
        {"run.bat.", dot}, {"run.bat ", dot},
        {"CON", "\"CON\" is a device on Windows, not a file; choose another name"},
        {"x/nul.txt", "\"NUL\"" + device}, {"Aux .tar.gz", "\"AUX\"" + device},
        {"prn.bat", "\"PRN\"" + device}, {"com1.bat", "\"COM1\"" + device}, {"LPT9", "\"LPT9\"" + device},
    };
    for (const auto& [path, problem] : rows) {
        CAPTURE(path);
        const std::string said = windowsNameProblem(path);
        CHECK(said.starts_with(problem));
        CHECK(said.empty() == problem.empty());
    }
}
