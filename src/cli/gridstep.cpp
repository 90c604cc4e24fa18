// mapquill-tools gridstep --min A --max B (--amount N | --size S)
#include "calc/grid_steps.h"
#include "cli/tool.h"

#include <CLI/CLI.hpp>

namespace mq::cli {

namespace {

constexpr std::string_view kTool = "gridstep";

constexpr std::string_view kHelp =
    "usage: mapquill-tools gridstep --min A --max B (--amount N | --size S)\n"
    "\n"
    "Works out gridding steps for one axis of a map region and prints the range,\n"
    "the amount of steps and the step size, each in three notations:\n"
    "dd:mm:ss.ss / dd:mm.mmm / dd.dddddddd. Seconds are not carried into the\n"
    "minutes, so a step may show 60.00 seconds.\n"
    "\n"
    "  --min A      minimum of the range: decimal degrees or degrees:minutes[:seconds];\n"
    "               a leading \"-\" makes the whole value negative (--min -10:30)\n"
    "  --max B      maximum of the range, written the same way\n"
    "  --amount N   divide the range into N steps (a whole number up to 32767)\n"
    "  --size S     the wanted step size; the amount is rounded to a whole number\n"
    "               and the size that divides the range exactly is printed\n"
    "  --help       show this help\n"
    "\n"
    "Exit status: 0 with the three lines on stdout; 1 when a value cannot be\n"
    "worked out; 2 on a usage error.\n";

// The amount as the help describes it: digits only, 1 to 32767. The window's
// operation would round 4.5 to 4 and take -4; here what is printed is what
// is computed with.
bool is_whole_amount(std::string_view text) {
    if (text.empty() || text.size() > 5) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 32767;
}

}  // namespace

int run_gridstep(Args args, std::ostream& out, std::ostream& err) {
    CLI::App app;
    calc::GridStepInput input;
    app.add_option("--min", input.min)->required();
    app.add_option("--max", input.max)->required();
    CLI::Option* amount = app.add_option("--amount", input.amount);
    CLI::Option* size = app.add_option("--size", input.size);
    if (const auto done = read_arguments(app, kTool, kHelp, args, out, err)) return *done;
    if ((amount->count() == 0) == (size->count() == 0))
        return usage_error(err, kTool, "give either --amount or --size");

    if (amount->count() != 0 && !is_whole_amount(input.amount)) {
        return bad_input(
            err, kTool,
            "the amount of steps must be a whole number from 1 to 32767, not '" + input.amount + "'");
    }
    input.mode = amount->count() != 0 ? calc::GridMode::Amount : calc::GridMode::Size;
    const auto r = calc::calculate_grid_steps(input);
    if (!r.calculated || !r.range || !r.amount || !r.size)
        return bad_input(err, kTool,
                         r.status ? "a result could not be worked out" : r.status.error().message);
    out << "Delta Max - Min: " << *r.range << '\n'
        << "Amount of steps: " << *r.amount << '\n'
        << "Size of steps: " << *r.size << '\n';
    return kSuccess;
}

}  // namespace mq::cli
