// mapquill-tools latlon TEXT [--conversion N]
#include "calc/notation.h"
#include "cli/tool.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <sstream>

namespace mq::cli {

namespace {

constexpr std::string_view kTool = "latlon";

std::string help_text() {
    std::ostringstream out;
    out << "usage: mapquill-tools latlon TEXT [--conversion N]\n"
           "\n"
           "Converts one latitude or longitude between notations and prints the result.\n"
           "TEXT is decimal degrees (45.5125), degrees:minutes (10:30.75) or\n"
           "degrees:minutes:seconds (10:30:45). A leading \"-\" makes the whole value\n"
           "negative (-10:30.5 is a value, not an option), \",\" reads as \".\" and an\n"
           "exponent is written out first (1.5e1 is 15).\n"
           "\n"
           "  --conversion N   the conversion, 0 to 5:\n";
    for (int i = 0; i < calc::kConversionCount; ++i)
        out << "                     " << i << "  " << calc::kConversionCaptions[static_cast<std::size_t>(i)]
            << '\n';
    out << "                   Without it, the conversion that suits the notation of TEXT\n"
           "                   is used: 2 for dd.ddd, 0 for dd:mm and dd:mm.mmm, 1 for\n"
           "                   dd:mm:ss; 0 when the notation does not decide (45).\n"
           "  --help           show this help\n"
           "\n"
           "Exit status: 0 with the result on stdout; 1 when the text gives no result;\n"
           "2 on a usage error.\n";
    return out.str();
}

// The conversion that suits the notation of `text`. "," reads as "." here
// too, so 10,5 is decimal degrees like 10.5.
int suited_conversion(std::string_view text) {
    std::string body = calc::prepare_notation(text).body;
    std::replace(body.begin(), body.end(), ',', '.');
    return calc::detect_notation(body).selected.value_or(0);
}

}  // namespace

int run_latlon(Args args, std::ostream& out, std::ostream& err) {
    CLI::App app;
    std::string text;
    int conversion = -1;
    app.add_option("TEXT", text)->required();
    CLI::Option* given = app.add_option("--conversion", conversion)
                             ->check(CLI::Range(0, calc::kConversionCount - 1));
    if (const auto done = read_arguments(app, kTool, help_text(), args, out, err)) return *done;

    if (given->count() == 0) conversion = suited_conversion(text);
    const auto converted = calc::convert_notation(text, conversion);
    if (!converted.result) {
        return bad_input(err, kTool,
                         "no result for '" + text + "' with conversion " + std::to_string(conversion) + " (" +
                             std::string(calc::kConversionCaptions[static_cast<std::size_t>(conversion)]) +
                             "): " + converted.result.error().message);
    }
    out << converted.result.value() << '\n';
    return kSuccess;
}

}  // namespace mq::cli
