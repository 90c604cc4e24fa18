// mapquill-tools latlon TEXT [--conversion N]
#include "calc/notation.h"
#include "cli/tool.h"

#include <array>
#include <charconv>

namespace mq::cli {

namespace {

constexpr std::string_view kTool = "latlon";

void usage(std::ostream& out) {
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
}

}  // namespace

int run_latlon(Args args, std::ostream& out, std::ostream& err) {
    static constexpr std::array<std::string_view, 1> kOptions = {"--conversion"};
    const ParsedArgs parsed = parse_args(args, kOptions);
    if (parsed.help) {
        usage(out);
        return kSuccess;
    }
    std::string problem = parsed.error;
    if (problem.empty() && parsed.values.size() != 1)
        problem = parsed.values.empty() ? "TEXT is missing" : "only one TEXT is taken";
    int conversion = -1;
    if (problem.empty()) {
        if (const auto it = parsed.options.find("--conversion"); it != parsed.options.end()) {
            const std::string& n = it->second;
            const auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), conversion);
            if (ec != std::errc() || end != n.data() + n.size() || conversion < 0 ||
                conversion >= calc::kConversionCount)
                problem = "--conversion takes a number from 0 to 5, not '" + n + "'";
        }
    }
    if (!problem.empty()) {
        complain(err, kTool, problem + " (mapquill-tools latlon --help)");
        return kUsage;
    }

    const std::string& text = parsed.values.front();
    if (conversion < 0) {
        const auto detection = calc::detect_notation(calc::prepare_notation(text).body);
        conversion = detection.selected.value_or(0);
    }
    const auto converted = calc::convert_notation(text, conversion);
    if (!converted.result) {
        complain(err, kTool,
                 "no result for '" + text + "' with conversion " + std::to_string(conversion) + " (" +
                     std::string(calc::kConversionCaptions[static_cast<std::size_t>(conversion)]) +
                     "): " + std::string(calc::describe(converted.problem)));
        return kBadInput;
    }
    out << *converted.result << '\n';
    return kSuccess;
}

}  // namespace mq::cli
