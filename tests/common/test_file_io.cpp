// Reading whole files, and the one safe writer as the editor's saves and the
// file tools use it: what is left in the folder, links, permissions, owners,
// the wording of its refusals and writes that fail half-way.
#include "common/file_io.h"
#include "common/file_stream.h"
#include "temp_folder.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstdlib>
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
std::string entries(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) {
        const auto name = e.path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto& n : names) out += (out.empty() ? "" : " ") + n;
    return out;
}

// The two users of the writer: the editor's save and a file tool's output.
enum class User { save, tool };
constexpr User kUsers[] = {User::save, User::tool};

mq::Status write_as(User user, const std::string& path, const std::string& bytes)
{
    if (user == User::save) return writeFileSafely(path, bytes);
    OutputFile out;
    if (auto opened = out.open(path); !opened) return opened;
    out.write(bytes);
    return out.commit();
}

// The error's text with its note, or "" on success.
std::string outcome(const mq::Status& s)
{
    if (s) return "";
    return s.error().message + (s.error().note.empty() ? "" : " | " + s.error().note);
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
// folders (and the file when `chown_file`) are handed to that user first.
// Returns the child's exit status, or -1 when it could not be arranged.
constexpr uid_t kNobody = 65534;
int as_unprivileged_user(const std::vector<std::string>& folders, const std::string& file, bool chown_file,
                         const std::function<bool()>& write)
{
    if (::geteuid() != 0) return write() ? 0 : 1;
    for (const auto& dir : folders)
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
mq::Status with_small_file_size_limit(const std::function<mq::Status()>& write)
{
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit limited = saved;
    limited.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    mq::Status s = write();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &previous, nullptr);
    return s;
}
#endif

}  // namespace

TEST_CASE("readWholeFile reads every byte, and only regular files")
{
    TempFolder dir;
    for (const std::string& bytes : {std::string(), std::string("@echo off\r\n"),
                                     std::string("\0\xFF\r\x80\n\0", 6), std::string(200000, 'x')}) {
        CAPTURE(bytes.size());
        const auto r = readWholeFile(dir.write("in.bat", bytes));
        REQUIRE(r.ok());
        CHECK(r.value() == bytes);
    }
    const std::tuple<const char*, mq::ErrorKind, const char*> rows[] = {   // name, kind, reason
        {"missing.bat", mq::ErrorKind::file_not_found, "No such file or directory"},
        {"no/such/folder.bat", mq::ErrorKind::file_not_found, "No such file or directory"},
        {"", mq::ErrorKind::file_not_found, "No such file or directory"},
#ifndef _WIN32
        {".", mq::ErrorKind::access, "Is a directory"},
        // A pipe without writer would block a plain read for ever.
        {"pipe", mq::ErrorKind::access, "not a regular file"},
#endif
    };
#ifndef _WIN32
    REQUIRE(::mkfifo(dir.path("pipe").c_str(), 0600) == 0);
#endif
    for (const auto& [name, kind, reason] : rows) {
        CAPTURE(name);
        const auto r = readWholeFile(*name ? dir.path(name) : std::string());
        REQUIRE(!r.ok());
        CHECK(r.error().kind == kind);
        CHECK(r.error().message == reason);
    }
}

TEST_CASE("the writer makes new files and replaces old ones, leaving nothing else")
{
    const std::string five_k(5000, 'o');
    // A name of 250 characters leaves no room for the new file's marks; 255 is the most a name may have.
    const std::string long_name = std::string(246, 'a') + ".txt";
    const std::tuple<const char*, std::string, const char*, std::string> rows[] = {   // name, old, new
        {"new file", "out \xc3\xbc.bat", nullptr, "a\r\nb"},
        {"new empty file", "out.bat", nullptr, ""},
        {"replace with shorter", "out.bat", five_k.c_str(), "n"},
        {"replace with longer", "out.bat", "o", std::string(3 << 20, 'n')},   // past the writer's buffer
        {"replace with empty", "out \xc3\xbc.bat", "old text", ""},
        {"binary bytes", "out.bat", "x", std::string("\0\xFF\x81\r", 4)},
#ifndef _WIN32   // (it would pass the 260 characters Windows allows a whole path)
        {"long name", long_name, "old", "new"},
#endif
    };
    for (const User user : kUsers)
        for (const auto& [name, file, old, bytes] : rows) {
            CAPTURE(name);
            TempFolder dir;
            if (old) dir.write(file, old);
            CHECK(outcome(write_as(user, dir.path(file), bytes)) == "");
            CHECK(dir.read(file) == bytes);
            CHECK(entries(dir.root()) == file);
        }
}

TEST_CASE("the writer refuses what it cannot write, in the words of its user, and touches nothing")
{
    const std::tuple<const char*, const char*, const char*> rows[] = {   // name, as the editor says, as a tool says
        {"gone/out.bat", "No such file or directory", "cannot create the file: No such file or directory"},
        {"", "no file name given", "cannot create the file: its name is empty"},
        {"plain.txt", "the file is read-only | The old file is unchanged.", "cannot replace the file: it is read-only"},
#ifndef _WIN32
        {"sub", "Is a directory", "cannot create the file: it is a folder"},
        {"plain.txt/out.bat", "Not a directory", "cannot create the file: Not a directory"},
        {"pipe", "not a regular file", "cannot create the file: it is not a regular file"},
#endif
#ifdef _WIN32   // only the editor asks; a tool has asked check_distinct_files before
        {"all*.bat", "Windows does not allow the character * in a file name", nullptr},
        {"nul.bat", "\"NUL\" is a device on Windows, not a file; choose another name", nullptr},
#endif
    };
    for (const User user : kUsers)
        for (const auto& [name, said, tool_said] : rows) {
            CAPTURE(name);
            if (user == User::tool && !tool_said) continue;
            TempFolder dir;
            fs::create_directory(dir.root() / "sub");
            dir.write("sub/keep.txt", "kept");
            const std::string plain = dir.write("plain.txt", "plain");
            fs::permissions(fs::u8path(plain), fs::perms::owner_read | fs::perms::group_read);
#ifndef _WIN32
            REQUIRE(::mkfifo(dir.path("pipe").c_str(), 0600) == 0);
#endif
            CHECK(outcome(write_as(user, *name ? dir.path(name) : "", "new")) == (user == User::save ? said : tool_said));
            fs::permissions(fs::u8path(plain), fs::perms::owner_read | fs::perms::owner_write);
#ifdef _WIN32
            CHECK(entries(dir.root()) == "plain.txt sub");
#else
            CHECK(entries(dir.root()) == "pipe plain.txt sub");
#endif
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

#ifndef _WIN32
TEST_CASE("a write that fails half-way leaves the old file as it was, also one written in place")
{
    const std::tuple<bool, const char*, const char*> rows[] = {   // hard link, as the editor says, as a tool says
        {false, "File too large | The old file is unchanged.", "cannot write the file: File too large"},
        {true,
         "File too large; it was written in place because the file has more than one link | The old file is unchanged.",
         "cannot write the file: File too large; it was written in place because the file has more than one link"},
    };
    for (const User user : kUsers)
        for (const auto& [hard_link, said, tool_said] : rows) {
            CAPTURE(hard_link);
            TempFolder dir;
            const std::string path = dir.write("run.bat", "old contents");
            if (hard_link) REQUIRE(::link(path.c_str(), dir.path("copy.bat").c_str()) == 0);
            const auto s = with_small_file_size_limit([&] { return write_as(user, path, std::string(100000, 'n')); });
            CHECK(outcome(s) == (user == User::save ? said : tool_said));
            CHECK(dir.read("run.bat") == "old contents");
            CHECK(entries(dir.root()) == (hard_link ? "copy.bat run.bat" : "run.bat"));
        }
}

TEST_CASE("a replaced file keeps its permission bits, and a symbolic link stays a link")
{
    for (const User user : kUsers) {
        for (unsigned mode : {0600u, 0640u, 0755u, 0666u, 0200u}) {
            CAPTURE(mode);
            TempFolder dir;
            const std::string path = dir.write("run.sh", "old");
            REQUIRE(::chmod(path.c_str(), mode) == 0);
            CHECK(write_as(user, path, "new").ok());
            CHECK((stat_of(path).st_mode & 07777) == mode);
            REQUIRE(::chmod(path.c_str(), 0600) == 0);
            CHECK(dir.read("run.sh") == "new");
        }
        // A link is followed, also to a file not there yet, which it creates.
        TempFolder dir;
        fs::create_directory(dir.root() / "real");
        dir.write("real/script.bat", "old");
        for (const char* name : {"script.bat", "later.bat"}) {
            REQUIRE(::symlink((std::string("real/") + name).c_str(), dir.path(name).c_str()) == 0);
            CHECK(write_as(user, dir.path(name), "new").ok());
            CHECK(fs::is_symlink(dir.root() / name));
            CHECK(dir.read(std::string("real/") + name) == "new");
        }
        CHECK(entries(dir.root() / "real") == "later.bat script.bat");
    }
}

TEST_CASE("a file with a second hard link is written in place: both names show the new contents")
{
    for (const User user : kUsers) {
        TempFolder dir;
        const std::string path = dir.write("run.bat", "old text, longer than the new one");
        REQUIRE(::link(path.c_str(), dir.path("copy.bat").c_str()) == 0);
        const ino_t inode = stat_of(path).st_ino;
        CHECK(write_as(user, path, "new").ok());
        CHECK(dir.read("run.bat") == "new");
        CHECK(dir.read("copy.bat") == "new");
        CHECK(stat_of(path).st_ino == inode);
        CHECK(stat_of(path).st_nlink == 2);
        CHECK(entries(dir.root()) == "copy.bat run.bat");
    }
}

TEST_CASE("a locked folder or a file of another owner is written in place, the backup in the temporary folder")
{
    for (const User user : kUsers)
        for (bool foreign_owner : {false, true}) {   // else: a folder without write permission
            CAPTURE(foreign_owner);
            if (foreign_owner && ::geteuid() != 0) continue;   // only root can give a file to another owner
            TempFolder dir, temp;
            const std::string path = dir.write("run.bat", "old text");
            const std::string folder = dir.root().string();
            REQUIRE(::chmod(path.c_str(), foreign_owner ? 0666 : 0644) == 0);
            REQUIRE(::chmod(folder.c_str(), foreign_owner ? 0755 : 0555) == 0);
            const uid_t owner = stat_of(path).st_uid;
            const ino_t inode = stat_of(path).st_ino;
            const int status = as_unprivileged_user({folder, temp.root().string()}, path, !foreign_owner, [&] {
                const std::string was = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
                ::setenv("TMPDIR", temp.root().c_str(), 1);
                const auto put_back = [&] { return was.empty() ? ::unsetenv("TMPDIR") : ::setenv("TMPDIR", was.c_str(), 1); };
                OutputFile out;
                const auto opened = out.open(path, user == User::save ? OutputFile::Wording::save : OutputFile::Wording::tool);
                put_back();
                if (!opened) return false;
                // Where no file can be made beside it, the old text waits in the temporary folder.
                const std::string backups = entries(temp.root());
                const bool where = foreign_owner ? backups.empty() : backups.starts_with(".run.bat.mq");
                out.write("new text");
                return where && out.in_place() && out.commit().ok() && entries(temp.root()).empty();
            });
            ::chmod(folder.c_str(), 0700);
            if (status < 0) continue;   // no unprivileged user to run as
            CHECK(status == 0);
            CHECK(dir.read("run.bat") == "new text");
            CHECK(stat_of(path).st_ino == inode);
            if (foreign_owner) CHECK(stat_of(path).st_uid == owner);   // not handed to the user who saved
            CHECK(entries(dir.root()) == "run.bat");
        }
}
#endif
