#include "cli/cli_app.h"

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace mq::cli {

namespace {

// "-10", "-10:30", "-.5", "-0,5": a value, not an option.
bool looks_negative(std::string_view a)
{
    return a.size() >= 2 && a[0] == '-' && ((a[1] >= '0' && a[1] <= '9') || a[1] == '.' || a[1] == ',');
}

}  // namespace

std::optional<int> parse_cli(CLI::App& app, std::string_view tool, Args args, std::ostream& out,
                             std::ostream& err)
{
    // CLI11 would read "-.5" as a short option: join such values to their
    // option ("--lat-min=-.5"), and put a "--" before positional ones.
    std::vector<std::string> words{std::string("mapquill-tools ") + std::string(tool)};
    std::vector<std::string> positional_negatives;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a.rfind("--", 0) == 0 && a.size() > 2 && a.find('=') == std::string_view::npos &&
            i + 1 < args.size() && looks_negative(args[i + 1])) {
            const CLI::Option* option = app.get_option_no_throw(std::string(a));
            if (option && option->get_expected_min() > 0) {
                words.push_back(std::string(a) + "=" + std::string(args[i + 1]));
                ++i;
                continue;
            }
        }
        words.emplace_back(a);
    }
    std::vector<const char*> argv;
    for (const auto& w : words) argv.push_back(w.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kSuccess;
    } catch (const CLI::ParseError& e) {
        complain(err, tool,
                 std::string(e.what()) + " (mapquill-tools " + std::string(tool) + " --help)");
        return kUsage;
    }
    return std::nullopt;
}

int finish_output(std::ostream& out, std::ostream& err, std::string_view tool)
{
    out.flush();
    if (!out) {
        complain(err, tool, "cannot write the output (disk full or output closed)");
        return kBadInput;
    }
    return kSuccess;
}

bool stderr_is_terminal()
{
#ifdef _WIN32
    return ::_isatty(::_fileno(stderr)) != 0;
#else
    return ::isatty(::fileno(stderr)) != 0;
#endif
}

}  // namespace mq::cli
