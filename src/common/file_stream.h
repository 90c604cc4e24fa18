// Streaming file access for the data tools: a buffered reader of bytes and
// lines, and an output file that replaces its target only when committed.
// Paths are UTF-8 on every platform. Memory stays fixed whatever the file
// size (apart from a single line longer than the buffer, which grows it).
#pragma once

#include "common/result.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mq::io {

// A UTF-8 path as the platform's path (see mq::text::path_from_utf8); an
// Error naming the text when it cannot be one.
Result<std::filesystem::path> path_from_utf8(const std::string& utf8);

// Refuses an output path that names the input file (also through another
// spelling of it, a link or "..") before anything is written, since writing
// would destroy the input; on Windows also a name Windows does not take
// (io::windowsNameProblem).
Status check_distinct_files(const std::string& input, const std::string& output);

// Reads a regular file in large blocks.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Only regular files are opened: a folder, pipe or device is refused
    // rather than blocking.
    Status open(const std::string& path);
    void close();

    // Copies up to n bytes into dst; fewer only at the end of the file or on
    // a read error (see failed()).
    std::size_t read(char* dst, std::size_t n);
    // Reads the rest of the file (for the few tools that work on it whole).
    bool read_all(std::string& out);

    bool failed() const { return failed_; }
    Error error() const;                       // the read error, naming the file
    const std::string& path() const { return path_; }
    std::int64_t size() const { return size_; }            // size when opened
    std::int64_t position() const { return position_; }    // bytes handed out so far

private:
    friend class LineReader;
    bool fill();   // refills the buffer; false at the end or on error

    std::FILE* file_ = nullptr;
    std::string path_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
    bool failed_ = false;
    int errno_ = 0;
};

// Splits a file into lines at LF; a CR before the LF is dropped, and so is
// nothing else. The last line may lack its LF.
class LineReader {
public:
    explicit LineReader(InputFile& file) : file_(file) {}

    // The next line without its line end; the view stays valid until the next
    // call. False at the end of the file or on a read error (file.failed()).
    bool next(std::string_view& line);
    std::int64_t line_number() const { return line_number_; }   // of the line last returned

private:
    InputFile& file_;
    std::string long_line_;   // used only for a line longer than the buffer
    std::int64_t line_number_ = 0;
};

// Writes a new file next to the target and puts it in the target's place on
// commit(). Until then the target is untouched; without a commit (an error,
// or the object going away) the new file is removed.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    Status open(const std::string& path);

    void write(std::string_view bytes)
    {
        if (bytes.size() <= buffer_.size() - used_) {
            std::char_traits<char>::copy(buffer_.data() + used_, bytes.data(), bytes.size());
            used_ += bytes.size();
        } else {
            write_slow(bytes);
        }
    }
    void put(char c)
    {
        if (used_ == buffer_.size()) flush_buffer();
        buffer_[used_++] = c;
    }

    bool failed() const { return failed_; }
    std::int64_t bytes_written() const { return written_ + static_cast<std::int64_t>(used_); }

    // Flushes, closes and replaces the target. On failure the target stays as
    // it was and the Error says why.
    Status commit();
    // Drops what was written; the target stays as it was.
    void discard();

private:
    void write_slow(std::string_view bytes);
    void flush_buffer();

    void forget_temp();   // removes temp_ from the list of unfinished outputs

    std::FILE* file_ = nullptr;
    std::filesystem::path target_;
    std::filesystem::path temp_;
    int slot_ = -1;   // where temp_ stands in the list of unfinished outputs
    std::string path_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::int64_t written_ = 0;
    bool failed_ = false;
    int errno_ = 0;
};

// Removes the new files of every OutputFile not yet committed, leaving their
// targets as they were. For a program ended by Ctrl+C or a termination
// signal, whose destructors never run: call it from the signal handler (it
// only reads a fixed list and removes files). Later commits of those outputs
// fail. Not yet on Windows: there an open file cannot be removed (the new
// files would have to be opened sharing their deletion).
void remove_unfinished_outputs() noexcept;

}  // namespace mq::io
