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
    option,   // an option of the modules in `modules` (all when empty): old "-H", new "-h"
    setting,  // a default parameter's name in gmtset lines and --NAME=value: old "PAPER_MEDIA"
    module,   // a module name: old "minmax", new "gmtinfo"
    prefix,   // a module name without "gmt " before it: a note, mended by adding "gmt "
    records,  // the records a module reads in GMT 4's layout: old "pstext"
};

// When an option row applies, besides its letter.
enum class GmtWhen {
    always,
    bare,         // the option alone: "-F", "-M"
    arc_seconds,  // a value with GMT 4's arc-second unit c: "-I3c", "-I10c/10c", "-S20c"
    pen_slash,    // a pen with "/" before its colour: "-W0.5p/0/0/0", "-I1/0.8p/0/0/255"
    axes,         // GMT 4's frame: "-Ba1f1WSen", "-Ba1/a1", "-Ba1:label:", "-Ba1:.title:"
    bar,          // GMT 4's colour bar place: "-D19c/6.5c/10c/0.4c[h]"
    joins,        // a value that goes at the end of another option: new "-D+e" (-D's end, "+e" and the value)
    with_i,       // in a command that also has -I: sample1d's column "-T0"
    label_gap,    // GMT 3's contour label spacing: "-G5c", "-G5c/10"
    text_box,     // in a pstext command with GMT 4's text box: "-W255/255/255o", or -S without -G
};

struct GmtChange {
    GmtChangeKind kind;
    std::string_view old_form;
    // Empty: a setting GMT 6 no longer has (reported, not mended), or an
    // option GMT 6 needs no more (mended by removing it).
    std::string_view new_form;
    // The runner rewrites the old form: GMT 6 (at its default compatibility)
    // refuses it. Rows GMT 6 still takes are left as written and only reported.
    bool run_rewritten;
    std::string_view modules = {};  // option rows: the modules, blank-separated; empty: every module
    GmtWhen when = GmtWhen::always;
    // Where GMT 6 has no form to put in its place: what to do instead.
    std::string_view advice = {};
};

const std::vector<GmtChange>& gmt4_changes();

// The module names GMT takes, without the "gmt" prefix and in lower case:
// those of GMT 6's classic mode and the older names it still knows.
bool is_gmt_module(std::string_view name);

struct GmtRewrite {
    std::string old_text;  // "-H0"
    std::string new_text;  // "-h0"; empty: the argument is left out
};

// The arguments of `module` (after the module name) with the rows that the
// runner applies; each argument that changed is added to `rewrites`.
std::vector<std::string> gmt6_arguments(std::string_view module, const std::vector<std::string>& arguments,
                                        std::vector<GmtRewrite>* rewrites = nullptr);

// One place in a script that GMT 6 refuses at compatibility level 6.
struct GmtFinding {
    int line = 0;            // from 1
    int column = 0;          // from 1, in bytes
    std::size_t offset = 0;  // of the span in the text
    std::size_t length = 0;  // of the span (0: an insertion)
    std::string old_text;    // the span's text
    std::string new_text;    // what it becomes
    std::string message;     // what is obsolete and its GMT 6 form
    bool note = false;       // a note rather than an error
    bool mendable = true;    // false: GMT 6 has no form to put in its place, or none the line alone gives
    int group = 0;           // findings mended only together share a number above 0
    std::size_t rule = 0;    // its row in gmt4_changes()
};

// Every place in a batch script `text` that GMT 6 refuses (or, for a note,
// runs only where GMT's module links are installed), in the order of the
// text. REM, "::" and echo text are not commands; %NAME% is left alone; a
// line ending with "^" goes on in the next.
std::vector<GmtFinding> gmt6_check(std::string_view text);

// `text` with the mendable `findings` (of that text) rewritten and every
// other byte kept.
std::string gmt6_mend(std::string_view text, const std::vector<GmtFinding>& findings);

// The findings that gmt6_mend rewrites, in the order it rewrites them: from
// the end of the text, so that the offsets of those still to come stay true.
// Findings that do not match the text, or overlap one rewritten, are left out.
std::vector<const GmtFinding*> gmt6_mend_steps(std::string_view text,
                                               const std::vector<GmtFinding>& findings);

}  // namespace mq::tools
