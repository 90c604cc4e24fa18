// The parts of script lines that get their own colour.
#include "app/core/syntax_rules.h"

#include <doctest/doctest.h>

#include <string>

using namespace mq::app;

namespace {

// The line with each coloured part marked as "[kind:text]" (ASCII lines only).
std::string marked(FileKind kind, const std::string& line)
{
    static const char* const names[] = {"comment", "keyword", "echo",  "var",    "label", "module",
                                        "option",  "redir",   "string", "number", "special"};
    const std::u16string text(line.begin(), line.end());
    std::string out;
    int at = 0;
    for (const Span& span : classifyLine(kind, text)) {
        if (span.start < at || span.length <= 0 || span.start + span.length > int(text.size())) return "<bad span>";
        out += line.substr(at, span.start - at) + '[' + names[int(span.kind)] + ':' +
               line.substr(span.start, span.length) + ']';
        at = span.start + span.length;
    }
    return out + line.substr(at);
}

}  // namespace

TEST_CASE("coloured parts of a line")
{
    const FileKind bat = FileKind::Batch, awk = FileKind::Awk, cpt = FileKind::ColorTable, txt = FileKind::Plain;
    struct Case {
        std::string name;
        FileKind kind;
        std::string line, expected;
    };
    const Case cases[] = {
        {"REM line", bat, "REM grdgradient -A45", "[comment:REM grdgradient -A45]"},
        {"indented rem, lower case", bat, "  rem x", "  [comment:rem x]"},
        {"REM inside a word is no comment", bat, "REMARK", "REMARK"},
        {":: comment", bat, ":: note %x%", "[comment::: note %x%]"},
        {"echo REM is echo text", bat, "echo REM -R", "[keyword:echo][echo: REM -R]"},
        {"echo with variable and redirection", bat, "echo grid %grd_file%>>log.txt",
         "[keyword:echo][echo: grid ][var:%grd_file%][redir:>>]log.txt"},
        {"@echo off", bat, "@echo off", "@[keyword:echo][echo: off]"},
        {"loop variable", bat, "for %%i in (*.grd) do grdinfo %%i",
         "[keyword:for] [var:%%i] [keyword:in] (*.grd) [keyword:do] [module:grdinfo] [var:%%i]"},
        {"set", bat, "set region=-R0/10/0/10", "[keyword:set] region=-R0/10/0/10"},
        {"module, options, variables", bat, "grdimage %grd_file%.grd -JM15c -B1 -K > %ps_file%.ps",
         "[module:grdimage] [var:%grd_file%].grd [option:-J]M15c [option:-B]1 [option:-K] [redir:>] [var:%ps_file%].ps"},
        {"option letters inside a quoted path", bat, "psxy \"C:\\my -Rdata\\%f%.txt\" -W1",
         "[module:psxy] [string:\"C:\\my -Rdata\\][var:%f%][string:.txt\"] [option:-W]1"},
        {"dash inside an unquoted path", bat, "psxy C:\\a-Rb.txt", "[module:psxy] C:\\a-Rb.txt"},
        {"label and goto", bat, ":end", "[label::end]"},
        {"goto target", bat, "if errorlevel 1 goto end",
         "[keyword:if] [keyword:errorlevel] 1 [keyword:goto] [label:end]"},
        {"pipe starts a command", bat, "minmax a.txt | awk \"{print $1}\"",
         "[module:minmax] a.txt [redir:|] awk [string:\"{print $1}\"]"},
        {"unclosed quote and lone percent", bat, "echo 50% \"open", "[keyword:echo][echo: 50% \"open]"},
        {"awk", awk, "BEGIN { x = \"a#b\" } # note",
         "[keyword:BEGIN] { x = [string:\"a#b\"] } [comment:# note]"},
        {"awk fields and numbers", awk, "NR % 10 == 0 {print $1, $NF}",
         "[keyword:NR] % [number:10] == [number:0] {[keyword:print] [var:$1], [var:$NF]}"},
        {"cpt comment", cpt, "# COLOR_MODEL = RGB", "[comment:# COLOR_MODEL = RGB]"},
        {"cpt slice", cpt, "-100\t0/0/255\t1.5e2 255/0/0",
         "[number:-100]\t[number:0]/[number:0]/[number:255]\t[number:1.5e2] [number:255]/[number:0]/[number:0]"},
        {"cpt B line", cpt, "B 0 0 0", "[special:B] [number:0] [number:0] [number:0]"},
        {"cpt colour name", cpt, "N gray", "[special:N] gray"},
        {"text files stay plain", txt, "REM -R %x%", "REM -R %x%"},
        {"percent signs outside echo", bat, "set p=50% %%~ni %", "[keyword:set] p=50% [var:%%~ni] %"},
        {"empty", bat, "", ""},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        CHECK(marked(c.kind, c.line) == c.expected);
    }
}

TEST_CASE("the kind of file by its name")
{
    const std::pair<std::u16string, FileKind> cases[] = {
        {u"Script", FileKind::Batch},                 // a new document
        {u"C:\\maps\\RUN.BAT", FileKind::Batch},       // letter case does not count
        {u"/maps/pick.awk", FileKind::Awk},
        {u"/maps/relief.cpt", FileKind::ColorTable},
        {u"/maps/notes.txt", FileKind::Plain},
        {u"/maps/README", FileKind::Plain},
        {u"/maps.v2/README", FileKind::Plain},         // a dot in the folder only
    };
    for (const auto& [path, kind] : cases) {
        CAPTURE(std::string(path.begin(), path.end()));
        CHECK(fileKindFor(path) == kind);
    }
}
