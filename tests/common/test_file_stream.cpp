// Streaming file access: line splitting that keeps every byte but the line
// ends, outputs that replace their target only when committed, and the
// same-file guard every file tool runs first.
#include "common/file_stream.h"
#include "temp_folder.h"

#include <doctest/doctest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace mq::io;

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

TEST_CASE("OutputFile replaces its target only on commit")
{
    mq::testing::TempFolder dir;
    const std::string target = dir.write("out \xc3\xbc.txt", "old");
    auto files_in_folder = [&] { return std::distance(std::filesystem::directory_iterator(dir.root()), {}); };
    {
        OutputFile out;
        REQUIRE(out.open(target).ok());
        out.write("new data");
        // Dropped without commit: the old file stays, no temporary is left.
    }
    CHECK(dir.read("out \xc3\xbc.txt") == "old");
    CHECK(files_in_folder() == 1);

    OutputFile out;
    REQUIRE(out.open(target).ok());
    const std::string big(3 << 20, 'b');
    out.write("x");
    out.put('\n');
    out.write(big);
    CHECK(out.bytes_written() == std::int64_t(2 + big.size()));
    REQUIRE(out.commit().ok());
    CHECK(dir.read("out \xc3\xbc.txt") == "x\n" + big);
    CHECK(files_in_folder() == 1);
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
        {"the input is the partial file", "track.xyz", "old", "track.partial.xyz",
         "track.partial.partial.xyz",
         "Stopped after 2 records, kept in @/track.partial.partial.xyz; @/track.xyz is unchanged."},
    };
    for (const Row& row : rows) {
        CAPTURE(row.name);
        mq::testing::TempFolder dir;
        std::filesystem::create_directory(std::filesystem::u8path(dir.path("a.b")));
        if (row.old) dir.write(row.output, row.old);
        if (row.input) dir.write(row.input, "input");
        // An older partial file (or, for a new output, a file of that name
        // with more to it) is there already.
        dir.write(row.kept_in + std::string(row.old ? "" : ".other"), "an older partial file");
        OutputFile out;
        REQUIRE(out.open(dir.path(row.output)).ok());
        CHECK(out.replaces_existing() == (row.old != nullptr));
        out.write("1\n2\n");
        const auto kept = out.keep_partial(2, row.input ? dir.path(row.input) : std::string());
        REQUIRE(kept.ok());
        std::string note = row.note;
        if (const auto at = note.find('@'); at != std::string::npos) note.replace(at, 1, dir.root().string());
        if (const auto at = note.find('@'); at != std::string::npos) note.replace(at, 1, dir.root().string());
#ifdef _WIN32
        std::replace(note.begin(), note.end(), '/', '\\');   // shown as Windows writes paths
#endif
        CHECK(kept.value() == note);
        CHECK(dir.read(row.output) == (row.old ? row.old : "1\n2\n"));
        CHECK(dir.read(row.kept_in) == "1\n2\n");
        if (row.input) CHECK(dir.read(row.input) == "input");
        // The folder a.b and the files named above: no temporary file is left.
        const auto files = std::distance(std::filesystem::recursive_directory_iterator(dir.root()), {});
        CHECK(files == (row.input ? 4 : 3));
    }
    CHECK(stopped_note(1, "", "x") == "Stopped after 1 record.");
}

TEST_CASE("remove_unfinished_outputs, as after a signal that ends the program, leaves the targets alone")
{
    struct Row {
        const char* name;
        bool committed;       // before the removal
        const char* target;   // afterwards
    };
    const Row rows[] = {
#ifndef _WIN32   // Windows does not remove a file that is still open
        {"unfinished", false, "old"},
#endif
        {"committed", true, "new"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.name);
        mq::testing::TempFolder dir;
        const std::string target = dir.write("out.txt", "old");
        OutputFile out;
        REQUIRE(out.open(target).ok());
        out.write(std::string(3 << 20, 'n'));   // past the buffer: the new file holds bytes
        if (row.committed) {
            out.discard();
            REQUIRE(out.open(target).ok());
            out.write("new");
            REQUIRE(out.commit().ok());
        }
        remove_unfinished_outputs();
        CHECK(std::distance(std::filesystem::directory_iterator(dir.root()), {}) == 1);
        CHECK(dir.read("out.txt") == row.target);
        if (!row.committed) CHECK(!out.commit().ok());
    }
}

TEST_CASE("OutputFile replaces only a writable regular file, and keeps what it is")
{
    namespace fs = std::filesystem;
    struct Row {
        const char* name;
        fs::perms mode;      // of the old file
        bool pipe;           // the target is a named pipe instead
        bool link;           // the target is a link to the old file
        const char* problem;   // empty: replaced
    };
    const fs::perms private_mode = fs::perms::owner_read | fs::perms::owner_write;
    const Row rows[] = {
        {"writable", private_mode, false, false, ""},
        {"read-only", fs::perms::owner_read | fs::perms::group_read, false, false, "it is read-only"},
#ifndef _WIN32   // (a long name would pass the 260 characters Windows allows a whole path)
        {"long name", private_mode, false, false, ""},   // 250 characters, the most a name may have is 255
        {"named pipe", private_mode, true, false, "it is not a regular file"},
        {"link to a file", private_mode, false, true, ""},
#endif
    };
    for (const Row& row : rows) {
        CAPTURE(row.name);
        mq::testing::TempFolder dir;
        const std::string file = std::string_view(row.name) == "long name" ? std::string(246, 'a') + ".txt" : "out.txt";
        const std::string target = dir.path(file);
#ifndef _WIN32
        if (row.pipe) REQUIRE(::mkfifo(target.c_str(), 0600) == 0);
#endif
        if (!row.pipe) dir.write(row.link ? "old.txt" : file, "old");
        if (row.link) fs::create_symlink("old.txt", fs::u8path(target));
        fs::permissions(fs::u8path(target), row.mode);
        OutputFile out;
        const auto opened = out.open(target);
        CHECK(opened.ok() == (*row.problem == 0));
        if (!opened.ok()) CHECK(opened.error().text().find(row.problem) != std::string::npos);
        if (opened.ok()) {
            out.write("new");
            REQUIRE(out.commit().ok());
        }
        CHECK(fs::status(fs::u8path(target)).type() == (row.pipe ? fs::file_type::fifo : fs::file_type::regular));
        if (!row.pipe) CHECK(dir.read(file) == (opened.ok() ? "new" : "old"));
        // A replaced file keeps its permissions, a link stays a link.
#ifndef _WIN32
        CHECK(fs::status(fs::u8path(target)).permissions() == row.mode);
#endif
        CHECK(fs::is_symlink(fs::symlink_status(fs::u8path(target))) == row.link);
        fs::permissions(fs::u8path(target), fs::perms::owner_all);
    }
}

TEST_CASE("check_distinct_files and the refusals of InputFile and OutputFile")
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
    std::filesystem::create_directory(std::filesystem::u8path(dir.path("sub")));
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
    OutputFile out;
    CHECK(!out.open(dir.path("sub")).ok());
    CHECK(!out.open(dir.path("no/such/folder/x.txt")).ok());
    // An empty name is said to be one.
    CHECK(file.open("").error().text() == "cannot open the file: its name is empty");
    CHECK(out.open("").error().text() == "cannot create the file: its name is empty");
}
