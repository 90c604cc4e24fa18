// The pieces every subcommand of mapquill-tools shares: the exit codes, the
// table entry a subcommand provides, reading its arguments with CLI11 and
// writing its output.
//
// A subcommand includes <CLI/CLI.hpp>, declares its options on a CLI::App and
// lets read_arguments do the rest (help, usage errors, negative values):
//
//     int run_example(Args args, std::ostream& out, std::ostream& err) {
//         CLI::App app;
//         std::string text;
//         int count = 1;
//         app.add_option("TEXT", text)->required();            // positional
//         app.add_option("--count", count)->check(CLI::Range(1, 99));
//         if (const auto done = read_arguments(app, "example", kHelp, args, out, err))
//             return *done;                                    // --help (0) or a usage error (2)
//         ... check the values: bad input is return bad_input(err, kTool, message) ...
//         out << result << '\n';
//         return kSuccess;
//     }
//
// A file tool's subcommand is named run_<id> after its row in the tool list
// (tools/file_tools.h), which puts it into the table; any other subcommand
// gets a row in the table in tool.cpp. scripts/windows-check.sh runs every
// subcommand's --help on both platforms; a file tool also adds its line to
// `path_commands` there (it opens its files through io::path_from_utf8). Options take their values as "--count 5" or
// "--count=5"; a value may start with "-" (--min -10:30), and so may a
// positional value (-0.5e3).
#pragma once

#include "tools/file_tools.h"
#include "tools/runner.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
}

namespace mq::cli {

enum Exit : int {
    kSuccess = 0,    // the operation ran and printed its result
    kBadInput = 1,   // the input cannot be worked on; one line on stderr says why
    kUsage = 2,      // the command line itself is wrong
};

using Args = std::span<const std::string_view>;

// One subcommand: `mapquill-tools <name> ...`. `run` gets the arguments after
// the name, writes its result to `out` and its messages to `err`.
struct Subcommand {
    std::string_view name;
    std::string_view summary;   // one line for the tool's overview
    int (*run)(Args args, std::ostream& out, std::ostream& err);
};

// All subcommands, in the order the overview lists them.
std::span<const Subcommand> subcommands();

// Parses `args` into the options declared on `app`. Returns nothing when the
// subcommand should go on; otherwise the exit code to return at once:
// kSuccess after writing `help` to `out` for --help or -h, kUsage after a
// one-line message on `err` for a usage error (unknown option, missing value,
// value CLI11 cannot convert or check, missing or surplus positional value).
// An argument that starts with "-" followed by a digit, "." or "," is a value
// (a negative number or colon text such as -10:30.5), never an option; after
// "--" every argument is a value.
std::optional<int> read_arguments(CLI::App& app, std::string_view tool, std::string_view help, Args args,
                                  std::ostream& out, std::ostream& err);

// Writes "mapquill-tools <tool>: <message>" as one line.
void complain(std::ostream& err, std::string_view tool, std::string_view message);

// complain(); returns kBadInput.
int bad_input(std::ostream& err, std::string_view tool, std::string_view message);

// complain() with a pointer to the tool's help; returns kUsage.
int usage_error(std::ostream& err, std::string_view tool, std::string_view message);

// mapquill-tools itself: picks the subcommand named by the first argument
// (or prints the overview for --help) and runs it.
int run_tools(Args args, std::ostream& out, std::ostream& err);

// The manual page of mapquill-tools (roff): the tools of the overview, each
// with its --help, so that it lists the same tools as --help. The build
// writes it with the hidden `mapquill-tools --man`.
void write_man_page(std::ostream& out);

// The command line as UTF-8 texts, without the program name. On Windows the
// arguments are read from the wide command line, so names outside the ANSI
// code page (Zürich, Αθήνα) arrive intact; elsewhere argv is taken as it is.
std::vector<std::string> command_line_arguments(int argc, char** argv);

// Readies stdout for our bytes: on Windows it is switched to binary mode, so
// a "\r\n" we write stays "\r\n" instead of becoming "\r\r\n".
void prepare_output();

// Flushes `out` and returns `code`, or kBadInput with a message on `err` when
// the output could not be written (a full disk, a closed pipe).
int finish_output(std::ostream& out, std::ostream& err, int code);

// Ctrl+C or any other signal that ends the program (a closed terminal, a
// broken pipe, kill) ends it as before, but first removes the new file of
// an output not yet complete: the file that was there before stays, and no
// half-written hidden file is left beside it (not yet on Windows, see
// io::remove_unfinished_outputs). Signals the caller ignores stay ignored.
void remove_outputs_on_interrupt();

// While one lives, Ctrl+C asks the file tool's run to stop, as the Stop
// button of its window does, so that what it wrote is kept (beside an
// existing output, see io::OutputFile::keep_partial); a second Ctrl+C ends
// the program at once. The subcommand reports the stop with stopped(), and
// the program then ends by the interrupt (end_by_interrupt), so that a
// calling script stops too.
class InterruptStop {
public:
    InterruptStop();
    ~InterruptStop();
    InterruptStop(const InterruptStop&) = delete;
    InterruptStop& operator=(const InterruptStop&) = delete;
    tools::StopFn stop_fn() const;
};
bool interrupted();
void end_by_interrupt();

// Says how a stopped run left its output ("Stopped after N records." or
// the note `kept`) as complain() does; returns kBadInput.
int stopped(std::ostream& err, std::string_view tool, std::int64_t records, const std::string& kept);

// True when stderr is a terminal: progress is shown there only then.
bool stderr_is_terminal();

// The subcommands: those of the file tools, then the others.
#define MQ_CLI_DECLARE(id, ...) int run_##id(Args args, std::ostream& out, std::ostream& err);
MQ_FILE_TOOLS(MQ_CLI_DECLARE)
#undef MQ_CLI_DECLARE
int run_latlon(Args args, std::ostream& out, std::ostream& err);
int run_gridstep(Args args, std::ostream& out, std::ostream& err);
int run_utm(Args args, std::ostream& out, std::ostream& err);
int run_utm_inverse(Args args, std::ostream& out, std::ostream& err);
int run_gridsize(Args args, std::ostream& out, std::ostream& err);
int run_run_batch(Args args, std::ostream& out, std::ostream& err);
int run_gmt6_check(Args args, std::ostream& out, std::ostream& err);

}  // namespace mq::cli
