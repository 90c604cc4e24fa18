#include "cli/text_options.h"

#include "cli/tool.h"

#include <CLI/CLI.hpp>

namespace mq::cli {

TextOptions take_text_options(Args args, const std::map<std::string_view, int>& words)
{
    TextOptions taken;
    bool only_values = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        const auto it = only_values ? words.end() : words.find(a);
        if (a == "--") only_values = true;
        if (it == words.end()) {
            taken.rest.emplace_back(a);
            continue;
        }
        const auto n = static_cast<std::size_t>(it->second);
        if (i + n >= args.size()) {
            if (taken.error.empty())
                taken.error = std::string(a) + (n == 1 ? " needs a text" : " needs " + std::to_string(n) + " texts");
            break;
        }
        std::vector<std::string> value(args.begin() + static_cast<std::ptrdiff_t>(i + 1),
                                       args.begin() + static_cast<std::ptrdiff_t>(i + 1 + n));
        taken.values[std::string(a)].push_back(std::move(value));
        i += n;
    }
    return taken;
}

}  // namespace mq::cli
