// mapquill-tools track OUT --x1 A --x2 B --y1 C --y2 D [--samples 100]
#include "cli/cli_progress.h"
#include "cli/tool.h"

#include <CLI/CLI.hpp>
#include "tools/track_positions.h"

namespace mq::cli {

int run_track(Args args, std::ostream& out, std::ostream& err)
{
    constexpr std::string_view kTool = "track";
    CLI::App app{"Writes N + 1 evenly spaced positions on the straight line from (x1, y1) to\n"
                 "(x2, y2): x TAB y CR LF per line, rounded to 10 decimals. Coordinates are\n"
                 "decimal or degrees:minutes[:seconds]; a leading \"-\" makes the whole value\n"
                 "negative (-10:30 is -10.5); \",\" reads as \".\".",
                 "mapquill-tools track"};
    std::string output, x1, x2, y1, y2, samples = "100";
    app.add_option("OUT", output, "the text file to write")->required();
    app.add_option("--x1", x1, "x of the start point")->required();
    app.add_option("--x2", x2, "x of the end point")->required();
    app.add_option("--y1", y1, "y of the start point")->required();
    app.add_option("--y2", y2, "y of the end point")->required();
    app.add_option("--samples", samples, "number of steps N, a whole number (default 100)");
    app.footer(
        "Exit status: 0 when done; 1 when a value is not a number or N is not a whole\n"
        "number of 1 or more; 2 on a usage error.");
    if (const auto code = read_arguments(app, kTool, app.help(), args, out, err)) return *code;

    const InterruptStop interrupt;
    const auto result = [&] {
        TerminalProgress progress(err, stderr_is_terminal(), "Line #: ");
        return tools::calc_track_positions({x1, x2, y1, y2, samples, output, true}, progress.callback(),
                                           interrupt.stop_fn());
    }();
    if (!result) return bad_input(err, kTool, result.error().text());
    if (result->stopped) return stopped(err, kTool, result->records, result->kept);
    out << result->records << " positions written to " << output << '\n';  // always 2 or more
    return kSuccess;
}

}  // namespace mq::cli
