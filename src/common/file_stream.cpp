#include "common/file_stream.h"
#include "common/file_handles.h"
#include "common/file_io.h"

#include "common/utf8.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace mq::io {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;   // 1 MiB

std::string reason_of(int error_number)
{
    return std::generic_category().message(error_number);
}

std::FILE* open_for_reading(const fs::path& p)
{
#ifdef _WIN32
    return ::_wfopen(p.c_str(), L"rb");
#else
    return std::fopen(p.c_str(), "rb");
#endif
}

}  // namespace

Result<fs::path> path_from_utf8(const std::string& utf8)
{
    if (auto p = text::path_from_utf8(utf8)) return std::move(*p);
    return Error{"the file name is not valid UTF-8 text", utf8, 0};
}

Status check_distinct_files(const std::string& input, const std::string& output)
{
#ifdef _WIN32
    if (std::string problem = windowsNameProblem(output); !problem.empty()) return Error{problem, output, 0};
#endif
    const auto in = path_from_utf8(input);
    const auto out = path_from_utf8(output);
    if (!in || !out) return Status{};   // opening reports the bad path
    std::error_code ec;
    bool same = fs::equivalent(in.value(), out.value(), ec);
    if (ec) {
        // One of them does not exist (yet): compare the spelled-out paths.
        const fs::path a = fs::weakly_canonical(in.value(), ec);
        const fs::path b = ec ? fs::path() : fs::weakly_canonical(out.value(), ec);
        same = !ec && a == b;
    }
    if (same) return Error{"the output file is the input file; choose another output file", output, 0};
    return Status{};
}

// ---------------------------------------------------------------- InputFile

InputFile::~InputFile() { close(); }

void InputFile::close()
{
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

Status InputFile::open(const std::string& path)
{
    close();
    path_ = path;
    begin_ = end_ = 0;
    position_ = 0;
    failed_ = false;
    if (path.empty())
        return Error{"cannot open the file: its name is empty", {}, 0}.as(ErrorKind::file_not_found);
    const auto p = path_from_utf8(path);
    if (!p) return p.error();
    std::error_code ec;
    const fs::file_status status = fs::status(p.value(), ec);
    if (ec || !fs::exists(status))
        return Error{"cannot open the file: " + reason_of(ENOENT), path, 0}.as(ErrorKind::file_not_found);
    if (!fs::is_regular_file(status))
        return Error{"cannot open the file: not a regular file", path, 0}.as(ErrorKind::file_not_found);
    file_ = open_for_reading(p.value());
    if (!file_)
        return Error{"cannot open the file: " + reason_of(errno), path, 0}.as(ErrorKind::file_not_found);
    std::setvbuf(file_, nullptr, _IONBF, 0);
    const auto size = fs::file_size(p.value(), ec);
    size_ = ec ? 0 : static_cast<std::int64_t>(size);
    buffer_.resize(kBlock);
    return Status{};
}

bool InputFile::fill()
{
    if (!file_ || failed_) return false;
    if (begin_ > 0 && begin_ < end_) std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(begin_),
                                               buffer_.begin() + static_cast<std::ptrdiff_t>(end_),
                                               buffer_.begin());
    end_ -= begin_;
    begin_ = 0;
    if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
    const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (got == 0) {
        if (std::ferror(file_)) {
            failed_ = true;
            errno_ = errno ? errno : EIO;
        }
        return false;
    }
    end_ += got;
    return true;
}

std::size_t InputFile::read(char* dst, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        if (begin_ == end_) {
            // Large requests go straight to the caller's memory.
            if (n - done >= buffer_.size() && file_ && !failed_) {
                const std::size_t got = std::fread(dst + done, 1, n - done, file_);
                done += got;
                position_ += static_cast<std::int64_t>(got);
                if (got == 0 && std::ferror(file_)) {
                    failed_ = true;
                    errno_ = errno ? errno : EIO;
                }
                if (got == 0) break;
                continue;
            }
            if (!fill()) break;
        }
        const std::size_t take = std::min(n - done, end_ - begin_);
        std::copy_n(buffer_.data() + begin_, take, dst + done);
        begin_ += take;
        done += take;
        position_ += static_cast<std::int64_t>(take);
    }
    return done;
}

bool InputFile::read_all(std::string& out)
{
    out.assign(buffer_.data() + begin_, end_ - begin_);
    position_ += static_cast<std::int64_t>(end_ - begin_);
    begin_ = end_ = 0;
    char block[1 << 16];
    while (file_ && !failed_) {
        const std::size_t got = std::fread(block, 1, sizeof block, file_);
        out.append(block, got);
        position_ += static_cast<std::int64_t>(got);
        if (got < sizeof block) {
            if (std::ferror(file_)) {
                failed_ = true;
                errno_ = errno ? errno : EIO;
            }
            break;
        }
    }
    return !failed_;
}

Error InputFile::error() const { return Error{"cannot read the file: " + reason_of(errno_), path_, 0}; }

// ---------------------------------------------------------------- LineReader

namespace {

// Editors on Windows start UTF-8 text with EF BB BF, which no tool wants to
// read as part of the first field.
void skip_byte_order_mark(std::string_view& line)
{
    if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
}

}  // namespace

bool LineReader::next(std::string_view& line)
{
    InputFile& f = file_;
    std::size_t scan = f.begin_;
    for (;;) {
        const char* data = f.buffer_.data();
        const void* lf = scan < f.end_ ? std::char_traits<char>::find(data + scan, f.end_ - scan, '\n')
                                       : nullptr;
        if (lf) {
            const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
            std::size_t len = at - f.begin_;
            if (len > 0 && data[f.begin_ + len - 1] == '\r') --len;
            line = std::string_view(data + f.begin_, len);
            f.position_ += static_cast<std::int64_t>(at + 1 - f.begin_);
            f.begin_ = at + 1;
            if (++line_number_ == 1) skip_byte_order_mark(line);
            return true;
        }
        const std::size_t pending = f.end_ - f.begin_;
        if (!f.fill()) {
            if (pending == 0 || f.failed_) return false;
            // The last line has no line end.
            std::size_t len = f.end_ - f.begin_;
            line = std::string_view(f.buffer_.data() + f.begin_, len);
            f.position_ += static_cast<std::int64_t>(len);
            f.begin_ = f.end_;
            if (++line_number_ == 1) skip_byte_order_mark(line);
            return true;
        }
        scan = f.begin_ + pending;   // fill() moved the pending bytes to the front
    }
}

// ---------------------------------------------------------------- OutputFile

namespace {

namespace h = handles;

constexpr const char* kCreate = "cannot create the file: ";
constexpr const char* kReplace = "cannot replace the file: ";
constexpr const char* kWrite = "cannot write the file: ";

// The outputs not yet committed, for remove_unfinished_outputs. A fixed list,
// so a signal handler can walk it; an output beyond it is only undone by its
// own destructor.
constexpr int kUnfinishedSlots = 64;
std::atomic<const OutputFile::Unfinished*> g_unfinished[kUnfinishedSlots];

// How many names the file has; 1 when that cannot be told. (The standard
// library's count is always 1 on Windows, where it comes from stat.)
std::uintmax_t link_count(const fs::path& path)
{
#ifdef _WIN32
    const HANDLE h = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(h, &info) != 0;
    ::CloseHandle(h);
    return known ? info.nNumberOfLinks : 1;
#else
    std::error_code ec;
    const std::uintmax_t n = fs::hard_link_count(path, ec);
    return ec ? 1 : n;
#endif
}

// Follows symbolic links to the file a path finally names, also when the last
// link points to a file that does not exist yet; the reason when it cannot.
std::string resolve_links(fs::path& target)
{
    for (int hops = 0;; ++hops) {
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(target, ec);
        if (st.type() == fs::file_type::not_found) return {};
        if (ec) return ec.message();
        if (st.type() != fs::file_type::symlink) return {};
        if (hops == 40) return reason_of(ELOOP);
        const fs::path link = fs::read_symlink(target, ec);
        if (ec) return ec.message();
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
}

fs::path folder_of(const fs::path& p) { return p.has_parent_path() ? p.parent_path() : fs::path("."); }

// Creates a new file in `folder` whose name tells whose file it is:
// ".NAME.mqN.tmp" for `target` NAME ("bak" for a backup). -1 with errno set
// when it cannot.
int create_beside(const fs::path& folder, const fs::path& target, const char* kind, fs::path& made)
{
    static std::atomic<unsigned> counter{0};
    const auto stamp =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Joined as paths: no detour through the narrow code page of Windows.
        // A name near the file system's limit of 255 characters leaves no
        // room for the marks.
        fs::path name = ".";
        name += target.filename().native().size() <= 200 ? target.filename() : fs::path("mapquill");
        name += ".mq" + std::to_string((stamp + counter++) % 1000000007ULL) + "." + kind;
        made = folder / name;
        const int fd = h::create_exclusive(made.c_str());
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Puts `from` in the place of `to`, replacing it when it exists.
bool replace_file(const fs::path& from, const fs::path& to, int& error_number)
{
#ifdef _WIN32
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    error_number = ::GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
#else
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec) {
        // Makes the rename durable; failure is harmless.
        const int fd = ::open(folder_of(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            h::sync_to_disk(fd);
            ::close(fd);
        }
        return true;
    }
    error_number = ec.value();
    return false;
#endif
}

void remove_quietly(const fs::path& p)
{
    std::error_code ignored;
    fs::remove(p, ignored);
}

}  // namespace

OutputFile::~OutputFile() { discard(); }

Error OutputFile::failure(const char* prefix, std::string reason) const
{
    if (!because_.empty()) reason += "; it was written in place because " + because_;
    Error e{wording_ == Wording::save ? reason : prefix + reason, path_, 0};
    if (!kept_backup_.empty())
        e.note = "Its old contents are kept in " + text::utf8_from_path(kept_backup_) + ".";
    else if (wording_ == Wording::save && replacing_)
        e.note = "The old file is unchanged.";
    return e;
}

Status OutputFile::open(const std::string& path, Wording wording)
{
    discard();
    path_ = path;
    wording_ = wording;
    const bool save = wording == Wording::save;
    failed_ = false;
    used_ = 0;
    written_ = 0;
    replacing_ = false;
    because_.clear();
    kept_backup_.clear();
    if (path.empty())
        return Error{save ? "no file name given" : "cannot create the file: its name is empty", {}, 0};
    const auto p = path_from_utf8(path);
    if (!p) return p.error();
    target_ = p.value();
    if (std::string why = resolve_links(target_); !why.empty()) return failure(kCreate, why);
    std::error_code ec;
    const fs::file_status old = fs::status(target_, ec);
    const bool exists = old.type() != fs::file_type::not_found;
    if (exists) {
        if (ec) return failure(kCreate, ec.message());
        if (fs::is_directory(old)) return failure(kCreate, save ? reason_of(EISDIR) : "it is a folder");
        // Renaming over a device or a pipe would put a plain file in its place.
        if (!fs::is_regular_file(old))
            return failure(kCreate, save ? "not a regular file" : "it is not a regular file");
        replacing_ = true;
        // Checked on the bits themselves: a privileged user may replace
        // anything, but a file marked read-only is meant to stay as it is.
        if ((old.permissions() & fs::perms::owner_write) == fs::perms::none)
            return failure(kReplace, save ? "the file is read-only" : "it is read-only");
#ifndef _WIN32
        // The rename needs only the folder's permission; the file's own must
        // allow writing too.
        if (::access(target_.c_str(), W_OK) != 0) return failure(kReplace, reason_of(errno));
#endif
    }
    buffer_.resize(kBlock);
    // A second name for the same file would keep the old contents after a rename.
    if (exists && link_count(target_) > 1)
        return start_in_place("the file has more than one link");

    // Beside the target, so that the final rename stays on one disk.
    fd_ = create_beside(folder_of(target_), target_, "tmp", temp_);
    if (fd_ < 0) {
        const int e = errno;
        temp_.clear();
        if (exists && e != EEXIST)
            return start_in_place("the folder does not allow new files (" + reason_of(e) + ")");
        return failure(kCreate, reason_of(e));
    }
    if (exists) {
#ifdef _WIN32
        fs::permissions(temp_, old.permissions() & fs::perms::mask, ec);
#else
        // Owner and group can be kept only by a privileged user or when they
        // are the user's own; otherwise the new file would change hands.
        struct stat was {}, made {};
        if (::stat(target_.c_str(), &was) != 0) {
            const int e = errno;
            discard();
            return failure(kCreate, reason_of(e));
        }
        const bool owner_kept =
            ::fchown(fd_, was.st_uid, was.st_gid) == 0 ||
            (::fstat(fd_, &made) == 0 && made.st_uid == was.st_uid && made.st_gid == was.st_gid);
        const char* lost = !owner_kept                                ? "its owner or group could not be kept"
                           : ::fchmod(fd_, was.st_mode & 07777) != 0 ? "its permissions could not be kept"
                                                                      : nullptr;
        if (lost) {
            discard();
            return start_in_place(lost);
        }
#endif
    }
    remember_unfinished();
    return Status{};
}

Status OutputFile::start_in_place(const std::string& because)
{
    because_ = because;
    const int from = h::open_for_reading(target_.c_str());
    if (from < 0)
        return failure(kReplace,
                       "its old contents could not be read for a backup (" + reason_of(errno) + ")");
    // The backup goes beside the target, or where no file can be made there,
    // into the user's temporary folder.
    std::error_code ec;
    const fs::path places[] = {folder_of(target_), fs::temp_directory_path(ec)};
    std::string why;
    for (const fs::path& place : places) {
        if (place.empty() || (h::seek_start(from) < 0)) continue;
        const int to = create_beside(place, target_, "bak", backup_);
        int e = to < 0 ? errno : 0;
#ifndef _WIN32
        // It may hold a private file's text.
        if (e == 0 && ::fchmod(to, 0600) != 0) e = errno;
#endif
        std::int64_t copied = 0;
        if (e == 0) e = h::copy_bytes(from, to, buffer_.data(), buffer_.size(), -1, copied);
        if (e == 0 && h::sync_to_disk(to) != 0) e = errno;
        if (to >= 0 && h::close_file(to) != 0 && e == 0) e = errno;
        if (e == 0) break;
        why = reason_of(e);
        if (to >= 0) remove_quietly(backup_);
        backup_.clear();
    }
    h::close_file(from);
    if (backup_.empty())
        return failure(kReplace, "no backup of the old contents could be made (" + why + ")");

    fd_ = h::open_for_writing(target_.c_str());
    if (fd_ < 0) {
        const int e = errno;
        remove_quietly(backup_);
        backup_.clear();
        return failure(kReplace, reason_of(e));
    }
    remember_unfinished();
    return Status{};
}

void OutputFile::flush_buffer()
{
    if (used_ == 0) return;
    if (fd_ >= 0 && !failed_) {
        if (const int e = h::write_all(fd_, buffer_.data(), used_)) {
            failed_ = true;
            errno_ = e;
        }
    }
    written_ += static_cast<std::int64_t>(used_);
    used_ = 0;
}

void OutputFile::write_slow(std::string_view bytes)
{
    flush_buffer();
    if (bytes.size() >= buffer_.size()) {
        if (fd_ >= 0 && !failed_) {
            if (const int e = h::write_all(fd_, bytes.data(), bytes.size())) {
                failed_ = true;
                errno_ = e;
            }
        }
        written_ += static_cast<std::int64_t>(bytes.size());
        return;
    }
    std::char_traits<char>::copy(buffer_.data(), bytes.data(), bytes.size());
    used_ = bytes.size();
}

// Flushes what is buffered, cuts the file after it when `cut` (a file written
// in place may have been longer), makes it durable and closes it; false (see
// errno_) when any of it fails.
bool OutputFile::settle(bool cut)
{
    flush_buffer();
    const auto check = [this](bool ok) {
        if (!ok && !failed_) {
            failed_ = true;
            errno_ = errno ? errno : EIO;
        }
    };
    if (!failed_ && cut) check(h::truncate_to(fd_, written_) == 0);
    if (!failed_) check(h::sync_to_disk(fd_) == 0);
    check(close_file() == 0);
    return !failed_;
}

int OutputFile::close_file()
{
    const int fd = fd_;
    if (fd < 0) return 0;
    unfinished_.fd.store(-1);
    fd_ = -1;
    return h::close_file(fd);
}

Status OutputFile::finish_as(const fs::path& place)
{
    if (fd_ < 0 || temp_.empty()) return Error{"the file is not open", path_, 0};
    if (!settle(false)) {
        const int e = errno_;
        discard();
        return failure(kWrite, reason_of(e));
    }
    int e = 0;
    if (taken_by_cleanup())
        e = ENOENT;
    else if (replace_file(temp_, place, e))
        e = 0;
    if (e != 0) {
        discard();
        return failure(kReplace, reason_of(e));
    }
    forget_unfinished();
    temp_.clear();
    return Status{};
}

Status OutputFile::finish_in_place()
{
    if (fd_ < 0) return Error{"the file is not open", path_, 0};
    if (taken_by_cleanup()) {
        discard();
        return failure(kReplace, reason_of(ENOENT));
    }
    if (!settle(true)) {
        const int e = errno_;
        restore();
        return failure(kWrite, reason_of(e));
    }
    forget_unfinished();
    remove_quietly(backup_);
    backup_.clear();
    return Status{};
}

Status OutputFile::commit()
{
    return in_place() ? finish_in_place() : finish_as(target_);
}

Status OutputFile::copy_out_to(const fs::path& place)
{
    if (fd_ < 0 || taken_by_cleanup()) {
        discard();
        return failure(kReplace, reason_of(ENOENT));
    }
    const char* prefix = kWrite;
    int e = settle(false) ? 0 : errno_;
    if (e == 0) {
        // The records written so far go from the target into a new file,
        // which then takes the place of the partial file.
        fs::path temp;
        const int to = create_beside(folder_of(place), place, "tmp", temp);
        const int from = to < 0 ? -1 : h::open_for_reading(target_.c_str());
        if (to < 0) prefix = kCreate;
        e = to < 0 || from < 0 ? errno : 0;
        std::int64_t copied = 0;
        if (e == 0) e = h::copy_bytes(from, to, buffer_.data(), buffer_.size(), written_, copied);
        if (from >= 0) h::close_file(from);
        if (e == 0 && h::sync_to_disk(to) != 0) e = errno;
        if (to >= 0 && h::close_file(to) != 0 && e == 0) e = errno;
        if (e == 0 && !replace_file(temp, place, e)) prefix = kReplace;
        if (e != 0 && to >= 0) remove_quietly(temp);
    }
    restore();   // the target gets its old contents back in any case
    if (e != 0) return failure(prefix, reason_of(e));
    return Status{};
}

Result<std::string> OutputFile::keep_partial(std::int64_t records, const std::string& input)
{
    if (!replacing_) {
        if (auto s = commit(); !s) return s.error();
        return std::string();
    }
    // Named after the path as given, unless a link led elsewhere: then after
    // the file the link names, beside which the records were written.
    const auto given = path_from_utf8(path_);
    std::string kept =
        given && given.value() == target_ ? partial_name(path_) : partial_name(text::utf8_from_path(target_));
    if (const auto in = path_from_utf8(input); in && !input.empty()) {
        std::error_code ec;
        if (const auto at = path_from_utf8(kept); at && fs::equivalent(at.value(), in.value(), ec))
            kept = partial_name(kept);
    }
    const auto place = path_from_utf8(kept);
    if (!place) {
        discard();
        return place.error();
    }
    if (auto s = in_place() ? copy_out_to(place.value()) : finish_as(place.value()); !s) {
        Error e = s.error();
        e.file = kept;
        return e;
    }
    return stopped_note(records, kept, path_);
}

bool OutputFile::restore()
{
    close_file();
    used_ = 0;
    if (taken_by_cleanup()) {   // the cleanup after a signal has put them back already
        forget_unfinished();
        backup_.clear();
        return true;
    }
    const int e = h::restore_from(backup_.c_str(), target_.c_str(), buffer_.data(), buffer_.size());
    forget_unfinished();
    if (e == 0)
        remove_quietly(backup_);
    else
        kept_backup_ = backup_;   // only now may it stay: the old contents are nowhere else
    backup_.clear();
    return e == 0;
}

void OutputFile::remember_unfinished()
{
    unfinished_.temp = temp_.empty() ? nullptr : temp_.c_str();
    unfinished_.target = backup_.empty() ? nullptr : target_.c_str();
    unfinished_.backup = backup_.empty() ? nullptr : backup_.c_str();
    unfinished_.fd.store(fd_);
    for (int i = 0; i < kUnfinishedSlots; ++i) {
        const Unfinished* none = nullptr;
        if (g_unfinished[i].compare_exchange_strong(none, &unfinished_)) {
            slot_ = i;
            return;
        }
    }
}

bool OutputFile::taken_by_cleanup() const { return slot_ >= 0 && g_unfinished[slot_].load() != &unfinished_; }

void OutputFile::forget_unfinished()
{
    if (slot_ >= 0) {
        const Unfinished* mine = &unfinished_;
        g_unfinished[slot_].compare_exchange_strong(mine, nullptr);
    }
    slot_ = -1;
}

void OutputFile::discard()
{
    if (in_place()) restore();
    close_file();
    forget_unfinished();
    if (!temp_.empty()) {
        remove_quietly(temp_);
        temp_.clear();
    }
    used_ = 0;
}

std::string partial_name(const std::string& path)
{
#ifdef _WIN32
    const std::size_t slash = path.find_last_of("/\\:");
#else
    const std::size_t slash = path.rfind('/');
#endif
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    // A dot that starts the name (".profile") is no extension.
    const std::size_t at = dot != std::string::npos && dot > name ? dot : path.size();
    return path.substr(0, at) + ".partial" + path.substr(at);
}

std::string stopped_note(std::int64_t records, const std::string& kept_in, const std::string& output)
{
    std::string note = "Stopped after " + std::to_string(records) + (records == 1 ? " record" : " records");
    if (kept_in.empty()) return note + ".";
    // Paths as the system writes them ("\" on Windows).
    const auto shown = [](const std::string& path) {
        auto native = text::path_from_utf8(path);
        return native ? text::utf8_from_path(native->make_preferred()) : path;
    };
    return note + ", kept in " + shown(kept_in) + "; " + shown(output) + " is unchanged.";
}

namespace {

std::atomic<bool (*)() noexcept> g_on_interrupt{nullptr};

void remove_outputs_and_end(int signal_number)
{
    if (signal_number == SIGINT) {
        if (auto* on_interrupt = g_on_interrupt.load(); on_interrupt && on_interrupt()) {
            std::signal(SIGINT, remove_outputs_and_end);  // Windows resets it before every call
            return;
        }
    }
    remove_unfinished_outputs();
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

// The signals that end a program unless it handles them.
constexpr int kEndingSignals[] = {
    SIGINT, SIGTERM,
#ifndef _WIN32
    SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF,
#endif
};

}  // namespace

void remove_unfinished_outputs_on_signals(bool (*on_interrupt)() noexcept) noexcept
{
    g_on_interrupt.store(on_interrupt);
    for (const int signal_number : kEndingSignals) {
        if (std::signal(signal_number, remove_outputs_and_end) == SIG_IGN)
            std::signal(signal_number, SIG_IGN);
    }
}

void remove_unfinished_outputs() noexcept
{
    static char buffer[1 << 16];   // no allocation in a signal handler
    for (auto& slot : g_unfinished) {
        const OutputFile::Unfinished* u = slot.exchange(nullptr);
        if (!u) continue;
        if (u->temp) handles::remove_file(u->temp);
        if (!u->backup) continue;
#ifndef _WIN32
        // What another thread still writes into the target goes nowhere from now on.
        if (const int fd = u->fd.load(); fd >= 0) {
            const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
            if (null >= 0) {
                ::dup2(null, fd);
                ::close(null);
            }
        }
#endif
        if (handles::restore_from(u->backup, u->target, buffer, sizeof buffer) == 0)
            handles::remove_file(u->backup);
    }
}

}  // namespace mq::io
