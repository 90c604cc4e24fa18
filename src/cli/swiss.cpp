// mapquill-tools swiss IN OUT [--delimiter ,|TAB|Space|TEXT] [--order xy|yx] [--to-swiss]
#include "cli/cli_progress.h"
#include "cli/tool.h"

#include <CLI/CLI.hpp>
#include "cli/text_options.h"
#include "tools/swiss_file.h"

namespace mq::cli {

namespace {

constexpr std::string_view kTool = "swiss";

constexpr const char* kDescription =
    "Converts a text file of Swiss grid coordinates (CH1903, metres; X north,\n"
    "Y east) with a third value into WGS 84 longitude TAB latitude TAB third\n"
    "value (decimal degrees rounded to 8 decimals), lines ended by CR LF.\n"
    "With --to-swiss the input is longitude and latitude and the output is\n"
    "Y (east) TAB X (north) TAB third value, in metres with 2 decimals.\n"
    "Fields after the third are dropped; empty lines are skipped. A line that\n"
    "cannot be converted stops the run; the lines before it stay written (in\n"
    "OUT with \".partial\" before its extension when OUT existed, which then\n"
    "stays as it was). Grid points farther than 1000 km from the origin\n"
    "(X 200000, Y 600000) and latitudes beyond the poles cannot be converted.\n"
    "Exit status: 0 when done; 1 on a bad file or line (one line on stderr);\n"
    "2 on a usage error.";

}  // namespace

int run_swiss(Args args, std::ostream& out, std::ostream& err)
{
    CLI::App app{kDescription, "mapquill-tools swiss"};
    std::string input;
    std::string output;
    std::string delimiter = ",";
    std::string order = "xy";
    bool to_swiss = false;
    app.add_option("IN", input, "input file")->required();
    app.add_option("OUT", output, "output file (replaced when it exists)")->required();
    app.add_option("--delimiter", delimiter,
                   "field delimiter: \",\" (default), TAB, Space (one blank) or any other text");
    app.add_option("--order", order, "column order: xy (X then Y, or longitude then latitude; default) or yx")
        ->check(CLI::IsMember({"xy", "yx"}));
    app.add_flag("--to-swiss", to_swiss, "longitude, latitude to Swiss grid");

    // The delimiter is any text, also "-" or a blank.
    TextOptions texts = take_text_options(args, {{"--delimiter", 1}});
    if (!texts.error.empty()) return usage_error(err, kTool, texts.error);
    const auto given = texts.values.find("--delimiter");
    if (given != texts.values.end() && given->second.size() > 1)
        return usage_error(err, kTool, "--delimiter is given twice");
    std::vector<std::string_view> rest(texts.rest.begin(), texts.rest.end());
    if (const auto code = read_arguments(app, kTool, app.help(), rest, out, err)) return *code;
    if (given != texts.values.end()) delimiter = given->second.front().front();

    tools::SwissFileOptions options{tools::swiss_delimiter(delimiter), order == "yx", to_swiss};
    const InterruptStop interrupt;
    const auto result = [&] {
        TerminalProgress progress(err, stderr_is_terminal(), "Row #: ");
        return tools::convert_swiss_file(input, output, options, progress.callback(), interrupt.stop_fn());
    }();
    if (!result) return bad_input(err, kTool, result.error().text());
    if (result->stopped) return stopped(err, kTool, result->records, result->kept);
    return kSuccess;
}

}  // namespace mq::cli
