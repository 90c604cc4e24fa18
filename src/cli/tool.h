// The pieces every subcommand of mapquill-tools shares: the exit codes, the
// table entry a subcommand provides and a small argument reader.
#pragma once

#include <map>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mq::cli {

enum Exit : int {
    kSuccess = 0,    // the operation ran and printed its result
    kBadInput = 1,   // the input cannot be worked on; one line on stderr says why
    kUsage = 2,      // the command line itself is wrong
};

using Args = std::span<const std::string_view>;

// One subcommand: `mapquill-tools <name> ...`. `run` gets the arguments after
// the name; `--help` is handled by the subcommand itself.
struct Subcommand {
    std::string_view name;
    std::string_view summary;   // one line for the tool's overview
    int (*run)(Args args, std::ostream& out, std::ostream& err);
};

// All subcommands, in the order the overview lists them.
std::span<const Subcommand> subcommands();

// The arguments of one subcommand, split into values and options.
struct ParsedArgs {
    std::vector<std::string> values;               // positional arguments, in order
    std::map<std::string, std::string> options;    // "--name" -> its value
    bool help = false;                             // --help or -h was given
    std::string error;                             // a usage error; empty when none
};

// Reads "--name value" and "--name=value" for the names in `value_options`,
// "--help"/"-h", and positional values. An argument that starts with "-"
// followed by a digit, "." or "," is a value (a negative number such as
// -10:30.5), not an option; after "--" every argument is a value. An unknown
// option, a missing option value or an option given twice is a usage error.
ParsedArgs parse_args(Args args, std::span<const std::string_view> value_options);

// Writes "mapquill-tools <tool>: <message>" as one line.
void complain(std::ostream& err, std::string_view tool, std::string_view message);

// The subcommands.
int run_latlon(Args args, std::ostream& out, std::ostream& err);
int run_gridstep(Args args, std::ostream& out, std::ostream& err);
int run_srtm(Args args, std::ostream& out, std::ostream& err);
int run_bin2ascii(Args args, std::ostream& out, std::ostream& err);
int run_track(Args args, std::ostream& out, std::ostream& err);
int run_run_batch(Args args, std::ostream& out, std::ostream& err);

}  // namespace mq::cli
