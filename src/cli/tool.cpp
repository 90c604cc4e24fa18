#include "cli/tool.h"

#include <algorithm>
#include <array>

namespace mq::cli {

namespace {

// Add a subcommand here and in tool.h; each lives in its own file.
constexpr std::array kSubcommands = {
    Subcommand{"latlon", "convert a latitude or longitude between notations", run_latlon},
    Subcommand{"gridstep", "work out gridding steps for one axis of a region", run_gridstep},
    Subcommand{"srtm", "convert an SRTM .hgt tile into xyz records (and grid them with GMT)", run_srtm},
    Subcommand{"bin2ascii", "write a binary xyz file (three doubles per record) as text", run_bin2ascii},
    Subcommand{"track", "write evenly spaced positions along a straight track", run_track},
    Subcommand{"run-batch", "run a gridding batch file where there is no cmd.exe", run_run_batch},
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
