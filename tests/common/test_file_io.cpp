// Reading whole files, and the names Windows does not take. The safe writer
// behind io::writeFileSafely is tested with io::OutputFile.
#include "common/file_io.h"
#include "common/golden_rows.h"
#include "temp_folder.h"

#include <doctest/doctest.h>

#include <string>
#include <tuple>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace mq::io;

namespace {
const char* const kGolden =
#include "tables_golden.h"
    ;
}  // namespace

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
    const auto rows = mq::testing::golden_rows(kGolden, "windows_name");
    CHECK(rows.size() == 23);
    for (const auto& r : rows) {
        CAPTURE(r[0]);
        const std::string said = windowsNameProblem(r[0]), problem = r.at(1) == "none" ? "" : r[1];
        CHECK(said.starts_with(problem));
        CHECK(said.empty() == problem.empty());
    }
}
