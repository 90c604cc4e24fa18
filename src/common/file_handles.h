// The few file-descriptor operations that differ between the platforms, for
// the readers and the safe writer. Each returns -1 and leaves the cause in
// errno on failure. They take the platform's own path characters and use
// only calls that a signal handler may make (open, read, write, ftruncate,
// close, unlink), so that the cleanup after Ctrl+C can use them too.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <filesystem>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mq::io::handles {

using PathChar = std::filesystem::path::value_type;

#ifdef _WIN32
inline int open_for_reading(const PathChar* p) { return ::_wopen(p, _O_RDONLY | _O_BINARY | _O_NOINHERIT); }
// A file that must not exist yet, readable and writable by the user alone
// where the system has such permissions.
inline int create_exclusive(const PathChar* p)
{
    return ::_wopen(p, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}
inline int open_for_writing(const PathChar* p) { return ::_wopen(p, _O_WRONLY | _O_BINARY | _O_NOINHERIT); }
inline long long read_some(int fd, char* buf, std::size_t n)
{
    return ::_read(fd, buf, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30)));
}
inline long long write_some(int fd, const char* buf, std::size_t n)
{
    return ::_write(fd, buf, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30)));
}
inline int truncate_to(int fd, std::int64_t size) { return ::_chsize_s(fd, size) == 0 ? 0 : -1; }
inline long long seek_start(int fd) { return ::_lseeki64(fd, 0, SEEK_SET); }
inline int sync_to_disk(int fd) { return ::_commit(fd); }
inline int close_file(int fd) { return ::_close(fd); }
inline int remove_file(const PathChar* p) { return ::_wremove(p); }
#else
inline int open_for_reading(const PathChar* p)
{
    // O_NONBLOCK: opening a pipe must not wait for a writer. It has no effect
    // on regular files.
    int fd;
    do fd = ::open(p, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    return fd;
}
inline int create_exclusive(const PathChar* p)
{
    int fd;
    do fd = ::open(p, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    return fd;
}
inline int open_for_writing(const PathChar* p)
{
    int fd;
    do fd = ::open(p, O_WRONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd;
}
inline long long read_some(int fd, char* buf, std::size_t n)
{
    ssize_t got;
    do got = ::read(fd, buf, std::min<std::size_t>(n, 1u << 30));
    while (got < 0 && errno == EINTR);
    return got;
}
inline long long write_some(int fd, const char* buf, std::size_t n)
{
    ssize_t put;
    do put = ::write(fd, buf, std::min<std::size_t>(n, 1u << 30));
    while (put < 0 && errno == EINTR);
    return put;
}
inline int truncate_to(int fd, std::int64_t size)
{
    int rc;
    do rc = ::ftruncate(fd, static_cast<off_t>(size));
    while (rc < 0 && errno == EINTR);
    return rc;
}
inline long long seek_start(int fd) { return ::lseek(fd, 0, SEEK_SET); }
inline int sync_to_disk(int fd)
{
    int rc;
    do rc = ::fsync(fd);
    while (rc < 0 && errno == EINTR);
    return rc;
}
inline int close_file(int fd) { return ::close(fd); }
inline int remove_file(const PathChar* p) { return ::unlink(p); }
#endif

// Writes all of `n` bytes; 0, or the errno of the failure.
inline int write_all(int fd, const char* data, std::size_t n)
{
    while (n > 0) {
        const long long put = write_some(fd, data, n);
        if (put < 0) return errno ? errno : EIO;
        if (put == 0) return EIO;
        data += put;
        n -= static_cast<std::size_t>(put);
    }
    return 0;
}

// Copies the file `from` reads from its current position, at most `limit`
// bytes (all when negative), to `to` through `buffer`; 0, or the errno of
// the failure. `copied` counts the bytes copied.
inline int copy_bytes(int from, int to, char* buffer, std::size_t size, std::int64_t limit,
                      std::int64_t& copied)
{
    copied = 0;
    while (limit < 0 || copied < limit) {
        std::size_t want = size;
        if (limit >= 0)
            want = static_cast<std::size_t>(std::min<std::int64_t>(limit - copied, std::int64_t(size)));
        const long long got = read_some(from, buffer, want);
        if (got < 0) return errno ? errno : EIO;
        if (got == 0) break;
        if (const int e = write_all(to, buffer, static_cast<std::size_t>(got))) return e;
        copied += got;
    }
    return 0;
}

// Puts the bytes of `backup` back into `target` from its start and cuts it
// to their length: the old contents of a file written in place. 0, or the
// errno of the failure.
inline int restore_from(const PathChar* backup, const PathChar* target, char* buffer, std::size_t size)
{
    const int from = open_for_reading(backup);
    if (from < 0) return errno;
    const int to = open_for_writing(target);
    if (to < 0) {
        const int e = errno;
        close_file(from);
        return e;
    }
    std::int64_t copied = 0;
    int e = copy_bytes(from, to, buffer, size, -1, copied);
    if (e == 0 && truncate_to(to, copied) != 0) e = errno;
    if (e == 0 && sync_to_disk(to) != 0) e = errno;
    if (close_file(to) != 0 && e == 0) e = errno;
    close_file(from);
    return e;
}

}  // namespace mq::io::handles
