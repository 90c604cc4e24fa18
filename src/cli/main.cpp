// mapquill-tools: the data operations of Mapquill from the command line.
//   mapquill-tools <tool> [arguments]     mapquill-tools <tool> --help
#include "cli/tool.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

void overview(std::ostream& out) {
    out << "usage: mapquill-tools <tool> [arguments]\n"
           "       mapquill-tools <tool> --help\n"
           "\n"
           "Tools:\n";
    for (const auto& sub : mq::cli::subcommands()) {
        std::string name(sub.name);
        name.resize(std::max<std::size_t>(name.size() + 2, 12), ' ');
        out << "  " << name << sub.summary << '\n';
    }
    out << "\nExit status: 0 on success, 1 when the input cannot be worked on, 2 on a usage error.\n";
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (args.empty()) {
        overview(std::cerr);
        return mq::cli::kUsage;
    }
    std::string_view tool = args.front();
    std::vector<std::string_view> rest(args.begin() + 1, args.end());
    if (tool == "--help" || tool == "-h") {
        overview(std::cout);
        return mq::cli::kSuccess;
    }
    if (tool == "help") {
        if (rest.empty()) {
            overview(std::cout);
            return mq::cli::kSuccess;
        }
        tool = rest.front();
        rest = {"--help"};
    }
    for (const auto& sub : mq::cli::subcommands())
        if (sub.name == tool) return sub.run(rest, std::cout, std::cerr);
    mq::cli::complain(std::cerr, "", "unknown tool '" + std::string(tool) +
                                         "' (mapquill-tools --help lists the tools)");
    return mq::cli::kUsage;
}
