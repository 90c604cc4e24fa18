// Reading whole files, and saving that never loses the old file: what is
// left in the folder, links, permissions, owners and writes that fail
// half-way.
#include "common/file_io.h"
#include "temp_folder.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
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

// The names in the folder, sorted, joined by blanks.
std::string entries(const TempFolder& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.root())) {
        const auto name = e.path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto& n : names) out += (out.empty() ? "" : " ") + n;
    return out;
}

WriteResult save(const TempFolder& dir, const std::string& name, std::string_view bytes)
{
    return writeFileSafely(name.empty() ? std::string() : dir.path(name), bytes);
}

#ifndef _WIN32
struct stat stat_of(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

// Runs `write` as an unprivileged user: root may write anywhere, so a test of
// permissions runs in a child process that has given up its privileges. The
// folder (and the file when `chown_file`) are handed to that user first.
// Returns the child's exit status, or -1 when it could not be arranged.
constexpr uid_t kNobody = 65534;
int as_unprivileged_user(const std::string& dir, const std::string& file, bool chown_file,
                         const std::function<bool()>& write)
{
    if (::geteuid() != 0) return write() ? 0 : 1;
    if (::chown(dir.c_str(), kNobody, kNobody) != 0) return -1;
    if (chown_file && ::chown(file.c_str(), kNobody, kNobody) != 0) return -1;
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
        ::_exit(write() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// Runs `write` under a file size limit of 4 kB, which makes write() fail
// half-way, even for root.
WriteResult with_small_file_size_limit(const std::function<WriteResult()>& write)
{
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit limited = saved;
    limited.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    WriteResult w = write();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &previous, nullptr);
    return w;
}
#endif

}  // namespace

TEST_CASE("readWholeFile reads every byte, and only regular files")
{
    TempFolder dir;
    for (const std::string& bytes : {std::string(), std::string("@echo off\r\n"),
                                     std::string("\0\xFF\r\x80\n\0", 6), std::string(200000, 'x')}) {
        CAPTURE(bytes.size());
        const ReadResult r = readWholeFile(dir.write("in.bat", bytes));
        CHECK(r.ok);
        CHECK(r.errorKind == ReadErrorKind::None);
        CHECK(r.bytes == bytes);
    }

    struct Row {
        const char* name;
        ReadErrorKind kind;
        const char* reason;   // "": not compared
    };
    const Row rows[] = {
        {"missing.bat", ReadErrorKind::NotFound, "No such file or directory"},
        {"no/such/folder.bat", ReadErrorKind::NotFound, "No such file or directory"},
        {"", ReadErrorKind::NotFound, "No such file or directory"},
#ifndef _WIN32
        {".", ReadErrorKind::Other, "Is a directory"},
        // A pipe without writer would block a plain read for ever.
        {"pipe", ReadErrorKind::Other, "not a regular file"},
#endif
    };
#ifndef _WIN32
    REQUIRE(::mkfifo(dir.path("pipe").c_str(), 0600) == 0);
#endif
    for (const Row& row : rows) {
        CAPTURE(row.name);
        const ReadResult r = readWholeFile(*row.name ? dir.path(row.name) : std::string());
        CHECK(!r.ok);
        CHECK(r.errorKind == row.kind);
        CHECK(r.reason == std::string(row.reason));
    }
}

TEST_CASE("writeFileSafely writes new files and replaces old ones, leaving nothing else")
{
    struct Row {
        const char* name;
        const char* old;   // nullptr: no old file
        std::string bytes;
    };
    const std::string five_k(5000, 'o');
    const Row rows[] = {
        {"new file", nullptr, "a\r\nb"},
        {"new empty file", nullptr, ""},
        {"replace with shorter", five_k.c_str(), "n"},
        {"replace with longer", "o", std::string(300000, 'n')},
        {"replace with empty", "old text", ""},
        {"binary bytes", "x", std::string("\0\xFF\x81\r", 4)},
    };
    for (const Row& row : rows) {
        CAPTURE(row.name);
        TempFolder dir;
        if (row.old) dir.write("out.bat", row.old);
        const WriteResult w = save(dir, "out.bat", row.bytes);
        CHECK(w.ok);
        CHECK(w.reason == "");
        CHECK(dir.read("out.bat") == row.bytes);
        CHECK(entries(dir) == "out.bat");
    }
}

TEST_CASE("writeFileSafely refuses what it cannot write and touches nothing")
{
    const std::pair<const char*, const char*> rows[] = {   // name, reason
        {"gone/out.bat", "No such file or directory"},
#ifndef _WIN32
        {"sub", "Is a directory"},
        {"plain.txt/out.bat", "Not a directory"},
#endif
        {"", "no file name given"},
#ifdef _WIN32
        {"all*.bat", "Windows does not allow the character * in a file name"},
        {"nul.bat", "\"NUL\" is a device on Windows, not a file; choose another name"},
#endif
    };
    for (const auto& [name, reason] : rows) {
        CAPTURE(name);
        TempFolder dir;
        fs::create_directory(dir.root() / "sub");
        dir.write("sub/keep.txt", "kept");
        dir.write("plain.txt", "plain");
        const WriteResult w = save(dir, name, "new");
        CHECK(!w.ok);
        CHECK(w.reason == std::string(reason));
        CHECK(entries(dir) == "plain.txt sub");
        CHECK(dir.read("sub/keep.txt") + dir.read("plain.txt") == "keptplain");
    }
}

TEST_CASE("windowsNameProblem names what Windows does not take as a file name")
{
    const std::pair<const char*, const char*> rows[] = {   // path, problem ("": none)
        {"C:\\maps\\run.bat", ""},
        {"maps/R&D 'old'/run (2).bat", ""},
        {"a*b/run.bat", ""},   // only the last part is the new file's name
        {"all*.bat", "Windows does not allow the character * in a file name"},
        {"x/what?.bat", "Windows does not allow the character ? in a file name"},
        {"x\\say \"hi\".bat", "Windows does not allow the character \" in a file name"},
        {"a<b", "Windows does not allow the character < in a file name"},
        {"a>b", "Windows does not allow the character > in a file name"},
        {"a|b", "Windows does not allow the character | in a file name"},
        {"C:\\x\\a:b", "Windows does not allow the character : in a file name"},
        {"tab\there", "Windows does not allow control characters in a file name"},
        {"run.bat.", "Windows does not allow a file name that ends in a dot or a blank"},
        {"run.bat ", "Windows does not allow a file name that ends in a dot or a blank"},
        {"CON", "\"CON\" is a device on Windows, not a file; choose another name"},
        {"x/nul.txt", "\"NUL\" is a device on Windows, not a file; choose another name"},
        {"Aux .tar.gz", "\"AUX\" is a device on Windows, not a file; choose another name"},
        {"prn.bat", "\"PRN\" is a device on Windows, not a file; choose another name"},
        {"com1.bat", "\"COM1\" is a device on Windows, not a file; choose another name"},
        {"LPT9", "\"LPT9\" is a device on Windows, not a file; choose another name"},
        {"COM0.bat", ""}, {"CONSOLE.bat", ""}, {"nul_x.bat", ""}, {"LPT10", ""},
    };
    for (const auto& [path, problem] : rows) {
        CAPTURE(path);
        CHECK(mq::io::windowsNameProblem(path) == problem);
    }
}

TEST_CASE("a write that is refused or fails half-way leaves the old file as it was")
{
    const std::pair<const char*, const char*> rows[] = {   // how, reason
        {"read-only", "the file is read-only"},
#ifndef _WIN32
        {"disk full", "File too large"},
        {"disk full, hard link",
         "File too large; it was written in place because the file has more than one link"},
#endif
    };
    for (const auto& [how, reason] : rows) {
        CAPTURE(how);
        TempFolder dir;
        const std::string path = dir.write("run.bat", "old contents");
        std::string before = "run.bat";
        WriteResult w;
        if (std::string(how) == "read-only") {
            fs::permissions(fs::u8path(path),
                            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
            w = save(dir, "run.bat", "replaced");
            fs::permissions(fs::u8path(path), fs::perms::owner_read | fs::perms::owner_write);
        } else {
#ifndef _WIN32
            if (std::string(how).ends_with("hard link")) {
                REQUIRE(::link(path.c_str(), dir.path("copy.bat").c_str()) == 0);
                before = "copy.bat run.bat";
            }
            w = with_small_file_size_limit([&] { return save(dir, "run.bat", std::string(100000, 'n')); });
#endif
        }
        CHECK(!w.ok);
        CHECK(w.reason == std::string(reason));
        CHECK((w.hadOldFile && w.oldFileUnchanged && w.backupPath.empty()));
        CHECK(dir.read("run.bat") == "old contents");
        CHECK(entries(dir) == before);
    }
}

#ifndef _WIN32
TEST_CASE("a replaced file keeps its permission bits")
{
    for (unsigned mode : {0600u, 0640u, 0755u, 0666u, 0200u}) {
        CAPTURE(mode);
        TempFolder dir;
        const std::string path = dir.write("run.sh", "old");
        REQUIRE(::chmod(path.c_str(), mode) == 0);
        const WriteResult w = save(dir, "run.sh", "new");
        CHECK(w.ok);
        CHECK((stat_of(path).st_mode & 07777) == mode);
        REQUIRE(::chmod(path.c_str(), 0600) == 0);
        CHECK(dir.read("run.sh") == "new");
    }
}

TEST_CASE("a symbolic link is followed and stays a link")
{
    TempFolder dir;
    fs::create_directory(dir.root() / "real");
    dir.write("real/script.bat", "old");
    REQUIRE(::symlink("real/script.bat", dir.path("script.bat").c_str()) == 0);
    CHECK(save(dir, "script.bat", "new").ok);
    CHECK(fs::is_symlink(dir.root() / "script.bat"));
    CHECK(dir.read("real/script.bat") == "new");
    CHECK(std::distance(fs::directory_iterator(dir.root() / "real"), {}) == 1);

    // A link to a file not there yet creates that file.
    REQUIRE(::symlink("real/later.bat", dir.path("later.bat").c_str()) == 0);
    CHECK(save(dir, "later.bat", "made").ok);
    CHECK(fs::is_symlink(dir.root() / "later.bat"));
    CHECK(dir.read("real/later.bat") == "made");
}

TEST_CASE("a file with a second hard link is written in place")
{
    TempFolder dir;
    const std::string path = dir.write("run.bat", "old text, longer than the new one");
    REQUIRE(::link(path.c_str(), dir.path("copy.bat").c_str()) == 0);
    const ino_t inode = stat_of(path).st_ino;
    CHECK(save(dir, "run.bat", "new").ok);
    CHECK(dir.read("run.bat") == "new");
    CHECK(dir.read("copy.bat") == "new");   // the other name sees the new text
    CHECK(stat_of(path).st_ino == inode);
    CHECK(stat_of(path).st_nlink == 2);
    CHECK(entries(dir) == "copy.bat run.bat");
}

TEST_CASE("a locked folder or a file of another owner is written in place")
{
    for (bool foreign_owner : {false, true}) {   // else: a folder without write permission
        CAPTURE(foreign_owner);
        if (foreign_owner && ::geteuid() != 0) continue;   // only root can give a file to another owner
        TempFolder dir;
        const std::string path = dir.write("run.bat", "old text");
        const std::string folder = dir.root().string();
        REQUIRE(::chmod(path.c_str(), foreign_owner ? 0666 : 0644) == 0);
        REQUIRE(::chmod(folder.c_str(), foreign_owner ? 0755 : 0555) == 0);
        const uid_t owner = stat_of(path).st_uid;
        const ino_t inode = stat_of(path).st_ino;
        const int status = as_unprivileged_user(folder, path, !foreign_owner,
                                                [&] { return save(dir, "run.bat", "new text").ok; });
        ::chmod(folder.c_str(), 0700);
        if (status < 0) continue;   // no unprivileged user to run as
        CHECK(status == 0);
        CHECK(dir.read("run.bat") == "new text");
        CHECK(stat_of(path).st_ino == inode);
        if (foreign_owner) CHECK(stat_of(path).st_uid == owner);   // not handed to the user who saved
        CHECK(entries(dir) == "run.bat");
    }
}
#endif
