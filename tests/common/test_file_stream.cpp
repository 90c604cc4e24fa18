// Line splitting, the same-file guard, and the safe writer of the editor and the tools: what it
// leaves, keeps and says, and runs that fail half-way, stop early or end by a signal.
#include "common/file_io.h"
#include "common/file_stream.h"
#include "common/golden_rows.h"
#include "temp_folder.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace mq::io;
namespace fs = std::filesystem;
using mq::testing::TempFolder;

namespace {

const char* const kGolden =
#include "tables_golden.h"
    ;

// The names in the folder, sorted, joined by blanks.
std::string entries(const fs::path& dir)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    std::string out;
    for (const auto& n : names) out += (out.empty() ? "" : " ") + n;
    return out;
}

// The two users of the writer: the editor's save and a file tool's output.
enum class User { save, tool };
constexpr User kUsers[] = {User::save, User::tool};

// The error's message and note, or "" on success.
std::string write_as(User user, const std::string& path, const std::string& bytes)
{
    mq::Status s = user == User::save ? writeFileSafely(path, bytes) : mq::Status{};
    OutputFile out;
    if (user == User::tool && (s = out.open(path)).ok()) {
        out.write(bytes);
        s = out.commit();
    }
    return s ? "" : s.error().message + (s.error().note.empty() ? "" : " | " + s.error().note);
}

#ifndef _WIN32
struct stat stat_of(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

// The wait status of a child that exits 0 when `act` returns true. As root (who may write anywhere),
// with `folders` named, the child runs as nobody, who gets the folders (and `file` when `chown_file`);
// -1 when it cannot.
constexpr uid_t kNobody = 65534;
int in_child(const std::function<bool()>& act, const std::vector<std::string>& folders = {},
             const std::string& file = {}, bool chown_file = false)
{
    const bool drop = ::geteuid() == 0 && !folders.empty();
    for (const auto& dir : folders)
        if (drop && ::chown(dir.c_str(), kNobody, kNobody) != 0) return -1;
    if (drop && chown_file && ::chown(file.c_str(), kNobody, kNobody) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        if (drop && (::setgroups(0, nullptr) || ::setgid(kNobody) || ::setuid(kNobody))) ::_exit(3);
        ::_exit(act() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child ? status : -1;
}
#endif

// Runs `write`, when `limited` under a 4 kB file size limit that fails it half-way (not on Windows).
std::string size_limited([[maybe_unused]] bool limited, const std::function<std::string()>& write)
{
#ifndef _WIN32
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit limit = saved;
    limit.rlim_cur = limited ? 4096 : saved.rlim_cur;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string s = write();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &previous, nullptr);
    return s;
#else
    return write();
#endif
}

}  // namespace

TEST_CASE("LineReader splits at LF, drops the CR before it and keeps every other byte")
{
    const std::string mib(1 << 20, 'y'), bom = "\xEF\xBB\xBF";
    const std::tuple<const char*, std::string, std::vector<std::string>> rows[] = {   // name, bytes, lines
        {"empty", "", {}}, {"crlf and lf", "a\r\nb\nc", {"a", "b", "c"}}, {"lone cr", "a\rb\n", {"a\rb"}},
        {"empty lines", "\n\r\n\n", {"", "", ""}}, {"bytes kept", "\xe9\xff\t \n", {"\xe9\xff\t "}},
        // Longer than the 1 MiB block, and a line end right at the block edge.
        {"long line", std::string(3 << 20, 'x') + "\nz", {std::string(3 << 20, 'x'), "z"}},
        {"edge", mib.substr(1) + "\r\nq\n", {mib.substr(1), "q"}},
        {"byte-order mark", bom + "200000,1\r\n" + bom + "x", {"200000,1", bom + "x"}},
        {"byte-order mark alone", bom, {""}},
    };
    TempFolder dir;
    for (const auto& [name, bytes, lines] : rows) {
        CAPTURE(name);
        InputFile file;
        REQUIRE(file.open(dir.write("in.txt", bytes)).ok());
        CHECK(file.size() == static_cast<std::int64_t>(bytes.size()));
        LineReader reader(file);
        std::vector<std::string> got;
        for (std::string_view line; reader.next(line);) got.emplace_back(line);
        CHECK(got == lines);
        CHECK(reader.line_number() == static_cast<std::int64_t>(lines.size()));
        CHECK(!file.failed());
        CHECK(file.position() == static_cast<std::int64_t>(bytes.size()));
    }
}

TEST_CASE("check_distinct_files")
{
    const std::tuple<const char*, const char*, const char*> rows[] = {   // input, output, problem ("": none)
        {"a.txt", "a.txt", "the output file is the input file"}, {"a.txt", "b.txt", ""},
        {"a.txt", "sub/../a.txt", "the output file is the input file"}, {"none.txt", "b.txt", ""},
    };
    TempFolder dir;
    fs::create_directory(fs::u8path(dir.path("sub")));
    dir.write("a.txt", "a");
    for (const auto& [input, output, problem] : rows) {
        CAPTURE(output);
        const auto status = check_distinct_files(dir.path(input), dir.path(output));
        CHECK(status.ok() == !*problem);
        if (!status) CHECK(status.error().message.starts_with(problem));
    }
}

TEST_CASE("the writer makes and replaces files, keeping their permissions and leaving nothing else")
{
    // A name of 250 characters leaves no room for the new file's marks; 255 is the most a name may have.
    const std::string five_k(5000, 'o'), long_name = std::string(246, 'a') + ".txt";
    const std::tuple<const char*, std::string, const char*, std::string, unsigned> rows[] = {
        // name, file, old contents (nullptr: none), new contents, the old file's permissions (0: as made)
        {"new file", "out \xc3\xbc.bat", nullptr, "a\r\nb", 0},
        {"new empty file", "out.bat", nullptr, "", 0},
        {"replace with shorter", "out.bat", five_k.c_str(), "n", 0600},
        {"replace with longer", "out.bat", "o", std::string(3 << 20, 'n'), 0640},   // past the buffer
        {"replace with empty", "out \xc3\xbc.bat", "old text", "", 0755},
        {"binary bytes", "out.bat", "x", std::string("\0\xFF\x81\r", 4), 0666},
        {"write-only", "out.bat", "x", "new", 0200},
#ifndef _WIN32   // (it would pass the 260 characters Windows allows a whole path)
        {"long name", long_name, "old", "new", 0},
#endif
    };
    for (const User user : kUsers)
        for (const auto& [name, file, old, bytes, mode] : rows) {
            CAPTURE(name);
            TempFolder dir;
            if (old) dir.write(file, old);
            const fs::path at = fs::u8path(dir.path(file));
            if (mode) fs::permissions(at, fs::perms(mode));   // (Windows keeps only whether it is read-only)
            CHECK(write_as(user, dir.path(file), bytes) == "");
#ifndef _WIN32
            if (mode) CHECK(fs::status(at).permissions() == fs::perms(mode));
#endif
            fs::permissions(at, fs::perms::owner_read | fs::perms::owner_write);
            CHECK(dir.read(file) == bytes);
            CHECK(entries(dir.root()) == file);
        }
}

TEST_CASE("the writer refuses or fails half-way in its user's words, and keeps the old file")
{
    auto rows = mq::testing::golden_rows(kGolden, "refusal");
#ifndef _WIN32
    for (auto& row : mq::testing::golden_rows(kGolden, "refusal_posix")) rows.push_back(row);
#else   // only the editor asks; a tool has asked check_distinct_files before
    for (auto& row : mq::testing::golden_rows(kGolden, "refusal_windows")) rows.push_back(row);
#endif
    CHECK(rows.size() >= 5);
    for (const User user : kUsers)
        for (const auto& row : rows) {
            // name | disk full | save (its note after " | ") | tool
            const std::string& name = row[0];
            CAPTURE(name);
            std::string said = row[2];
            for (std::size_t i = 3; i + 1 < row.size(); ++i) said += " | " + row[i];
            if (user == User::tool && row.back() == "none") continue;
            TempFolder dir;
            fs::create_directory(dir.root() / "sub");
            for (const char* file : {"run.bat", "linked.bat"}) dir.write(file, "old contents");
            dir.write("sub/keep.txt", "kept");
            const std::string plain = dir.write("plain.txt", "plain");
            fs::permissions(fs::u8path(plain), fs::perms::owner_read | fs::perms::group_read);
            const std::string path = name.empty() ? "" : dir.path(name), bytes(100000, 'n');
#ifndef _WIN32
            REQUIRE(::mkfifo(dir.path("pipe").c_str(), 0600) == 0);
            REQUIRE(::link(dir.path("linked.bat").c_str(), dir.path("copy.bat").c_str()) == 0);
#endif
            const bool disk_full = row[1] == "yes";
            const std::string result = size_limited(disk_full, [&] { return write_as(user, path, bytes); });
            CHECK(result == (user == User::save ? said : row.back()));
            fs::permissions(fs::u8path(plain), fs::perms::owner_read | fs::perms::owner_write);
            CHECK(dir.read("sub/keep.txt") + dir.read("run.bat") + dir.read("linked.bat") +
                      dir.read("plain.txt") == "keptold contentsold contentsplain");
#ifndef _WIN32
            CHECK(dir.read("copy.bat") == "old contents");
            CHECK(entries(dir.root()) == "copy.bat linked.bat pipe plain.txt run.bat sub");   // no new file
#else
            CHECK(entries(dir.root()) == "linked.bat plain.txt run.bat sub");
#endif
        }
}

TEST_CASE("keep_partial: a run that ended early never harms an existing output")
{
    // name, output, old output (nullptr: none), input holding "input" (nullptr: none), where the records are
    // afterwards (the note names it unless the output is new), whether the output has a second name, link.xyz
    const std::tuple<const char*, const char*, const char*, const char*, const char*, bool> rows[] = {
        {"new output", "track.xyz", nullptr, nullptr, "track.xyz", false},
        {"existing output", "track.xyz", "old", "in.txt", "track.partial.xyz", false},
        {"no extension", "track", "old", nullptr, "track.partial", false},
        {"dotted folder, hidden file", "a.b/.track", "old", nullptr, "a.b/.track.partial", false},
        // A rerun on the records an earlier stop kept does not overwrite them.
        {"rerun on the partial", "track.xyz", "old", "track.partial.xyz", "track.partial.partial.xyz", false},
        // Written in place, and put back from the backup.
        {"existing output with a second name", "track.xyz", "old, longer than the records", "in.txt",
         "track.partial.xyz", true},
    };
    for (const auto& [name, output, old, input, kept_in, linked] : rows) {
        CAPTURE(name);
        TempFolder dir;
        fs::create_directory(fs::u8path(dir.path("a.b")));
        if (old) dir.write(output, old);
        if (linked) fs::create_hard_link(fs::u8path(dir.path(output)), fs::u8path(dir.path("link.xyz")));
        if (input) dir.write(input, "input");
        // An older partial file (for a new output, a file of that name with more to it) is there already.
        dir.write(kept_in + std::string(old ? "" : ".other"), "an older partial file");
        OutputFile out;
        REQUIRE(out.open(dir.path(output)).ok());
        CHECK(out.replaces_existing() == (old != nullptr));
        CHECK(out.in_place() == linked);
        out.write("1\n2\n");
        const auto kept = out.keep_partial(2, input ? dir.path(input) : std::string());
        REQUIRE(kept.ok());
        const auto shown = [&](const char* f) { return fs::u8path(dir.path(f)).make_preferred().string(); };
        const std::string note = "Stopped after 2 records, kept in " + shown(kept_in) + "; " + shown(output);
        CHECK(kept.value() == (old ? note + " is unchanged." : ""));   // paths as the system writes them
        CHECK(dir.read(output) == (old ? old : "1\n2\n"));
        if (linked) CHECK(dir.read("link.xyz") == old);
        CHECK(dir.read(kept_in) == "1\n2\n");
        if (input) CHECK(dir.read(input) == "input");
        // The folder a.b and the files named above: no temporary file is left.
        const auto files = std::distance(fs::recursive_directory_iterator(dir.root()), {});
        CHECK(files == 3 + (input != nullptr) + linked);
    }
    CHECK(stopped_note(1, "", "x") == "Stopped after 1 record.");
}

TEST_CASE("an output not committed, also after a signal that ends the program, leaves its target alone")
{
    enum How { commit, drop, cleanup, signal };
    const std::tuple<const char*, How, bool> rows[] = {   // name, how the run ends, the target has two names
        {"committed", commit, false}, {"committed, written in place", commit, true},
        {"dropped", drop, false}, {"dropped, written in place", drop, true},
#ifndef _WIN32   // Windows does not remove a file that is still open
        {"cleaned up", cleanup, false}, {"cleaned up, written in place", cleanup, true},
        {"ended by a signal", signal, false}, {"ended by a signal, written in place", signal, true},
#endif
    };
    for (const auto& [name, how, linked] : rows) {
        CAPTURE(name);
        TempFolder dir;
        const std::string target = dir.write("out.txt", "old");
        if (linked) fs::create_hard_link(fs::u8path(target), fs::u8path(dir.path("link.txt")));
        const auto run = [&](OutputFile& out) {
            REQUIRE(out.open(target).ok());
            CHECK(out.in_place() == linked);
            out.write(how == commit ? "new" : std::string(3 << 20, 'n'));   // past the buffer: on the disk
        };
#ifndef _WIN32
        if (how == signal) {
            const int status = in_child([&] {
                remove_unfinished_outputs_on_signals();
                OutputFile out;
                run(out);
                return ::raise(SIGTERM) != 0;
            });
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
        CHECK(dir.read("out.txt") == (how == commit ? "new" : "old"));
        if (linked) CHECK(dir.read("link.txt") == dir.read("out.txt"));
        CHECK(entries(dir.root()) == (linked ? "link.txt out.txt" : "out.txt"));
    }
}

#ifndef _WIN32
TEST_CASE("a symbolic link is followed, also to a file not there yet, which it creates, and stays a link")
{
    for (const User user : kUsers) {
        TempFolder dir;
        fs::create_directory(dir.root() / "real");
        dir.write("real/script.bat", "old");
        for (const std::string name : {"script.bat", "later.bat"}) {
            REQUIRE(::symlink(("real/" + name).c_str(), dir.path(name).c_str()) == 0);
            CHECK(write_as(user, dir.path(name), "new") == "");
            CHECK(fs::is_symlink(dir.root() / name));
            CHECK(dir.read("real/" + name) == "new");
        }
        CHECK(entries(dir.root() / "real") == "later.bat script.bat");
    }
}

TEST_CASE("a file with two names, in a locked folder or of another owner is written in place after a backup")
{
    enum Case { hard_link, locked_folder, foreign_owner };
    for (const User user : kUsers)
        for (const Case c : {hard_link, locked_folder, foreign_owner}) {
            CAPTURE(c);
            if (c == foreign_owner && ::geteuid() != 0) continue;   // only root can give a file away
            TempFolder dir, temp;
            const std::string path = dir.write("run.bat", "old text, longer than the new one");
            const std::string folder = dir.root().string();
            if (c == hard_link) REQUIRE(::link(path.c_str(), dir.path("copy.bat").c_str()) == 0);
            REQUIRE(::chmod(path.c_str(), c == foreign_owner ? 0666 : 0644) == 0);
            REQUIRE(::chmod(folder.c_str(), c == locked_folder ? 0555 : 0755) == 0);
            const struct stat before = stat_of(path);
            const int status = in_child([&] {
                ::setenv("TMPDIR", temp.root().c_str(), 1);
                OutputFile out;
                using W = OutputFile::Wording;
                if (!out.open(path, user == User::save ? W::save : W::tool) || !out.in_place()) return false;
                // Where no file can be made beside it, the old text waits in the temporary folder.
                const bool there = entries(temp.root()).starts_with(".run.bat.mq") == (c == locked_folder);
                out.write("new text");
                return there && out.commit().ok() && entries(temp.root()).empty();
            }, {folder, temp.root().string()}, path, c != foreign_owner);
            ::chmod(folder.c_str(), 0700);
            if (status < 0) continue;   // no unprivileged user to run as
            CHECK((WIFEXITED(status) && WEXITSTATUS(status) == 0));
            CHECK(dir.read("run.bat") == "new text");
            if (c == hard_link) CHECK(dir.read("copy.bat") == "new text");   // the other name sees it
            CHECK(stat_of(path).st_ino == before.st_ino);
            if (c == foreign_owner) CHECK(stat_of(path).st_uid == before.st_uid);   // not given away
            CHECK(entries(dir.root()) == (c == hard_link ? "copy.bat run.bat" : "run.bat"));
        }
}
#endif
