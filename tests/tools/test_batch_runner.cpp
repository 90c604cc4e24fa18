// The runner of the gridding batch file: how it reads each kind of line, and
// whole runs with stand-in programs on PATH.
#include "temp_folder.h"
#include "tools/batch_runner.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <thread>
#include <tuple>

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#endif

using namespace mq::tools;

extern const char* const kBatchRows;
extern const char* const kStationsBat;
extern const char* const kReliefBat;
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
        {"x_cut", "x_*.*", true},       {"x.cut", "x_*.*", false},      // ".*" also takes no extension
        {"ab", "a.*", false},
    };
    for (const auto& [name, pattern, match] : rows) CHECK_MESSAGE(matches_pattern(name, pattern) == match, name);
    CHECK(gmt6_arguments("surface", {"a.xyz", "-Gx_srtm.grd", "-H0", "-bi3", "-V"}) ==
          std::vector<std::string>{"a.xyz", "-Gx_srtm.grd", "-h0", "-bi3", "-V"});
    // -M of the segments is left out where GMT 6 refuses it; other modules keep theirs.
    std::vector<GmtRewrite> rewrites;
    CHECK(gmt6_arguments("psxy", {"a", "-M", "-W1p"}, &rewrites) == std::vector<std::string>{"a", "-W1p"});
    CHECK((rewrites.size() == 1 && rewrites[0].old_text == "-M" && rewrites[0].new_text.empty()));
    CHECK(gmt6_arguments("grdgradient", {"a", "-M"}) == std::vector<std::string>{"a", "-M"});
    // Contour labels every 5c run as -Gd5c; with GMT 3's width for their angle (in GMT 6 a part of -A)
    // as written.
    CHECK(gmt6_arguments("grdcontour", {"a", "-G5c", "-G5c/10"}) ==
          std::vector<std::string>{"a", "-Gd5c", "-G5c/10"});
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

// What a run reports, kept.
struct Heard : RunListener {
    std::string out, err, notes, lines;
    void line_started(int line, std::string_view command) override
    {
        lines += std::to_string(line) + " " + std::string(command) + "\n";
    }
    void output(RunStream stream, std::string_view text) override
    {
        (stream == RunStream::out ? out : err) += text;
    }
    void note(int, std::string_view text) override { notes += std::string(text) + "\n"; }
};

std::string without_cr(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

// One row of data/batch_rows.txt.
struct Row {
    std::string title, batch, out;
    std::vector<std::pair<std::string, std::string>> given, files;
    std::vector<std::string> gone;
    std::optional<int> status, refused;
    bool runner_only = false;
};

std::vector<Row> read_rows()
{
    std::istringstream in(kBatchRows);
    std::vector<Row> rows;
    std::string line, section;
    std::string* into = nullptr;
    while (std::getline(in, line)) {
        if (line.rfind("#", 0) == 0 && rows.empty()) continue;
        if (line.rfind("== ", 0) == 0) {
            rows.emplace_back();
            rows.back().title = line.substr(3);
            into = &rows.back().batch;
            continue;
        }
        if (rows.empty()) continue;
        Row& row = rows.back();
        if (line.rfind("-- ", 0) == 0) {
            std::istringstream words(line.substr(3));
            std::string key, name;
            words >> key >> name;
            into = nullptr;
            if (key == "out") into = &row.out;
            if (key == "given") into = &row.given.emplace_back(name, "").second;
            if (key == "file") into = &row.files.emplace_back(name, "").second;
            if (key == "gone") row.gone.push_back(name);
            if (key == "status") row.status = std::stoi(name);
            if (key == "refused") row.refused = std::stoi(name);
            if (key == "runner") row.runner_only = true;
            continue;
        }
        if (into) *into += line + "\n";
    }
    // A blank line ends a row; it belongs to none of its parts.
    for (auto& row : rows) {
        for (std::string* part : {&row.batch, &row.out}) {
            while (part->size() >= 2 && part->substr(part->size() - 2) == "\n\n") part->pop_back();
        }
        for (auto& [name, text] : row.given)
            while (text.size() >= 2 && text.substr(text.size() - 2) == "\n\n") text.pop_back();
        for (auto& [name, text] : row.files)
            while (text.size() >= 2 && text.substr(text.size() - 2) == "\n\n") text.pop_back();
    }
    return rows;
}

std::string with_crlf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// A row's folder: its given files and its batch file with CR LF.
void lay_out(const TempFolder& dir, const std::string& folder, const Row& row)
{
    std::filesystem::create_directories(dir.path(folder));
    for (const auto& [name, text] : row.given) dir.write(folder + "/" + name, with_crlf(text));
    dir.write(folder + "/row.bat", with_crlf(row.batch));
}

// The stand-in under the names the rows run.
void add_standins(const TempFolder& dir, const std::string& folder, const std::string& standin,
                  const std::vector<std::string>& names)
{
    std::filesystem::create_directories(dir.path(folder));
    for (const auto& name : names)
        std::filesystem::copy_file(standin, dir.path(folder + "/" + name),
                                   std::filesystem::copy_options::overwrite_existing);
}

// A row's files afterwards, as the row names them; a failed check names the row.
void check_files(const TempFolder& dir, const std::string& folder, const Row& row, const std::string& who)
{
    for (const auto& [name, text] : row.files)
        CHECK_MESSAGE(without_cr(dir.read(folder + "/" + name)) == text, who, ": ", row.title, ": ", name);
    for (const auto& name : row.gone)
        CHECK_MESSAGE(!dir.exists(folder + "/" + name), who, ": ", row.title, ": ", name);
}

}  // namespace

TEST_CASE("run_batch_file: programs, echoes and deletes in the batch file's folder")
{
    TempFolder dir;
    std::filesystem::create_directories(dir.path("bin"));
    std::filesystem::create_directories(dir.path("work"));
    add_program(dir, "gmt");
    add_program(dir, "tool");
    add_program(dir, "broken", 3);
    for (const char* name :
         {"work/x_srtm.grd", "work/x_land.grd", "work/keep.grd", "work/gone.xyz", "x_outside.grd"})
        dir.write(name, "data");
    const std::string work = dir.path("work");
    dir.write("work/SRTM_grid.bat",
              "echo off\r\ncls\r\necho *\r\necho **** grid:  out.grd\r\n"
              "surface  in.xyz -Gx_srtm.grd -H0 -bi3 -V\r\n"
              "tool \"two words\"\r\n"
              "del " +
                  work +
                  "/gone.xyz missing.xyz\r\n"
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
    CHECK(dir.exists("x_outside.grd"));  // patterns stay in the batch file's folder
    CHECK(dir.read("work/SRTM_grid.log") ==
          "*\n**** grid:  out.grd\n"
          "[line 5] gmt surface in.xyz -Gx_srtm.grd -h0 -bi3 -V\nline 5: -H0 run as -h0\ngmt surface in.xyz "
          "-Gx_srtm.grd -h0 -bi3 -V\n"
          "[line 6] tool \"two words\"\ntool two words\n"
          "Could Not Find " +
              work +
              "/missing.xyz\n"
              "line 8: patterns are only deleted in " +
              work +
              "; ../x_*.* was left alone\n"
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
    CHECK(dir.exists("data.xyz"));  // kept for another try
}

TEST_CASE("run_batch_file: files that are refused before anything runs")
{
    TempFolder dir;
    dir.write("data.xyz", "data");
    const std::pair<const char*, std::string> rows[] = {
        // the batch file; the error
        {"none.bat", "cannot open"},
        {"cr.bat", "cr.bat, line 1: the line holds a CR before its end"},  // CR-only line ends
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

#ifdef MQ_STANDIN

TEST_CASE("run_batch_file: the rows of batch_rows.txt")
{
    const auto rows = read_rows();
    REQUIRE(rows.size() > 10);
    TempFolder dir;
    add_standins(dir, "bin", MQ_STANDIN, {"gmt", "gawk"});
    PathSwap path(dir.path("bin"));
    BatchRunOptions options;
    options.stop_at_failure = false;  // as cmd.exe, which goes on after a failing line
    options.write_log = false;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        const std::string folder = "row" + std::to_string(r);
        lay_out(dir, folder, row);
        Heard heard;
        const auto run = run_batch_file(dir.path(folder + "/row.bat"), options, &heard);
        if (row.refused) {
            REQUIRE_MESSAGE(!run.ok(), row.title);
            CHECK_MESSAGE(run.error().line == *row.refused, row.title);
            CHECK_MESSAGE(run.error().text().find("row.bat, line ") != std::string::npos, row.title);
        } else {
            REQUIRE_MESSAGE(run.ok(), row.title, ": ", run.error().text());
            CHECK_MESSAGE(heard.out == row.out, row.title);
            if (row.status) CHECK_MESSAGE(run->exit_status == *row.status, row.title);
            CHECK(run->log_path.empty());
        }
        check_files(dir, folder, row, "runner");
    }
}

TEST_CASE("run_batch_file: the refusal says what needs cmd.exe and the notes show the rewrites")
{
    TempFolder dir;
    add_standins(dir, "bin", MQ_STANDIN, {"gmt"});
    PathSwap path(dir.path("bin"));
    dir.write("a.bat", "@echo off\r\necho x\r\n  goto end\r\n");
    const auto refused = run_batch_file(dir.path("a.bat"));
    REQUIRE(!refused.ok());
    CHECK(refused.error().text() ==
          dir.path("a.bat") + ", line 3: \"goto end\" needs cmd.exe: the runner does not carry out goto");
    CHECK(!dir.exists("a.log"));
    dir.write("b.bat", "psxy in.xyz -H1 -R0/1/0/1 > out.ps\r\n");
    Heard heard;
    const auto run = run_batch_file(dir.path("b.bat"), {}, &heard);
    REQUIRE(run.ok());
    CHECK(heard.notes == "line 1: -H1 run as -h1\n");
    CHECK(heard.lines == "1 gmt psxy in.xyz -h1 -R0/1/0/1 >out.ps\n");
    CHECK(without_cr(dir.read("out.ps")) == "psxy|in.xyz|-h1|-R0/1/0/1\n");
    // The GMT program by its full path ("GMT folder"), with nothing on PATH.
    PathSwap nothing(dir.path("nothing-here"));
    BatchRunOptions options;
    for (const std::string& gmt : {dir.path("bin/gmt"), dir.path("nothing-here/gmt")}) {
        options.gmt_program = gmt;
        const auto again = run_batch_file(dir.path("b.bat"), options);
        REQUIRE(again.ok());
        CHECK(again->failed == (gmt == dir.path("bin/gmt") ? 0 : 1));
        CHECK(again->failure_output == (again->failed ? "psxy was not run: GMT is not installed (no '" + gmt +
                                                            "' program)"
                                                      : ""));
    }
}

// Stop ends the program that runs and the programs it started.
TEST_CASE("run_batch_file: stop leaves no process of the run behind")
{
    TempFolder dir;
    add_standins(dir, "bin", MQ_STANDIN, {"gmt"});
    PathSwap path(dir.path("bin"));
    dir.write("long.bat", "echo off\r\ngmt psxy -sleep=60 -spawn -pid\r\necho never\r\n");
    BatchRunOptions options;
    const auto started = std::chrono::steady_clock::now();
    options.stop_requested = [&] {
        // Once both processes of the line have written their ids.
        std::ifstream in(dir.path("pids.txt"));
        std::string a, b;
        return static_cast<bool>(in >> a >> b);
    };
    Heard heard;
    const auto run = run_batch_file(dir.path("long.bat"), options, &heard);
    REQUIRE(run.ok());
    CHECK(run->stopped);
    CHECK(std::chrono::steady_clock::now() - started < std::chrono::seconds(20));
    CHECK(heard.out.find("never") == std::string::npos);
    std::ifstream in(dir.path("pids.txt"));
    int count = 0;
    for (long pid; in >> pid; ++count) {
        // Gone, or a zombie waiting for whoever reaps orphans.
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string pid_text, name, state;
        if (stat >> pid_text >> name >> state)
            CHECK_MESSAGE(state == "Z", "process ", pid, " is still running");
    }
    CHECK(count == 2);
}

#endif

// Batch files as GMT's examples for Windows were written draw their maps
// with GMT 6. (The programs of a pipe run at once, as under cmd.exe, so the
// one after the pipe names its -R and -J: GMT's history of them may not be
// written yet.)
TEST_CASE("run_batch_file: batch files in the style of GMT's examples draw their maps")
{
    if (find_on_path("gmt").empty() || find_on_path("gawk").empty()) {
        MESSAGE("GMT or gawk is not installed: not run");
        return;
    }
    const std::tuple<const char*, const char*, const char*> scripts[] = {
        // the batch file, its map, a file its last line deletes
        {kStationsBat, "stations.ps", "stations.txt"},
        {kReliefBat, "relief.ps", "x_mean.xyz"},
    };
    for (const auto& [script, map_name, deleted] : scripts) {
        const std::string map = map_name;
        TempFolder dir;
        const std::string batch = dir.write("example.bat", with_crlf(script));
        const auto run = run_batch_file(batch);
        REQUIRE(run.ok());
        CHECK_MESSAGE(run->failed == 0, map, ": ", dir.read("example.log"));
        const std::string ps = dir.read(map);
        CHECK_MESSAGE(ps.size() > 20000, map);
        CHECK_MESSAGE(ps.find("%%EOF") != std::string::npos, map);
        CHECK(!dir.exists(deleted));
    }
}

#ifdef MQ_WINE

TEST_CASE("run_batch_file: the rows agree with cmd.exe under Wine")
{
    const auto rows = read_rows();
    TempFolder dir;
    add_standins(dir, "bin", MQ_STANDIN_EXE,
                 {"gmt.exe", "gawk.exe", "gawk-w32.exe", "psxy.exe", "pstext.exe", "gmtset.exe"});
    auto windows = [&](const std::string& name) {
        std::string p = "Z:" + dir.path(name);
        std::replace(p.begin(), p.end(), '/', '\\');
        return p;
    };
    // All rows in one run of cmd.exe: Wine is slow to start.
    std::string driver = "@echo off\r\nset PATH=" + windows("bin") + ";%PATH%\r\n";
    std::vector<std::size_t> used;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].refused || rows[r].runner_only) continue;
        const std::string folder = "row" + std::to_string(r);
        lay_out(dir, folder, rows[r]);
        driver += "cd /d " + windows(folder) + "\r\ncmd /c row.bat > " + windows(folder + ".out") + " 2> " +
                  windows(folder + ".err") + "\r\n> " + windows(folder + ".status") +
                  " echo %errorlevel%\r\n";
        used.push_back(r);
    }
    dir.write("driver.bat", driver);
    const std::string command = "WINEDEBUG=-all timeout 120 '" MQ_WINE "' cmd /c '" + windows("driver.bat") +
                                "' > '" + dir.path("wine.txt") + "' 2>&1";
    // Its own status is that of the last row's last program.
    std::system(command.c_str());
    if (!dir.exists("row0.status")) {
        MESSAGE("Wine's cmd.exe did not run: ", dir.read("wine.txt"));
        return;
    }
    for (std::size_t r : used) {
        const Row& row = rows[r];
        const std::string folder = "row" + std::to_string(r);
        CHECK_MESSAGE(without_cr(dir.read(folder + ".out")) == row.out, "cmd.exe: ", row.title);
        if (row.status)
            CHECK_MESSAGE(std::stoi(dir.read(folder + ".status")) == *row.status, "cmd.exe: ", row.title);
        check_files(dir, folder, row, "cmd.exe");
    }
}

#endif

#endif

#ifdef _WIN32

// On Windows each program line runs through cmd.exe, its output caught.
TEST_CASE("run_batch_file: program lines through cmd.exe")
{
    TempFolder dir;
    dir.write("w.bat", "@echo off\r\nset NAME=value\r\ncmd /c echo %NAME%> out.txt\r\ncmd /c echo shown\r\n"
                       "cmd /c exit 3\r\n");
    BatchRunOptions options;
    options.stop_at_failure = false;
    options.write_log = false;
    struct : RunListener {
        std::string out;
        void line_started(int, std::string_view) override {}
        void output(RunStream, std::string_view text) override { out += text; }
        void note(int, std::string_view) override {}
    } heard;
    const auto run = run_batch_file(dir.path("w.bat"), options, &heard);
    REQUIRE(run.ok());
    CHECK(dir.read("out.txt") == "value\r\n");
    CHECK(heard.out == "shown\r\n");
    CHECK(run->exit_status == 3);
}

#endif
