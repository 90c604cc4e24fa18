// Streaming file access: a buffered reader of bytes and lines, and the safe
// writer of the data tools and the editor, which changes its target only
// when committed.
// Paths are UTF-8 on every platform. Memory stays fixed whatever the file
// size (apart from a single line longer than the buffer, which grows it).
#pragma once

#include "common/result.h"

#include <atomic>
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
// a UTF-8 byte-order mark at the start of the file, nothing else. The last
// line may lack its LF.
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

// The one safe writer, for the file tools and the editor's saves alike.
// Until commit() the target keeps its old contents for every reader that
// matters: where a new file can take the target's place and keep everything
// (one link, the user's own file, a folder that allows new files), the bytes
// go to a new file beside it, which commit() renames over the target. Where
// a rename would lose something (a second hard link would keep the old
// contents, another user's file would change hands, the folder allows no new
// files), the target is written in place after a backup of its old contents
// (beside it, or in the user's temporary folder); commit() removes the
// backup, and a run that does not commit puts the old contents back from it.
// A symbolic link is followed: the file it names is written and the link
// stays. Without a commit (an error, or the object going away) the target
// stays as it was.
class OutputFile {
public:
    // How failures are worded: as the file tools say them ("cannot create the
    // file: ..."), or as the bare reason for the editor's "could not be
    // saved" box, with a note on what became of the old file.
    enum class Wording { tool, save };

    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    Status open(const std::string& path, Wording wording = Wording::tool);

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
    // True when the target existed when the output was opened.
    bool replaces_existing() const { return replacing_; }
    // True when the target is written in place (see above).
    bool in_place() const { return !backup_.empty(); }

    // Flushes, closes and puts the new contents in the target's place. On
    // failure the target stays as it was and the Error says why.
    Status commit();
    // Ends a run that stopped early (a stop, a bad line, a read error) without
    // harming a file that was there: a new target gets what was written, as
    // on commit(); an existing target stays as it was and what was written
    // goes beside it, into partial_name(target), replacing an older such
    // file, unless that file is the run's `input` (a rerun on the records of
    // an earlier stop): then into partial_name of that name. Returns the note
    // for the user, stopped_note(records, ...), when an existing target was
    // kept, else the empty text.
    Result<std::string> keep_partial(std::int64_t records, const std::string& input = {});
    // Drops what was written; the target stays as it was.
    void discard();

    // What a signal's cleanup must undo for an output not yet committed: the
    // new file to remove, or the target written in place and its backup.
    struct Unfinished {
        const std::filesystem::path::value_type* temp = nullptr;
        const std::filesystem::path::value_type* target = nullptr;
        const std::filesystem::path::value_type* backup = nullptr;
        std::atomic<int> fd{-1};   // the descriptor still writing into the target
    };

private:
    void write_slow(std::string_view bytes);
    void flush_buffer();

    Error failure(const char* prefix, std::string reason) const;
    Status start_in_place(const std::string& because);
    Status finish_as(const std::filesystem::path& place);   // closes and puts the new file there
    Status finish_in_place();
    Status copy_out_to(const std::filesystem::path& place); // the bytes written in place, into a new file
    bool restore();             // puts the old contents back; false when the backup had to stay
    bool settle(bool cut);
    int close_file();   // 0, or -1 with errno set
    bool taken_by_cleanup() const;
    void forget_unfinished();   // removes this output from the list the signal cleanup walks
    void remember_unfinished();

    int fd_ = -1;
    Wording wording_ = Wording::tool;
    std::filesystem::path target_;
    std::filesystem::path temp_;     // the new file beside the target, when it replaces it
    std::filesystem::path backup_;   // the old contents, when the target is written in place
    std::string because_;            // why the target is written in place
    std::filesystem::path kept_backup_;   // a backup that had to stay, after a failed write in place
    Unfinished unfinished_;
    int slot_ = -1;   // where this output stands in the list of unfinished outputs
    std::string path_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::int64_t written_ = 0;
    bool replacing_ = false;
    bool failed_ = false;
    int errno_ = 0;
};

// Where the records of a run that ended early go when the output existed:
// ".partial" before the extension of the name ("track.xyz" gives
// "track.partial.xyz", "track" gives "track.partial").
std::string partial_name(const std::string& path);

// What a run that ended early says about its output: "Stopped after N
// records, kept in NAME; OUTPUT is unchanged." with `kept_in` the file
// holding the records beside an existing output, or "Stopped after N
// records." when `kept_in` is empty (the output itself holds them).
std::string stopped_note(std::int64_t records, const std::string& kept_in, const std::string& output);

// Leaves the target of every OutputFile not yet committed as it was: removes
// the new files, and puts the old contents back into targets written in
// place. For a program ended by Ctrl+C or a termination signal, whose
// destructors never run: call it from the signal handler (it only reads a
// fixed list, copies and removes files). Later commits of those outputs
// fail. Removing a new file does not work on Windows yet: there an open file
// cannot be removed (the new files would have to be opened sharing their
// deletion).
void remove_unfinished_outputs() noexcept;

// Makes every signal that ends the program (Ctrl+C, TERM and, elsewhere than
// on Windows, HUP, QUIT, PIPE, ALRM, USR1, USR2, XCPU, XFSZ, VTALRM, PROF)
// first call remove_unfinished_outputs() and then end the program by the
// signal as before. Signals the caller ignores (nohup) stay ignored; those of
// a fault (SEGV, ABRT) are left to the debugger. `on_interrupt`, when given,
// is asked first on Ctrl+C: when it returns true the program goes on. It runs
// in the signal handler.
void remove_unfinished_outputs_on_signals(bool (*on_interrupt)() noexcept = nullptr) noexcept;

}  // namespace mq::io
