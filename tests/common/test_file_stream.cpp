// Streaming file access: line splitting that keeps every byte but the line
// ends, outputs that replace their target only when committed, and the
// same-file guard every file tool runs first.
#include "common/file_stream.h"
#include "temp_folder.h"

#include <doctest/doctest.h>

#ifndef _WIN32
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace mq::io;
namespace fs = std::filesystem;

namespace {

std::string entries(const fs::path& dir)
{
    std::string out;
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    for (const auto& n : names) out += (out.empty() ? "" : " ") + n;
    return out;
}

}  // namespace

TEST_CASE("LineReader splits at LF, drops the CR before it and keeps every other byte")
{
    struct Row {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const std::string mib(1 << 20, 'y');
    const Row rows[] = {
        {"empty", "", {}},
        {"crlf and lf", "a\r\nb\nc", {"a", "b", "c"}},
        {"empty lines", "\n\r\n\n", {"", "", ""}},
        {"lone cr kept", "a\rb\n", {"a\rb"}},
        {"bytes kept", "\xe9\xff\t \n", {"\xe9\xff\t "}},
        // Longer than the 1 MiB block, and a line end right at the block edge.
        {"long line", std::string(3 << 20, 'x') + "\nz", {std::string(3 << 20, 'x'), "z"}},
        {"edge", mib.substr(1) + "\r\nq\n", {mib.substr(1), "q"}},
        {"byte-order mark",
         "\xEF\xBB\xBF"
         "200000,1\r\n\xEF\xBB\xBF"
         "x",
         {"200000,1",
          "\xEF\xBB\xBF"
          "x"}},
        {"byte-order mark alone", "\xEF\xBB\xBF", {""}},
    };
    mq::testing::TempFolder dir;
    for (const Row& row : rows) {
        CAPTURE(row.name);
        InputFile file;
        REQUIRE(file.open(dir.write("in.txt", row.bytes)).ok());
        CHECK(file.size() == static_cast<std::int64_t>(row.bytes.size()));
        LineReader reader(file);
        std::vector<std::string> got;
        std::string_view line;
        while (reader.next(line)) got.emplace_back(line);
        CHECK(got == row.lines);
        CHECK(reader.line_number() == static_cast<std::int64_t>(row.lines.size()));
        CHECK(!file.failed());
        CHECK(file.position() == static_cast<std::int64_t>(row.bytes.size()));
    }
}

TEST_CASE("keep_partial: a run that ended early never harms an existing output")
{
    struct Row {
        const char* name;
        const char* output;   // in the folder
        const char* old;      // the output before the run; nullptr: none
        const char* input;    // the run's input, holding "input"; nullptr: none
        const char* kept_in;  // where the records are afterwards
        const char* note;     // "@" the folder
        bool linked = false;  // the output has a second name, link.xyz
    };
    const Row rows[] = {
        {"new output", "track.xyz", nullptr, nullptr, "track.xyz", ""},
        {"existing output", "track.xyz", "old", "in.txt", "track.partial.xyz",
         "Stopped after 2 records, kept in @/track.partial.xyz; @/track.xyz is unchanged."},
        {"no extension", "track", "old", nullptr, "track.partial",
         "Stopped after 2 records, kept in @/track.partial; @/track is unchanged."},
        {"dotted folder, hidden file", "a.b/.track", "old", nullptr, "a.b/.track.partial",
         "Stopped after 2 records, kept in @/a.b/.track.partial; @/a.b/.track is unchanged."},
        // A rerun on the records an earlier stop kept does not overwrite them.
        {"the input is the partial file", "track.xyz", "old", "track.partial.xyz", "track.partial.partial.xyz",
         "Stopped after 2 records, kept in @/track.partial.partial.xyz; @/track.xyz is unchanged."},
        // Written in place, and put back from the backup.
        {"existing output with a second name", "track.xyz", "old, longer than the records", "in.txt",
         "track.partial.xyz", "Stopped after 2 records, kept in @/track.partial.xyz; @/track.xyz is unchanged.", true},
    };
    for (const Row& row : rows) {
        CAPTURE(row.name);
        mq::testing::TempFolder dir;
        fs::create_directory(fs::u8path(dir.path("a.b")));
        if (row.old) dir.write(row.output, row.old);
        if (row.linked) fs::create_hard_link(fs::u8path(dir.path(row.output)), fs::u8path(dir.path("link.xyz")));
        if (row.input) dir.write(row.input, "input");
        // An older partial file (or, for a new output, a file of that name
        // with more to it) is there already.
        dir.write(row.kept_in + std::string(row.old ? "" : ".other"), "an older partial file");
        OutputFile out;
        REQUIRE(out.open(dir.path(row.output)).ok());
        CHECK(out.replaces_existing() == (row.old != nullptr));
        CHECK(out.in_place() == row.linked);
        out.write("1\n2\n");
        const auto kept = out.keep_partial(2, row.input ? dir.path(row.input) : std::string());
        REQUIRE(kept.ok());
        std::string note = row.note;
        for (auto at = note.find('@'); at != std::string::npos; at = note.find('@')) note.replace(at, 1, dir.root().string());
#ifdef _WIN32
        std::replace(note.begin(), note.end(), '/', '\\');   // shown as Windows writes paths
#endif
        CHECK(kept.value() == note);
        CHECK(dir.read(row.output) == (row.old ? row.old : "1\n2\n"));
        if (row.linked) CHECK(dir.read("link.xyz") == row.old);
        CHECK(dir.read(row.kept_in) == "1\n2\n");
        if (row.input) CHECK(dir.read(row.input) == "input");
        // The folder a.b and the files named above: no temporary file is left.
        const auto files = std::distance(fs::recursive_directory_iterator(dir.root()), {});
        CHECK(files == 3 + (row.input != nullptr) + row.linked);
    }
    CHECK(stopped_note(1, "", "x") == "Stopped after 1 record.");
}

TEST_CASE("an output not committed, also after a signal that ends the program, leaves its target alone")
{
    enum How { commit, drop, cleanup, signal };
    const std::tuple<const char*, How, bool> rows[] = {   // name, how the run ends, the target has a second name
        {"committed", commit, false},
        {"committed, written in place", commit, true},
        {"dropped", drop, false},
        {"dropped, written in place", drop, true},
#ifndef _WIN32   // Windows does not remove a file that is still open
        {"cleaned up", cleanup, false},
        {"cleaned up, written in place", cleanup, true},
        {"ended by a signal", signal, false},
        {"ended by a signal, written in place", signal, true},
#endif
    };
    for (const auto& [name, how, linked] : rows) {
        CAPTURE(name);
        mq::testing::TempFolder dir;
        const std::string target = dir.write("out.txt", "old");
        if (linked) fs::create_hard_link(fs::u8path(target), fs::u8path(dir.path("link.txt")));
        const std::string bytes = how == commit ? "new" : std::string(3 << 20, 'n');   // past the buffer
        const auto run = [&](OutputFile& out) {
            REQUIRE(out.open(target).ok());
            CHECK(out.in_place() == linked);
            out.write(bytes);
        };
#ifndef _WIN32
        if (how == signal) {
            const pid_t child = ::fork();
            REQUIRE(child >= 0);
            if (child == 0) {
                remove_unfinished_outputs_on_signals();
                OutputFile out;
                run(out);
                out.put('\n');   // the buffer went to the file
                ::raise(SIGTERM);
                ::_exit(0);
            }
            int status = 0;
            REQUIRE(::waitpid(child, &status, 0) == child);
            CHECK((WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM));
        }
#endif
        if (how != signal) {
            auto out = std::make_unique<OutputFile>();
            run(*out);
            if (how == commit) REQUIRE(out->commit().ok());
            remove_unfinished_outputs();   // forgets committed outputs
            if (how == cleanup) CHECK(!out->commit().ok());
            out.reset();
        }
        const std::string expected = how == commit ? "new" : "old";
        CHECK(dir.read("out.txt") == expected);
        if (linked) CHECK(dir.read("link.txt") == expected);
        CHECK(entries(dir.root()) == (linked ? "link.txt out.txt" : "out.txt"));
    }
}

TEST_CASE("check_distinct_files and the refusals of InputFile")
{
    struct Row {
        const char* input;
        const char* output;
        const char* problem;   // empty: allowed
    };
    const Row rows[] = {
        {"a.txt", "a.txt", "the output file is the input file"},
        {"a.txt", "sub/../a.txt", "the output file is the input file"},
        {"a.txt", "b.txt", ""},
        {"none.txt", "b.txt", ""},
    };
    mq::testing::TempFolder dir;
    fs::create_directory(fs::u8path(dir.path("sub")));
    dir.write("a.txt", "a");
    for (const Row& row : rows) {
        CAPTURE(row.output);
        const auto status = check_distinct_files(dir.path(row.input), dir.path(row.output));
        CHECK(status.ok() == (*row.problem == 0));
        if (!status.ok()) CHECK(status.error().text().find(row.problem) != std::string::npos);
    }

    // Reading refuses what is not a regular file and names the file.
    InputFile file;
    const auto missing = file.open(dir.path("none.txt"));
    REQUIRE(!missing.ok());
    CHECK(missing.error().text().find("none.txt") != std::string::npos);
    CHECK(!file.open(dir.path("sub")).ok());
    CHECK(file.open("").error().text() == "cannot open the file: its name is empty");
}
