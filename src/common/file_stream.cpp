#include "common/file_stream.h"
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

// The new files of the outputs not yet committed, for remove_unfinished_outputs.
// A fixed list, so a signal handler can walk it; an output beyond it is only
// removed by its own destructor.
constexpr int kUnfinishedSlots = 64;
std::atomic<const fs::path::value_type*> g_unfinished[kUnfinishedSlots];

int remember_unfinished(const fs::path& temp)
{
    for (int i = 0; i < kUnfinishedSlots; ++i) {
        const fs::path::value_type* none = nullptr;
        if (g_unfinished[i].compare_exchange_strong(none, temp.c_str())) return i;
    }
    return -1;
}

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

// Creates a file that must not exist yet, for writing.
std::FILE* create_new(const fs::path& p)
{
#ifdef _WIN32
    const int fd = ::_wopen(p.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                            _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* f = ::_fdopen(fd, "wb");
    if (!f) ::_close(fd);
    return f;
#else
    int fd;
    do {
        fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return nullptr;
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) ::close(fd);
    return f;
#endif
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
    if (!ec) return true;
    error_number = ec.value();
    return false;
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

OutputFile::~OutputFile() { discard(); }

Status OutputFile::open(const std::string& path)
{
    discard();
    path_ = path;
    failed_ = false;
    used_ = 0;
    written_ = 0;
    replacing_ = false;
    if (path.empty()) return Error{"cannot create the file: its name is empty", {}, 0};
    const auto p = path_from_utf8(path);
    if (!p) return p.error();
    target_ = p.value();
    // A link is followed: the file it names is replaced and the link stays.
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code link_ec;
        if (!fs::is_symlink(fs::symlink_status(target_, link_ec))) break;
        const fs::path link = fs::read_symlink(target_, link_ec);
        if (link_ec) break;
        target_ = link.is_absolute() ? link : target_.parent_path() / link;
    }
    std::error_code ec;
    const fs::file_status old = fs::status(target_, ec);
    if (fs::is_directory(old)) return Error{"cannot create the file: it is a folder", path, 0};
    const bool replacing = fs::exists(old);
    replacing_ = replacing;
    if (replacing) {
        // Renaming over a device or a pipe would put a plain file in its place.
        if (!fs::is_regular_file(old)) return Error{"cannot create the file: it is not a regular file", path, 0};
        // Checked on the bits themselves: a privileged user may replace
        // anything, but a file marked read-only is meant to stay as it is.
        if ((old.permissions() & fs::perms::owner_write) == fs::perms::none)
            return Error{"cannot replace the file: it is read-only", path, 0};
#ifndef _WIN32
        // The rename needs only the folder's permission; the file's own must
        // allow writing too.
        if (::access(target_.c_str(), W_OK) != 0)
            return Error{"cannot replace the file: " + reason_of(errno), path, 0};
#endif
    }
    // Write beside the target, so that the final rename stays on one disk.
    const fs::path folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    static std::atomic<unsigned> counter{0};
    const auto stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
        // Joined as paths: no detour through the narrow code page of Windows.
        // The target's name tells whose file it is; a name near the file
        // system's limit of 255 characters leaves no room for the marks.
        fs::path name = ".";
        name += target_.filename().native().size() <= 200 ? target_.filename() : fs::path("mapquill");
        name += ".mq" + std::to_string((stamp + counter++) % 1000000007ULL) + ".tmp";
        temp_ = folder / name;
        file_ = create_new(temp_);
        if (!file_ && errno != EEXIST) break;
    }
    if (!file_) {
        const int e = errno;
        temp_.clear();
        return Error{"cannot create the file: " + reason_of(e), path, 0};
    }
    // The new file gets the old one's permissions (a private file stays private).
    if (replacing) fs::permissions(temp_, old.permissions() & fs::perms::mask, ec);
    slot_ = remember_unfinished(temp_);
    std::setvbuf(file_, nullptr, _IONBF, 0);
    buffer_.resize(kBlock);
    return Status{};
}

void OutputFile::flush_buffer()
{
    if (used_ == 0) return;
    if (file_ && !failed_) {
        if (std::fwrite(buffer_.data(), 1, used_, file_) != used_) {
            failed_ = true;
            errno_ = errno ? errno : EIO;
        }
    }
    written_ += static_cast<std::int64_t>(used_);
    used_ = 0;
}

void OutputFile::write_slow(std::string_view bytes)
{
    flush_buffer();
    if (bytes.size() >= buffer_.size()) {
        if (file_ && !failed_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
            failed_ = true;
            errno_ = errno ? errno : EIO;
        }
        written_ += static_cast<std::int64_t>(bytes.size());
        return;
    }
    std::char_traits<char>::copy(buffer_.data(), bytes.data(), bytes.size());
    used_ = bytes.size();
}

Status OutputFile::finish_as(const fs::path& place)
{
    if (!file_) return Error{"the file is not open", path_, 0};
    flush_buffer();
    if (!failed_ && std::fflush(file_) != 0) {
        failed_ = true;
        errno_ = errno;
    }
    if (std::fclose(file_) != 0 && !failed_) {
        failed_ = true;
        errno_ = errno;
    }
    file_ = nullptr;
    if (failed_) {
        const int e = errno_;
        discard();
        return Error{"cannot write the file: " + reason_of(e), path_, 0};
    }
    int e = 0;
    if (!replace_file(temp_, place, e)) {
        discard();
        return Error{"cannot replace the file: " + reason_of(e), path_, 0};
    }
    forget_temp();
    temp_.clear();
    return Status{};
}

Status OutputFile::commit()
{
    return finish_as(target_);
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
    if (auto s = finish_as(place.value()); !s) {
        Error e = s.error();
        e.file = kept;
        return e;
    }
    return stopped_note(records, kept, path_);
}

void OutputFile::forget_temp()
{
    if (slot_ >= 0) g_unfinished[slot_].store(nullptr);
    slot_ = -1;
}

void OutputFile::discard()
{
    if (file_) std::fclose(file_);
    file_ = nullptr;
    forget_temp();
    if (!temp_.empty()) {
        std::error_code ec;
        fs::remove(temp_, ec);
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
    for (auto& slot : g_unfinished) {
        if (const fs::path::value_type* temp = slot.exchange(nullptr)) {
#ifdef _WIN32
            ::_wremove(temp);
#else
            ::unlink(temp);   // unlike std::remove, safe in a signal handler
#endif
        }
    }
}

}  // namespace mq::io
