// Options whose values are free texts (a delimiter, a search text) may start
// with "-" or be empty, which an option parser would take for another option
// or a missing value. These helpers take such values verbatim before the
// rest of the command line goes to read_arguments.
#pragma once

#include "cli/tool.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace mq::cli {

struct TextOptions {
    // Values of the options, in the order given: one word for each one-word
    // option, two for each two-word option.
    std::map<std::string, std::vector<std::vector<std::string>>> values;
    std::vector<std::string> rest;   // everything else, in order, for read_arguments
    std::string error;               // a usage error; empty when none
};

// `words` maps an option name ("--replace") to the number of words it takes.
// Stops looking after "--".
TextOptions take_text_options(Args args, const std::map<std::string_view, int>& words);

}  // namespace mq::cli
