// Runs a batch file without cmd.exe: the gridding batch file, run-batch and
// the editor's Run where there is no cmd.exe. The lines are read as cmd.exe
// reads a batch file (batch_script.h): "set" and %NAME%, echo, REM and "::",
// redirections, pipes, "if exist", "if not exist", "if A==B", "for %%f in
// (...) do" over file names, blocks in parentheses, del, ren. Programs are
// found in the batch file's folder, then on PATH; a GMT module found in
// neither runs as "gmt MODULE", with the GMT 4 forms that GMT 6 refuses
// rewritten (gmt_changes.h), each rewrite told as a note. A file with a line
// of another kind (goto, call, other if and for forms) needs cmd.exe and is
// refused before anything runs. The programs of a line run in one process
// group (a job object on Windows), which Stop ends as a whole.
//
// With stop_at_failure the run ends at the first program line that fails,
// so the lines after it (a "del" of the data it should have read, above
// all) are not run and its input stays for another try. What the lines
// print goes to the listener and to the log beside the batch file (its name
// with ".log"), replaced at each run. If GMT is needed but not installed,
// the log says so.
#pragma once

#include "common/result.h"
#include "tools/gmt_changes.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mq::tools {

enum class BatchLineKind { Nothing, Echo, Delete, Program };

struct BatchLine {
    BatchLineKind kind = BatchLineKind::Nothing;
    std::string text;                 // Echo: what it prints
    std::vector<std::string> words;   // Delete: the names; Program: program and arguments
};

// Splits one line as cmd.exe reads it: "%%" is "%", words at blanks and
// tabs, a word in double quotes may hold blanks (the quotes are dropped),
// outside quotes "^" makes the next character a plain one.
BatchLine classify_batch_line(std::string_view line);

// Writing batch lines that cmd.exe reads back as they were meant: a file
// name as one argument ("%" doubled; in double quotes when it holds a blank
// or a character cmd.exe gives a meaning), and text for "echo" ("%" doubled,
// "^" before & | < > ^ outside double quotes). A name with a double quote
// cannot be passed on: batch_argument gives nothing then.
std::optional<std::string> batch_argument(std::string_view name);
std::string batch_echo_text(std::string_view text);

// cmd.exe's file-name patterns: "*" any run of characters, "?" one
// character, letters compared without case; "*.*" matches every name.
bool matches_pattern(std::string_view name, std::string_view pattern);

// The full path of a program found on PATH; empty when there is none.
std::string find_on_path(std::string_view program);

// The log beside a batch file: "dir/SRTM_grid.bat" -> "dir/SRTM_grid.log".
std::string batch_log_path(const std::string& batch_path);

// The lock file of a gridding run's folder (see grid_run.h); "del" leaves it.
inline constexpr std::string_view kGridRunLock = "run.lock";

struct BatchRun {
    int programs = 0;             // program lines run
    int failed = 0;               // 1 when a program line failed or could not start
    int first_failed_line = 0;    // that line's number
    std::string failed_command;   // that line's program and arguments as run
    std::string failure_output;   // the last line the program printed, or why it did not start
    std::string log_path;         // empty when no log was written
    int exit_status = 0;          // of the last program, as "cmd /c" would report it
    bool stopped = false;         // ended by the stop query
};

enum class RunStream { out, err };

// What a running batch file reports, called on the thread that runs it.
class RunListener {
public:
    virtual ~RunListener() = default;
    // A line starts: its 1-based number and what runs after expansion.
    virtual void line_started(int line, std::string_view command) = 0;
    // What the programs print, as it comes, in pieces of any length.
    virtual void output(RunStream stream, std::string_view text) = 0;
    // The runner's own notes ("line 5: -H0 run as -h0").
    virtual void note(int line, std::string_view text) = 0;
};

struct BatchRunOptions {
    // The first failing program line ends the run (gridding, run-batch); the
    // editor's Run passes false and goes on as cmd.exe does.
    bool stop_at_failure = true;
    // The log beside the batch file (see batch_log_path).
    bool write_log = true;
    // The GMT driver: "gmt" on PATH or a full path.
    std::string gmt_program = "gmt";
    // Asked at least every 100 ms while programs run; when it says true, the
    // run's processes are ended and the run ends stopped.
    std::function<bool()> stop_requested;
};

// Runs the lines in order, each after the one before has ended. An Error
// when the batch file cannot be read, has lines ended by CR alone, holds a
// line that needs cmd.exe (all refused before anything runs), or the log
// cannot be written.
Result<BatchRun> run_batch_file(const std::string& batch_path, const BatchRunOptions& options = {},
                                RunListener* listener = nullptr);

}  // namespace mq::tools
