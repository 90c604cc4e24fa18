// What GMT tells about its modules, read from its own output: the module
// names with their purposes ("gmt --help" and "gmt --show-classic"), one
// module's usage (what "gmt MODULE" prints without arguments: its purpose,
// synopsis and options), and where in a script line a module name or an
// option is being written.
#pragma once

#include "common/result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mq::app {

struct GmtModule {
    std::string name;
    std::string purpose;
    bool operator==(const GmtModule&) const = default;
};

// The modules of "gmt --help" (core and supplements, with their purposes) and
// the classic names of "gmt --show-classic". A classic name that the first
// list lacks (psxy, pscoast) takes the purpose of its modern counterpart
// (plot, coast). Sorted by name, each name once; lines that are neither are
// passed over.
std::vector<GmtModule> parse_gmt_modules(std::string_view help, std::string_view classic);

// The modern name a classic plotting name may stand for: "plot" for "psxy",
// "coast" for "pscoast"; other names as they are. Whether GMT knows the
// result is for the module list to say ("psconvert" gives "convert").
std::string gmt_modern_name(std::string_view name);

struct GmtOption {
    std::string flag;    // "-R", "-J", "-:"
    std::string syntax;  // "-R<west>/<east>/<south>/<north>[+r]"
    std::string text;    // the first sentence of its description
    bool operator==(const GmtOption&) const = default;
};

struct GmtUsage {
    std::string module;              // as the usage names it: "grdimage"
    std::string purpose;             // "Project and plot grids or images"
    std::string synopsis;            // the usage line without "usage: ", on one line
    std::vector<GmtOption> options;  // in the order listed, each flag once
};

// Reads what "gmt MODULE" prints without arguments. GMT's wrapped lines
// (ending in "⏎", continued after "…") are joined first. An Error when the
// text has no header with a purpose or no usage line, as when GMT answers
// that there is no such module.
Result<GmtUsage> parse_gmt_usage(std::string_view text);

// A GMT module name standing where a command starts: at the line's start,
// after "|", "&", "&&", ";", "(", ")", "`", "@" or the words "do", "then" and
// "else", possibly behind the gmt program ("gmt", "gmt.exe", or a path to
// it, quoted or not).
struct ModuleWord {
    std::string name;
    std::size_t start = 0;  // byte offset in the line
    bool prefixed = false;  // written behind the gmt program
    bool operator==(const ModuleWord&) const = default;
};

// The module name under the caret (a byte offset; the caret may also stand
// just behind the name). With the caret on the gmt program itself, the name
// that follows it. None when the word there does not start a command.
std::optional<ModuleWord> module_at(std::string_view line, std::size_t caret);

enum class CompletionKind { none, module, option };

struct CompletionContext {
    CompletionKind kind = CompletionKind::none;
    std::size_t start = 0;  // where the word being written begins
    std::string prefix;     // the word so far: "grd", "-"
    std::string module;     // for options: the command's module
    bool operator==(const CompletionContext&) const = default;
};

// What is being written at the end of `before_caret` (the line up to the
// caret): the start of a module name where a command starts, or an option
// ("-" and what follows) after a command's module.
CompletionContext completion_context(std::string_view before_caret);

}  // namespace mq::app
