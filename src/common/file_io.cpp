#include "common/file_io.h"

#include "common/utf8.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mq::io {

namespace fs = std::filesystem;

namespace {

// The few file-descriptor operations that differ between the platforms. Each
// returns -1 and leaves the cause in errno on failure.
#ifdef _WIN32
int openForReading(const fs::path& p) {
    return ::_wopen(p.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
int createExclusive(const fs::path& p) {
    return ::_wopen(p.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
}
long long readSome(int fd, char* buf, std::size_t n) {
    return ::_read(fd, buf, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30)));
}
long long writeSome(int fd, const char* buf, std::size_t n) {
    return ::_write(fd, buf, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30)));
}
int openExisting(const fs::path& p) {
    return ::_wopen(p.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
}
int truncateTo(int fd, std::size_t size) {
    return ::_chsize_s(fd, static_cast<long long>(size)) == 0 ? 0 : -1;
}
long long seekStart(int fd) { return ::_lseeki64(fd, 0, SEEK_SET); }
int syncToDisk(int fd) { return ::_commit(fd); }
int closeFile(int fd) { return ::_close(fd); }
#else
int openForReading(const fs::path& p) {
    // O_NONBLOCK: opening a pipe must not wait for a writer. It has no effect
    // on regular files.
    int fd;
    do {
        fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    return fd;
}
int createExclusive(const fs::path& p) {
    int fd;
    do {
        fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}
long long readSome(int fd, char* buf, std::size_t n) {
    ssize_t got;
    do {
        got = ::read(fd, buf, std::min<std::size_t>(n, 1u << 30));
    } while (got < 0 && errno == EINTR);
    return got;
}
long long writeSome(int fd, const char* buf, std::size_t n) {
    ssize_t put;
    do {
        put = ::write(fd, buf, std::min<std::size_t>(n, 1u << 30));
    } while (put < 0 && errno == EINTR);
    return put;
}
int openExisting(const fs::path& p) {
    int fd;
    do {
        fd = ::open(p.c_str(), O_WRONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}
int truncateTo(int fd, std::size_t size) {
    int rc;
    do {
        rc = ::ftruncate(fd, static_cast<off_t>(size));
    } while (rc < 0 && errno == EINTR);
    return rc;
}
long long seekStart(int fd) { return ::lseek(fd, 0, SEEK_SET); }
int syncToDisk(int fd) {
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc < 0 && errno == EINTR);
    return rc;
}
int closeFile(int fd) { return ::close(fd); }
#endif

// The path a UTF-8 name gives; empty when the name cannot be a path here.
fs::path toPath(const std::string& utf8) {
    return text::path_from_utf8(utf8).value_or(fs::path());
}

constexpr const char* kBadName = "the file name is not valid UTF-8 text";

std::string errnoText(int error) { return std::generic_category().message(error); }

ReadResult readFailure(ReadErrorKind kind, std::string reason) {
    ReadResult r;
    r.errorKind = kind;
    r.reason = std::move(reason);
    return r;
}

WriteResult writeFailure(std::string reason) {
    WriteResult r;
    r.reason = std::move(reason);
    return r;
}

// The file a path finally names once symbolic links are followed, also when
// the last link points to a file that does not exist yet.
bool resolveLinks(fs::path& target, std::string& reason) {
    for (int hops = 0;; ++hops) {
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(target, ec);
        if (st.type() == fs::file_type::not_found) return true;
        if (ec) {
            reason = ec.message();
            return false;
        }
        if (st.type() != fs::file_type::symlink) return true;
        if (hops == 40) {
            reason = errnoText(ELOOP);
            return false;
        }
        const fs::path link = fs::read_symlink(target, ec);
        if (ec) {
            reason = ec.message();
            return false;
        }
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
}

// Makes the rename of a file in `dir` durable; failure is harmless.
void syncFolder([[maybe_unused]] const fs::path& dir) {
#ifndef _WIN32
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        syncToDisk(fd);
        ::close(fd);
    }
#endif
}

std::string temporaryName() {
    static std::atomic<unsigned long long> counter{static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count())};
    return ".mapquill-" + std::to_string(counter.fetch_add(1)) + ".tmp";
}

}  // namespace

ReadResult readWholeFile(const std::string& path) {
    const fs::path p = toPath(path);
    if (p.empty() && !path.empty()) return readFailure(ReadErrorKind::Other, kBadName);
    std::error_code ec;
    const fs::file_status st = fs::status(p, ec);
    if (st.type() == fs::file_type::not_found) {
        return readFailure(ReadErrorKind::NotFound, errnoText(ENOENT));
    }
    if (ec) return readFailure(ReadErrorKind::Other, ec.message());
    if (st.type() == fs::file_type::directory) {
        return readFailure(ReadErrorKind::Other, errnoText(EISDIR));
    }
    if (st.type() != fs::file_type::regular) {
        return readFailure(ReadErrorKind::Other, "not a regular file");
    }

    const int fd = openForReading(p);
    if (fd < 0) {
        const int error = errno;
        return readFailure(error == ENOENT ? ReadErrorKind::NotFound : ReadErrorKind::Other,
                           errnoText(error));
    }

    ReadResult result;
    try {
        const auto size = fs::file_size(p, ec);
        if (!ec) result.bytes.reserve(static_cast<std::size_t>(size));
        // The size is only a hint: the file may grow or shrink meanwhile.
        constexpr std::size_t kChunk = 1 << 16;
        for (;;) {
            const std::size_t used = result.bytes.size();
            result.bytes.resize(used + kChunk);
            const long long got = readSome(fd, result.bytes.data() + used, kChunk);
            if (got < 0) {
                const int error = errno;
                closeFile(fd);
                return readFailure(ReadErrorKind::Other, errnoText(error));
            }
            result.bytes.resize(used + static_cast<std::size_t>(got));
            if (got == 0) break;
        }
    } catch (const std::bad_alloc&) {
        closeFile(fd);
        return readFailure(ReadErrorKind::Other, "the file is too large");
    } catch (const std::length_error&) {
        closeFile(fd);
        return readFailure(ReadErrorKind::Other, "the file is too large");
    }
    closeFile(fd);
    result.ok = true;
    return result;
}

namespace {

// Writes all of `bytes` to `fd`; an empty text on success, else the reason.
std::string writeAll(int fd, std::string_view bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const long long put = writeSome(fd, data, left);
        if (put < 0) return errnoText(errno);
        if (put == 0) return errnoText(EIO);
        data += put;
        left -= static_cast<std::size_t>(put);
    }
    return {};
}

std::string fromPath(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

// A new file in `dir` holding `bytes`, flushed to the disk and readable by
// the user alone (it may hold a private file's text); its path goes to `made`.
std::string writeBackup(const fs::path& dir, std::string_view bytes, fs::path& made) {
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        made = dir / temporaryName();
        fd = createExclusive(made);
        if (fd < 0 && errno != EEXIST) return errnoText(errno);
    }
    if (fd < 0) return errnoText(EEXIST);
    std::string why;
#ifndef _WIN32
    if (::fchmod(fd, 0600) != 0) why = errnoText(errno);
#endif
    if (why.empty()) why = writeAll(fd, bytes);
    if (why.empty() && syncToDisk(fd) != 0) why = errnoText(errno);
    if (closeFile(fd) != 0 && why.empty()) why = errnoText(errno);
    if (!why.empty()) {
        std::error_code ignored;
        fs::remove(made, ignored);
    }
    return why;
}

// Overwrites the existing file from its start and cuts it to the new size.
std::string overwrite(const fs::path& target, std::string_view bytes) {
    const int fd = openExisting(target);
    if (fd < 0) return errnoText(errno);
    std::string why;
    if (seekStart(fd) < 0) why = errnoText(errno);
    if (why.empty()) why = writeAll(fd, bytes);
    if (why.empty() && truncateTo(fd, bytes.size()) != 0) why = errnoText(errno);
    if (why.empty() && syncToDisk(fd) != 0) why = errnoText(errno);
    if (closeFile(fd) != 0 && why.empty()) why = errnoText(errno);
    return why;
}

// Writes in place, the old bytes safe in a backup until the new ones are on
// the disk. `because` says why the file is not replaced by a new one.
WriteResult writeInPlace(const fs::path& target, const fs::path& dir, std::string_view bytes,
                         const std::string& because) {
    WriteResult result;
    result.hadOldFile = true;
    const auto fail = [&](const std::string& why) {
        result.reason = why + "; it was written in place because " + because;
        return result;
    };

    const ReadResult old = readWholeFile(fromPath(target));
    if (!old.ok) return fail("its old contents could not be read for a backup (" + old.reason + ")");

    fs::path backup;
    std::string why = writeBackup(dir, old.bytes, backup);
    if (!why.empty()) {
        std::error_code ec;
        const fs::path temp = fs::temp_directory_path(ec);
        if (ec) return fail("no backup of the old contents could be made (" + why + ")");
        why = writeBackup(temp, old.bytes, backup);
        if (!why.empty()) return fail("no backup of the old contents could be made (" + why + ")");
    }

    why = overwrite(target, bytes);
    std::error_code ignored;
    if (why.empty()) {
        fs::remove(backup, ignored);
        result.ok = true;
        return result;
    }
    // Put the old bytes back; only if that fails too does the backup stay.
    if (overwrite(target, old.bytes).empty()) {
        fs::remove(backup, ignored);
    } else {
        result.oldFileUnchanged = false;
        result.backupPath = fromPath(backup);
    }
    return fail(why);
}

}  // namespace

std::string windowsNameProblem(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    for (const char c : name) {
        if (std::string_view("*?\"<>|:").find(c) != std::string_view::npos)
            return std::string("Windows does not allow the character ") + c + " in a file name";
        if (static_cast<unsigned char>(c) < 0x20)
            return "Windows does not allow control characters in a file name";
    }
    if (!name.empty() && (name.back() == '.' || name.back() == ' ') && name != "." && name != "..")
        return "Windows does not allow a file name that ends in a dot or a blank";
    // A device name stays one with any extension and blanks before it.
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool numbered = stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
                          stem[3] >= '1' && stem[3] <= '9';
    if (numbered || stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
        return "\"" + stem + "\" is a device on Windows, not a file; choose another name";
    return {};
}

WriteResult writeFileSafely(const std::string& path, std::string_view bytes) {
    if (path.empty()) return writeFailure("no file name given");
#ifdef _WIN32
    if (std::string problem = windowsNameProblem(path); !problem.empty()) return writeFailure(problem);
#endif

    fs::path target = toPath(path);
    if (target.empty()) return writeFailure(kBadName);
    std::string reason;
    if (!resolveLinks(target, reason)) return writeFailure(reason);

    std::error_code ec;
    const fs::file_status st = fs::status(target, ec);
    const bool exists = st.type() != fs::file_type::not_found;
    if (exists) {
        if (ec) return writeFailure(ec.message());
        if (st.type() == fs::file_type::directory) return writeFailure(errnoText(EISDIR));
        // Renaming over a device or a pipe would replace it by a plain file.
        if (st.type() != fs::file_type::regular) return writeFailure("not a regular file");
        // Checked on the bits themselves: a privileged user may write anything,
        // but a file marked read-only is meant to stay as it is.
        if ((st.permissions() & fs::perms::owner_write) == fs::perms::none) {
            WriteResult r = writeFailure("the file is read-only");
            r.hadOldFile = true;
            return r;
        }
#ifndef _WIN32
        // The rename needs only the folder's permission; the file's own must
        // allow writing too, or this would replace a file the user may not
        // change.
        if (::access(target.c_str(), W_OK) != 0) {
            WriteResult r = writeFailure(errnoText(errno));
            r.hadOldFile = true;
            return r;
        }
#endif
    }

    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";

    // A second name for the same file would keep the old text after a rename.
    if (exists && fs::hard_link_count(target, ec) > 1 && !ec) {
        return writeInPlace(target, dir, bytes, "the file has more than one link");
    }

    fs::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = dir / temporaryName();
        fd = createExclusive(temp);
        if (fd < 0 && errno != EEXIST) {
            const std::string why = errnoText(errno);
            if (exists) return writeInPlace(target, dir, bytes, "the folder does not allow new files (" + why + ")");
            return writeFailure(why);
        }
    }
    if (fd < 0) return writeFailure(errnoText(EEXIST));

    const auto discard = [&] {
        if (fd >= 0) closeFile(fd);
        fd = -1;
        std::error_code ignored;
        fs::remove(temp, ignored);
    };
    const auto abandon = [&](std::string why) {
        discard();
        WriteResult r = writeFailure(std::move(why));
        r.hadOldFile = exists;
        return r;
    };

#ifndef _WIN32
    if (exists) {
        struct stat old {};
        if (::stat(target.c_str(), &old) != 0) return abandon(errnoText(errno));
        // Owner and group can be kept only by a privileged user or when they
        // are the user's own; otherwise the new file would change hands.
        struct stat made {};
        const bool ownerKept = (::fchown(fd, old.st_uid, old.st_gid) == 0 ||
                                (::fstat(fd, &made) == 0 && made.st_uid == old.st_uid &&
                                 made.st_gid == old.st_gid));
        if (!ownerKept) {
            discard();
            return writeInPlace(target, dir, bytes, "its owner or group could not be kept");
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0) {
            discard();
            return writeInPlace(target, dir, bytes, "its permissions could not be kept");
        }
    }
#endif

    std::string why = writeAll(fd, bytes);
    if (!why.empty()) return abandon(why);
    if (syncToDisk(fd) != 0) return abandon(errnoText(errno));
    const int closed = closeFile(fd);
    fd = -1;
    if (closed != 0) return abandon(errnoText(errno));

    fs::rename(temp, target, ec);
    if (ec) return abandon(ec.message());
    syncFolder(dir);

    WriteResult ok;
    ok.ok = true;
    return ok;
}

}  // namespace mq::io
