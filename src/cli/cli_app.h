// Argument reading for the subcommands, on CLI11. A subcommand declares its
// options on a CLI::App and hands it to parse_cli:
//
//   int run_example(Args args, std::ostream& out, std::ostream& err) {
//       CLI::App app{"Converts ...", "mapquill-tools example"};
//       std::string in;
//       double spacing = 1;
//       app.add_option("IN", in, "input file")->required();
//       app.add_option("--spacing", spacing, "point spacing in metres");
//       if (const auto code = parse_cli(app, "example", args, out, err)) return *code;
//       ... work; on bad input: complain(err, "example", problem); return kBadInput;
//       return finish_output(out, err, "example");
//   }
//
// Negative numbers and colon texts ("-10", "-10:30", "-.5") are taken as
// values, not as options.
#pragma once

#include "cli/tool.h"

#include <CLI/CLI.hpp>
#include <optional>
#include <ostream>
#include <string_view>

namespace mq::cli {

// Parses the arguments into `app`. Returns nothing when the subcommand
// should go on, or the exit code to return: kSuccess after printing the help
// (--help) on `out`, kUsage after a one-line complaint on `err`.
std::optional<int> parse_cli(CLI::App& app, std::string_view tool, Args args, std::ostream& out,
                             std::ostream& err);

// Flushes `out` and checks that everything reached it: kSuccess, or
// kBadInput with a complaint when writing failed (a full disk, a closed pipe).
int finish_output(std::ostream& out, std::ostream& err, std::string_view tool);

// True when stderr is a terminal, so progress may be shown there.
bool stderr_is_terminal();

}  // namespace mq::cli
