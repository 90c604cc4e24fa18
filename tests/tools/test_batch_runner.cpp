// The runner of the gridding batch file: how it reads each kind of line, and
// whole runs with stand-in programs on PATH.
#include "temp_folder.h"
#include "tools/batch_runner.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <tuple>

using namespace mq::tools;
using mq::testing::TempFolder;

TEST_CASE("classify_batch_line")
{
    const std::pair<const char*, std::string> rows[] = {   // the line; its kind and the text or the words
        {"echo off", "nothing"},
        {"@ECHO OFF", "nothing"},
        {"cls", "nothing"},
        {"rem a note", "nothing"},
        {"   ", "nothing"},
        {"echo **** grid:  D:\\a.grd", "echo|**** grid:  D:\\a.grd"},   // blanks kept
        {"echo", "echo|ECHO is off."},
        {"echo.", "echo|"},
        {"del x_*.* b.txt", "delete|x_*.*|b.txt"},
        {"surface  a.xyz -Gx.grd -V\r", "program|surface|a.xyz|-Gx.grd|-V"},
        {"prog \"a b\" c", "program|prog|a b|c"},
    };
    const char* kinds[] = {"nothing", "echo", "delete", "program"};
    for (const auto& [line, expected] : rows) {
        const BatchLine read = classify_batch_line(line);
        std::string shown = kinds[int(read.kind)];
        if (read.kind == BatchLineKind::Echo) shown += '|' + read.text;
        for (const auto& word : read.words) shown += '|' + word;
        CHECK(shown == expected);
    }
}

TEST_CASE("batch_argument and batch_echo_text: cmd.exe reads back what was written")
{
    const std::pair<std::string, const char*> rows[] = {   // a name; how it is written as an argument
        {"D:\\srtm\\N45E010.xyz", "D:\\srtm\\N45E010.xyz"},
        {"C:\\Users\\Jo Smith\\N45E010.xyz", "\"C:\\Users\\Jo Smith\\N45E010.xyz\""},
        {"R&D (2)\\100%.grd", "\"R&D (2)\\100%%.grd\""},
        {"50%_a^b;c,d=e|f", "\"50%%_a^b;c,d=e|f\""},
        {"", "\"\""},
        {"say \"x\".xyz", "-"},
    };
    for (const auto& [name, written] : rows) {
        CAPTURE(name);
        const auto argument = batch_argument(name);
        CHECK(argument.value_or("-") == written);
        if (!argument) continue;
        CHECK(classify_batch_line("del " + *argument).words == std::vector<std::string>{name});
        if (!name.empty()) CHECK(classify_batch_line("echo " + batch_echo_text(name)).text == name);
    }
    CHECK(batch_echo_text("R&D 50% <a|b> ^") == "R^&D 50%% ^<a^|b^> ^^");
}

TEST_CASE("matches_pattern and gmt6_arguments")
{
    const std::tuple<std::string, const char*, bool> rows[] = {
        {"x_srtm.grd", "x_*.*", true}, {"X_LAND.GRD", "x_*.*", true},   // letters without case
        {"y_srtm.grd", "x_*.*", false}, {"README", "*.*", true},        // "*.*" takes all
        {"a.txt", "?.txt", true},       {"ab.txt", "?.txt", false},     // "?" is one character
        {"a.b.grd", "*.grd", true},                                      // "*" backtracks
    };
    for (const auto& [name, pattern, match] : rows) CHECK_MESSAGE(matches_pattern(name, pattern) == match, name);
    CHECK(gmt6_arguments("surface", {"a.xyz", "-Gx_srtm.grd", "-H0", "-bi3", "-V"}) ==
          std::vector<std::string>{"a.xyz", "-Gx_srtm.grd", "-h0", "-bi3", "-V"});
}

#ifndef _WIN32   // cmd.exe runs batch files on Windows

namespace {

// A stand-in program that prints its name and arguments.
void add_program(const TempFolder& dir, const std::string& name, int status = 0)
{
    const std::string complaint = status ? "echo '  bad input  ' >&2\n" : "";
    dir.write("bin/" + name,
              "#!/bin/sh\necho " + name + " \"$@\"\n" + complaint + "exit " + std::to_string(status) + "\n");
    std::filesystem::permissions(dir.path("bin/" + name), std::filesystem::perms::owner_all);
}

struct PathSwap {
    explicit PathSwap(const std::string& path) : old(std::getenv("PATH") ? std::getenv("PATH") : "")
    {
        setenv("PATH", path.c_str(), 1);
    }
    ~PathSwap() { setenv("PATH", old.c_str(), 1); }
    std::string old;
};

}  // namespace

TEST_CASE("run_batch_file: programs, echoes and deletes in the batch file's folder")
{
    TempFolder dir;
    std::filesystem::create_directories(dir.path("bin"));
    std::filesystem::create_directories(dir.path("work"));
    add_program(dir, "gmt");
    add_program(dir, "tool");
    add_program(dir, "broken", 3);
    for (const char* name : {"work/x_srtm.grd", "work/x_land.grd", "work/keep.grd", "work/gone.xyz", "x_outside.grd"})
        dir.write(name, "data");
    const std::string work = dir.path("work");
    dir.write("work/SRTM_grid.bat", "echo off\r\ncls\r\necho *\r\necho **** grid:  out.grd\r\n"
                                    "surface  in.xyz -Gx_srtm.grd -H0 -bi3 -V\r\n"
                                    "tool \"two words\"\r\n"
                                    "del " + work + "/gone.xyz missing.xyz\r\n"
                                    "del ../x_*.*\r\n"
                                    "del x_*.*\r\n"
                                    "broken\r\n"
                                    "del keep.grd");
    PathSwap path(dir.path("bin") + ":/usr/bin:/bin");
    const auto run = run_batch_file(dir.path("work/SRTM_grid.bat"));
    REQUIRE(run.ok());
    CHECK((run->programs == 3 && run->failed == 1 && run->first_failed_line == 10));
    CHECK((run->failed_command == "broken" && run->failure_output == "bad input"));
    CHECK(run->log_path == work + "/SRTM_grid.log");
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(work)))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    CHECK(left == std::vector<std::string>{"SRTM_grid.bat", "SRTM_grid.log", "keep.grd"});
    CHECK(dir.exists("x_outside.grd"));   // patterns stay in the batch file's folder
    CHECK(dir.read("work/SRTM_grid.log") ==
          "*\n**** grid:  out.grd\n"
          "line 5: -H0 run as -h0\n[line 5] gmt surface in.xyz -Gx_srtm.grd -h0 -bi3 -V\ngmt surface in.xyz -Gx_srtm.grd -h0 -bi3 -V\n"
          "[line 6] tool \"two words\"\ntool two words\n"
          "Could Not Find " + work + "/missing.xyz\n"
          "line 8: patterns are only deleted in " + work + "; ../x_*.* was left alone\n"
          "[line 10] broken\nbroken\n  bad input  \n"
          "line 10: broken failed; the lines after it were not run\n");
}

TEST_CASE("run_batch_file: without GMT a program line fails and nothing is deleted")
{
    TempFolder dir;
    dir.write("data.xyz", "data");
    dir.write("SRTM_grid.bat", "echo off\r\nsurface data.xyz -Gx.grd\r\ndel data.xyz");
    PathSwap path(dir.path("nothing-here"));
    const auto run = run_batch_file(dir.path("SRTM_grid.bat"));
    REQUIRE(run.ok());
    CHECK(run->failed == 1);
    CHECK(dir.read("SRTM_grid.log") ==
          "line 2: surface was not run: GMT is not installed (no 'gmt' program on PATH); the lines after "
          "it were not run\n");
    CHECK(dir.exists("data.xyz"));   // kept for another try
}

TEST_CASE("run_batch_file: files that are refused before anything runs")
{
    TempFolder dir;
    dir.write("data.xyz", "data");
    const std::pair<const char*, std::string> rows[] = {   // the batch file; the error
        {"none.bat", "cannot open"},
        {"cr.bat", "cr.bat, line 1: the line holds a CR before its end"},   // CR-only line ends
        {"job.log", "the log beside it would replace the batch file"},
    };
    dir.write("cr.bat", "echo off\rdel data.xyz\r");
    dir.write("job.log", "del data.xyz\r\n");
    for (const auto& [name, error] : rows) {
        const auto run = run_batch_file(dir.path(name));
        REQUIRE(!run.ok());
        CHECK_MESSAGE(run.error().text().find(error) != std::string::npos, run.error().text());
    }
    CHECK(dir.read("job.log") == "del data.xyz\r\n");
    CHECK(dir.exists("data.xyz"));
}

#endif
