#include "tools/grid_run.h"

#include "common/file_stream.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mq::tools {

namespace fs = std::filesystem;

namespace {

std::string utf8_of(const fs::path& path)
{
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

fs::path native(const std::string& utf8)
{
    auto p = io::path_from_utf8(utf8);
    return p ? p.value() : fs::path(utf8);
}

// A run folder's name: the prefix and more (compared as UTF-8, which takes
// every name a folder may have).
bool has_run_name(const fs::path& folder)
{
    try {
        return utf8_of(folder.filename()).starts_with(kGridRunPrefix);
    } catch (const std::exception&) {   // a name Windows holds that is no Unicode text
        return false;
    }
}

std::string random_name()
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::random_device device;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    std::mt19937_64 engine((static_cast<std::uint64_t>(device()) << 32) ^ device() ^
                           static_cast<std::uint64_t>(now));
    std::string name(kGridRunPrefix);
    for (int i = 0; i < 12; ++i) name += kDigits[engine() % 16];
    return name;
}

// The lock is a lock file that holders keep open. On Windows holders open it
// sharing reading and writing only, so an open that shares nothing fails
// while one of them lives; the handle is inherited by the programs started
// meanwhile (the batch runner and what it runs), which keeps the folder alive while
// they work in it. Elsewhere holders take a shared flock(), which a test for
// an exclusive one sees until the last of them has closed the file.
#ifdef _WIN32
std::intptr_t open_lock(const fs::path& file, bool create)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE h =
        CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                    create ? CREATE_NEW : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(h);
}

void close_lock(std::intptr_t handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }

// True when nobody holds the lock; the file then stays open, shared with no
// one, in `handle` until close_lock.
bool lock_is_free(const fs::path& file, std::intptr_t& handle)
{
    const HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle = reinterpret_cast<std::intptr_t>(h);
    return true;
}

bool is_own_folder(const fs::path&) { return true; }   // the temporary folder is the user's own
#else
int open_fd(const fs::path& file, int flags)
{
    return ::open(file.c_str(), flags | O_CLOEXEC | O_NOFOLLOW, 0600);
}

std::intptr_t open_lock(const fs::path& file, bool create)
{
    if (!create) {
        const int fd = open_fd(file, O_RDONLY);
        if (fd == -1) return -1;
        if (::flock(fd, LOCK_SH | LOCK_NB) == 0) return fd;
        ::close(fd);
        return -1;
    }
    // Made under another name and locked before it gets its own, so that no
    // one ever sees the lock file unlocked.
    const fs::path fresh = file.parent_path() / ".run.lock.new";
    const int fd = open_fd(fresh, O_RDWR | O_CREAT | O_EXCL);
    if (fd == -1) return -1;
    if (::flock(fd, LOCK_SH) != 0 || ::rename(fresh.c_str(), file.c_str()) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void close_lock(std::intptr_t handle) { ::close(static_cast<int>(handle)); }

bool lock_is_free(const fs::path& file, std::intptr_t& handle)
{
    const int fd = open_fd(file, O_RDONLY);
    if (fd == -1) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    handle = fd;
    return true;
}

// The folder and its lock file belong to this user (another user's folders
// in a shared /tmp are theirs to clear) and the lock file is a plain file.
bool is_own_folder(const fs::path& folder)
{
    struct stat dir {}, lock {};
    return ::lstat(folder.c_str(), &dir) == 0 && S_ISDIR(dir.st_mode) && dir.st_uid == ::geteuid() &&
           ::lstat((folder / std::string(kGridRunLock)).c_str(), &lock) == 0 && S_ISREG(lock.st_mode) &&
           lock.st_uid == ::geteuid();
}
#endif

bool make_folder(const fs::path& folder)
{
#ifdef _WIN32
    return CreateDirectoryW(folder.c_str(), nullptr) != 0;
#else
    return ::mkdir(folder.c_str(), 0700) == 0;   // only this user works in it
#endif
}

}  // namespace

std::string temporary_folder()
{
    std::error_code ec;
    const fs::path temp = fs::temp_directory_path(ec);
    return ec ? std::string(".") : utf8_of(temp);
}

GridRunLock& GridRunLock::operator=(GridRunLock&& other) noexcept
{
    if (this != &other) {
        release();
        handle_ = other.handle_;
        other.handle_ = -1;
    }
    return *this;
}

GridRunLock GridRunLock::hold(const std::string& folder)
{
    GridRunLock lock;
    const fs::path dir = native(folder);
    if (!has_run_name(dir)) return lock;
    lock.handle_ = open_lock(dir / std::string(kGridRunLock), false);
    return lock;
}

void GridRunLock::release()
{
    if (handle_ != -1) close_lock(handle_);
    handle_ = -1;
}

Result<GridRunFolder> GridRunFolder::create(const std::string& parent)
{
    const fs::path base = native(parent.empty() ? temporary_folder() : parent);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = base / random_name();
        if (!make_folder(folder)) {
            std::error_code ec;
            if (fs::exists(folder, ec)) continue;   // taken: another name
            return Error{"cannot make a folder for the gridding run", utf8_of(folder), 0};
        }
        GridRunFolder run;
        run.path_ = utf8_of(folder);
        run.lock_.handle_ = open_lock(folder / std::string(kGridRunLock), true);
        if (!run.lock_.held()) return Error{"cannot make the lock file of the gridding run", run.path_, 0};
        return run;
    }
    return Error{"cannot find a free name for the gridding run's folder", utf8_of(base), 0};
}

GridRunFolder& GridRunFolder::operator=(GridRunFolder&& other) noexcept
{
    if (this != &other) {
        remove();
        path_ = std::move(other.path_);
        lock_ = std::move(other.lock_);
        other.path_.clear();
    }
    return *this;
}

std::string GridRunFolder::batch_path() const { return utf8_of(native(path_) / std::string(kGridBatchName)); }

void GridRunFolder::remove()
{
    lock_.release();
    if (path_.empty()) return;
    std::error_code ec;
    fs::remove_all(native(path_), ec);
    path_.clear();
}

int remove_stale_grid_runs(const std::string& parent)
{
    const fs::path base = native(parent.empty() ? temporary_folder() : parent);
    std::vector<fs::path> stale;
    std::error_code ec;
    // The temporary folder holds anything; a name or entry that cannot be
    // read is passed over, never a reason to stop the program.
    for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path folder = it->path();
        if (!has_run_name(folder)) continue;
        std::error_code e;
        if (!fs::is_directory(it->symlink_status(e)) || !is_own_folder(folder)) continue;
        const fs::path lock = folder / std::string(kGridRunLock);
        if (!fs::is_regular_file(fs::symlink_status(lock, e))) continue;   // not one of ours
        stale.push_back(folder);
    }
    int removed = 0;
    for (const auto& folder : stale) {
        std::intptr_t handle = -1;
        if (!lock_is_free(folder / std::string(kGridRunLock), handle)) continue;   // its run is going
#ifdef _WIN32
        close_lock(handle);   // Windows removes no open file
        handle = -1;
#endif
        std::error_code e;
        if (fs::remove_all(folder, e) > 0 && !e) ++removed;
        if (handle != -1) close_lock(handle);
    }
    return removed;
}

std::string gridding_failure_text(const BatchRun& run)
{
    std::string text =
        "the gridding failed at line " + std::to_string(run.first_failed_line) + " of the batch file";
    if (!run.failed_command.empty()) text += " (" + run.failed_command + ")";
    if (!run.failure_output.empty()) text += ": " + run.failure_output;
    return text;
}

Status run_gridding(const GridBatch& batch, const std::string& parent)
{
    auto folder = GridRunFolder::create(parent);
    if (!folder) return folder.error();
    const std::string batch_path = folder->batch_path();
    if (auto s = write_grid_batch(batch_path, batch); !s) return s;
    // The batch runner on every platform: it stops at the first failing
    // line, so a failed surface deletes nothing (cmd.exe would go on to the
    // line that deletes the records), and it names that line.
    const auto run = run_batch_file(batch_path);
    if (!run) return run.error();
    if (run->failed) return Error{gridding_failure_text(run.value()), {}, 0};
    return {};
}

}  // namespace mq::tools
