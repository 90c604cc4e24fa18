// What changed between GMT 4 and GMT 6 in the command lines that classic
// batch files hold. One table, read by the batch runner (which applies the
// rows GMT 6 refuses, so that such files run) and by the GMT 6 check of a
// script (which reports every row it meets).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mq::tools {

enum class GmtChangeKind {
    option,   // an option letter of the modules: old "-H", new "-h"
    setting,  // a parameter name of gmtset: old "ANOT_FONT_SIZE", new "FONT_ANNOT_PRIMARY"
    module,   // a module name: old "minmax", new "gmtinfo"
};

struct GmtChange {
    GmtChangeKind kind;
    std::string_view old_form;
    std::string_view new_form;
    // The runner rewrites the old form: GMT 6 (at its default compatibility)
    // refuses it. Rows GMT 6 still takes are left as written and only reported.
    bool run_rewritten;
};

const std::vector<GmtChange>& gmt4_changes();

// The module names GMT takes, without the "gmt" prefix and in lower case:
// those of GMT 6's classic mode and the older names it still knows.
bool is_gmt_module(std::string_view name);

struct GmtRewrite {
    std::string old_text;  // "-H0"
    std::string new_text;  // "-h0"
};

// The arguments of `module` (after the module name) with the rows that the
// runner applies; each argument that changed is added to `rewrites`.
std::vector<std::string> gmt6_arguments(std::string_view module, const std::vector<std::string>& arguments,
                                        std::vector<GmtRewrite>* rewrites = nullptr);

}  // namespace mq::tools
