// mapquill-tools gridstep --min A --max B (--amount N | --size S)
#include "calc/grid_steps.h"
#include "cli/tool.h"

#include <array>

namespace mq::cli {

namespace {

constexpr std::string_view kTool = "gridstep";

void usage(std::ostream& out) {
    out << "usage: mapquill-tools gridstep --min A --max B (--amount N | --size S)\n"
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
}

}  // namespace

int run_gridstep(Args args, std::ostream& out, std::ostream& err) {
    static constexpr std::array<std::string_view, 4> kOptions = {"--min", "--max", "--amount", "--size"};
    const ParsedArgs parsed = parse_args(args, kOptions);
    if (parsed.help) {
        usage(out);
        return kSuccess;
    }
    const auto& o = parsed.options;
    std::string problem = parsed.error;
    if (problem.empty() && !parsed.values.empty())
        problem = "unexpected argument '" + parsed.values.front() + "'";
    if (problem.empty() && (!o.contains("--min") || !o.contains("--max")))
        problem = "--min and --max are both needed";
    if (problem.empty() && o.contains("--amount") == o.contains("--size"))
        problem = "give either --amount or --size";
    if (!problem.empty()) {
        complain(err, kTool, problem + " (mapquill-tools gridstep --help)");
        return kUsage;
    }

    calc::GridStepInput input;
    input.min = o.at("--min");
    input.max = o.at("--max");
    if (const auto it = o.find("--amount"); it != o.end()) {
        input.amount = it->second;
        input.mode = calc::GridMode::Amount;
    } else {
        input.size = o.at("--size");
        input.mode = calc::GridMode::Size;
    }
    const auto r = calc::calculate_grid_steps(input);
    if (!r.calculated || !r.range || !r.amount || !r.size) {
        complain(err, kTool, r.problem.empty() ? "a result could not be worked out" : r.problem);
        return kBadInput;
    }
    out << "Delta Max - Min: " << *r.range << '\n'
        << "Amount of steps: " << *r.amount << '\n'
        << "Size of steps: " << *r.size << '\n';
    return kSuccess;
}

}  // namespace mq::cli
