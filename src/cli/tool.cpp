#include "cli/tool.h"

#include <algorithm>
#include <array>

namespace mq::cli {

namespace {

// Add a subcommand here and in tool.h; each lives in its own file.
constexpr std::array kSubcommands = {
    Subcommand{"latlon", "convert a latitude or longitude between notations", run_latlon},
    Subcommand{"gridstep", "work out gridding steps for one axis of a region", run_gridstep},
    Subcommand{"utm", "convert a longitude and latitude into UTM", run_utm},
    Subcommand{"utm-inverse", "convert a UTM easting and northing into longitude and latitude", run_utm_inverse},
    Subcommand{"utm-file", "convert a file of UTM easting, northing, depth lines", run_utm_file},
    Subcommand{"footprint", "write the points insonified by an echo-sounder beam", run_footprint},
    Subcommand{"gridsize", "count the grid nodes a box spans at a spacing", run_gridsize},
};

bool is_value(std::string_view arg) {
    if (arg.size() < 2 || arg.front() != '-') return true;
    const char c = arg[1];
    return (c >= '0' && c <= '9') || c == '.' || c == ',';
}

}  // namespace

std::span<const Subcommand> subcommands() { return kSubcommands; }

ParsedArgs parse_args(Args args, std::span<const std::string_view> value_options) {
    ParsedArgs parsed;
    auto fail = [&parsed](std::string message) {
        if (parsed.error.empty()) parsed.error = std::move(message);
    };
    bool only_values = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (only_values || is_value(arg)) {
            parsed.values.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            only_values = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        if (std::find(value_options.begin(), value_options.end(), name) == value_options.end()) {
            fail("unknown option '" + std::string(name) + "'");
            continue;
        }
        std::string value;
        if (equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];   // taken as it is, even when it starts with "-"
        } else {
            fail("option '" + std::string(name) + "' needs a value");
            continue;
        }
        if (!parsed.options.emplace(name, std::move(value)).second)
            fail("option '" + std::string(name) + "' is given twice");
    }
    return parsed;
}

void complain(std::ostream& err, std::string_view tool, std::string_view message) {
    err << "mapquill-tools";
    if (!tool.empty()) err << ' ' << tool;
    err << ": " << message << '\n';
}

}  // namespace mq::cli
