#include "cli/tool.h"

#include "common/version.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <vector>

namespace mq::cli {

namespace {

// The subcommands that are not file tools; each lives in its own file and is
// declared in tool.h. The file tools come from their list.
constexpr std::array kOtherSubcommands = {
    Subcommand{"latlon", "convert a latitude or longitude between notations", run_latlon},
    Subcommand{"gridstep", "work out gridding steps for one axis of a region", run_gridstep},
    Subcommand{"utm", "convert a longitude and latitude into UTM", run_utm},
    Subcommand{"utm-inverse", "convert a UTM easting and northing into longitude and latitude", run_utm_inverse},
    Subcommand{"gridsize", "count the grid nodes a box spans at a spacing", run_gridsize},
    Subcommand{"run-batch", "run a batch file as cmd.exe would, stopping at a failing line", run_run_batch},
    Subcommand{"gmt6-check", "list (or mend) what GMT 6 refuses in a batch script", run_gmt6_check},
};

#define MQ_CLI_ROW(id, name, summary, ...) Subcommand{name, summary, run_##id},
constexpr std::array kFileToolSubcommands = {MQ_FILE_TOOLS(MQ_CLI_ROW)};
#undef MQ_CLI_ROW

// The order of the overview; a subcommand not named here follows the others.
constexpr std::array<std::string_view, 14> kOverviewOrder = {
    "latlon", "gridstep", "swiss", "replace", "utm", "utm-inverse", "utm-file",
    "footprint", "gridsize", "srtm", "bin2ascii", "track", "run-batch", "gmt6-check"};

std::vector<Subcommand> all_subcommands()
{
    std::vector<Subcommand> all(kOtherSubcommands.begin(), kOtherSubcommands.end());
    all.insert(all.end(), kFileToolSubcommands.begin(), kFileToolSubcommands.end());
    auto rank = [](const Subcommand& sub) {
        return std::find(kOverviewOrder.begin(), kOverviewOrder.end(), sub.name) - kOverviewOrder.begin();
    };
    std::stable_sort(all.begin(), all.end(), [&](const auto& a, const auto& b) { return rank(a) < rank(b); });
    return all;
}

// "-10", "-.5", "-,5", "-10:30" are values; "-x" and "--name" are options.
bool is_value(std::string_view arg) {
    if (arg.size() < 2 || arg.front() != '-') return true;
    const char c = arg[1];
    return (c >= '0' && c <= '9') || c == '.' || c == ',';
}

// "--name" (without "=value") of an option of `app` that takes a value.
bool takes_value(const CLI::App& app, std::string_view arg) {
    if (!arg.starts_with("--") || arg.find('=') != std::string_view::npos) return false;
    const CLI::Option* option = app.get_option_no_throw(std::string(arg));
    return option != nullptr && option->get_items_expected_min() > 0;   // flags take none
}

// How many positional values `app` takes at most.
std::size_t positional_slots(const CLI::App& app) {
    std::size_t slots = 0;
    for (const CLI::Option* option : app.get_options())
        if (option->get_positional() && !option->nonpositional())
            slots += static_cast<std::size_t>(std::max(option->get_items_expected_max(), 0));
    return slots;
}

// The arguments in the order CLI11 reads them safely: every option with its
// value joined by "=" (so a value may start with "-"), then "--" and the
// positional values in their order, all reversed as CLI11 wants them. The
// mistakes CLI11 would report in a muddled way (an unknown option, an option
// without its value, a surplus value) are caught here: `problem` names them.
struct Arranged {
    std::vector<std::string> reversed;
    std::string problem;
    bool help = false;   // --help or -h among the options
};

Arranged arranged_for_cli11(const CLI::App& app, Args args) {
    Arranged arranged;
    std::vector<std::string> values;
    bool only_values = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (only_values || is_value(arg)) {
            values.emplace_back(arg);
        } else if (arg == "--") {
            only_values = true;
        } else if (arg == "--help" || arg == "-h") {
            arranged.help = true;
        } else if (takes_value(app, arg)) {
            if (i + 1 < args.size() && args[i + 1].empty()) {
                // "--name=" would make CLI11 take the next option as the value.
                arranged.reversed.emplace_back(arg);
                arranged.reversed.emplace_back(args[++i]);
            } else if (i + 1 < args.size())
                arranged.reversed.push_back(std::string(arg) + "=" + std::string(args[++i]));
            else if (arranged.problem.empty())
                arranged.problem = "option '" + std::string(arg) + "' needs a value";
        } else if (const std::string name(arg.substr(0, arg.find('=')));
                   app.get_option_no_throw(name) == nullptr) {
            if (arranged.problem.empty()) arranged.problem = "unknown option '" + name + "'";
        } else {
            arranged.reversed.emplace_back(arg);
        }
    }
    if (arranged.problem.empty() && values.size() > positional_slots(app))
        arranged.problem = "unexpected argument '" + values[positional_slots(app)] + "'";
    if (!values.empty()) {
        arranged.reversed.emplace_back("--");
        arranged.reversed.insert(arranged.reversed.end(), values.begin(), values.end());
    }
    std::reverse(arranged.reversed.begin(), arranged.reversed.end());
    return arranged;
}

void overview(std::ostream& out) {
    out << "usage: mapquill-tools <tool> [arguments]\n"
           "       mapquill-tools <tool> --help\n"
           "       mapquill-tools --version\n"
           "\n"
           "Tools:\n";
    for (const auto& sub : subcommands()) {
        std::string name(sub.name);
        name.resize(std::max<std::size_t>(name.size() + 2, 12), ' ');
        out << "  " << name << sub.summary << '\n';
    }
    out << "\nExit status: 0 on success, 1 when the input cannot be worked on, 2 on a usage error.\n";
}

}  // namespace

std::span<const Subcommand> subcommands()
{
    static const std::vector<Subcommand> all = all_subcommands();
    return all;
}

std::optional<int> read_arguments(CLI::App& app, std::string_view tool, std::string_view help, Args args,
                                  std::ostream& out, std::ostream& err) {
    Arranged arranged = arranged_for_cli11(app, args);
    if (arranged.help) {   // help wins over any mistake in the rest
        out << help;
        return kSuccess;
    }
    if (!arranged.problem.empty()) return usage_error(err, tool, arranged.problem);
    try {
        app.parse(std::move(arranged.reversed));
    } catch (const CLI::ParseError& e) {
        return usage_error(err, tool, e.what());
    }
    return std::nullopt;
}

void complain(std::ostream& err, std::string_view tool, std::string_view message) {
    err << "mapquill-tools";
    if (!tool.empty()) err << ' ' << tool;
    err << ": " << message << '\n';
}

int bad_input(std::ostream& err, std::string_view tool, std::string_view message)
{
    complain(err, tool, message);
    return kBadInput;
}

int usage_error(std::ostream& err, std::string_view tool, std::string_view message) {
    complain(err, tool, std::string(message) + " (mapquill-tools " + std::string(tool) + " --help)");
    return kUsage;
}

int run_tools(Args args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        overview(err);
        return kUsage;
    }
    std::string_view tool = args.front();
    Args rest = args.subspan(1);
    if (tool == "--help" || tool == "-h" || (tool == "help" && rest.empty())) {
        overview(out);
        return kSuccess;
    }
    if (tool == "--version" && rest.empty()) {
        out << "mapquill-tools " MAPQUILL_VERSION "\n";
        return kSuccess;
    }
    if (tool == "--man" && rest.empty()) {   // for the build, which installs the page
        write_man_page(out);
        return kSuccess;
    }
    static constexpr std::array<std::string_view, 1> kHelp = {"--help"};
    if (tool == "help") {
        tool = rest.front();
        rest = kHelp;
    }
    for (const auto& sub : subcommands())
        if (sub.name == tool) return sub.run(rest, out, err);
    complain(err, "", "unknown tool '" + std::string(tool) + "' (mapquill-tools --help lists the tools)");
    return kUsage;
}

}  // namespace mq::cli
