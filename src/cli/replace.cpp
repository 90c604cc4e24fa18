// mapquill-tools replace IN OUT [--entire SEARCH FILL] [--replace SEARCH FILL]...
//   [--append TEXT] [--take-if TEXT | --take-if-not TEXT] [--every N | --no-every] [--kml]
//   [--kml-document]
#include "cli/cli_progress.h"
#include "cli/tool.h"

#include <CLI/CLI.hpp>
#include "cli/text_options.h"
#include "tools/replace_text.h"

namespace mq::cli {

namespace {

constexpr std::string_view kTool = "replace";

constexpr const char* kDescription =
    "Copies a text file while replacing texts, appending a text to each line and\n"
    "keeping only selected lines, or writing KML placemarks; lines of the output\n"
    "end with CR LF and their bytes are kept as they are. With --entire the whole\n"
    "file is one text with one replacement and nothing else is done.\n"
    "Search and fill-in texts that are exactly CRLF, TAB, CR or LF stand for\n"
    "those characters; a fill-in text of --replace that is \\t (backslash, t) is a\n"
    "TAB. Without --replace nothing is replaced; without --every, --no-every or\n"
    "--take-if(-not) every line is kept. --kml writes a placemark from each line\n"
    "and the three after it (also after a line kept by --every; not with\n"
    "--take-if): the name is field 0 of the first line, the corners fields 9 and\n"
    "10 of the first line and fields 8 and 9 of the others (fields split at\n"
    "single blanks); each corner must be a number. Names are written as XML text\n"
    "(& < > and quotes as entities; a name that is not UTF-8 is read as\n"
    "Windows-1252). --kml-document writes the placemarks, and nothing else, as a\n"
    "complete KML document in UTF-8 (implies --kml; not with --every or --take-if).\n"
    "Exit status: 0 when done; 1 on a bad file or line (one line on stderr; the\n"
    "lines before it stay written, in OUT with \".partial\" before its extension\n"
    "when OUT existed, which then stays as it was); 2 on a usage error.";

}  // namespace

int run_replace(Args args, std::ostream& out, std::ostream& err)
{
    CLI::App app{kDescription, "mapquill-tools replace"};
    std::string input;
    std::string output;
    std::vector<std::string> shown_pair;   // for the help only: the texts are taken beforehand
    std::string shown_text;
    std::string every = "1";
    bool no_every = false;
    bool kml = false;
    bool kml_document = false;
    app.add_option("IN", input, "input file")->required();
    app.add_option("OUT", output, "output file (replaced when it exists)")->required();
    app.add_option("--entire", shown_pair, "SEARCH FILL: replace in the whole file as one text")->expected(2);
    app.add_option("--replace", shown_pair, "SEARCH FILL: replace in each line; up to four times, applied in order")
        ->expected(2);
    app.add_option("--append", shown_text, "TEXT appended to each line; then every \\t in the line is a TAB");
    app.add_option("--take-if", shown_text, "keep only the lines that contain TEXT");
    app.add_option("--take-if-not", shown_text, "keep only the lines that do not contain TEXT");
    auto* every_option = app.add_option("--every", every, "keep every N-th line (default 1)");
    app.add_flag("--no-every", no_every, "do not keep lines by count")->excludes(every_option);
    app.add_flag("--kml", kml, "write KML placemarks from groups of four lines");
    app.add_flag("--kml-document", kml_document, "write the placemarks as a complete KML document");

    TextOptions texts = take_text_options(
        args, {{"--entire", 2}, {"--replace", 2}, {"--append", 1}, {"--take-if", 1}, {"--take-if-not", 1}});
    auto usage_error = [&err](const std::string& problem) { return cli::usage_error(err, kTool, problem); };
    if (!texts.error.empty()) return usage_error(texts.error);
    std::vector<std::string_view> rest(texts.rest.begin(), texts.rest.end());
    if (const auto code = read_arguments(app, kTool, app.help(), rest, out, err)) return *code;

    auto& v = texts.values;
    for (const char* once : {"--entire", "--append", "--take-if", "--take-if-not"})
        if (v.count(once) && v[once].size() > 1) return usage_error(std::string(once) + " is given twice");
    if (v.count("--replace") && v["--replace"].size() > 4) return usage_error("--replace is given more than four times");
    if (v.count("--take-if") && v.count("--take-if-not")) return usage_error("give either --take-if or --take-if-not");
    const bool line_options = v.count("--replace") || v.count("--append") || v.count("--take-if") ||
                              v.count("--take-if-not") || no_every || kml || kml_document ||
                              app.count("--every");
    if (v.count("--entire") && line_options) return usage_error("--entire works on the whole file; it takes no line options");
    if (kml_document && (app.count("--every") || v.count("--take-if") || v.count("--take-if-not")))
        return usage_error(
            "--kml-document holds only placemarks; it takes no --every, --take-if or --take-if-not");

    tools::ReplaceSettings s;
    if (v.count("--entire")) {
        s.entire = true;
        s.entire_search = v["--entire"].front()[0];
        s.entire_fill = v["--entire"].front()[1];
    }
    if (v.count("--replace")) {
        const auto& pairs = v["--replace"];
        for (std::size_t i = 0; i < s.rows.size(); ++i)
            s.rows[i] = i < pairs.size() ? tools::ReplaceRow{true, pairs[i][0], pairs[i][1]} : tools::ReplaceRow{};
    }
    if (v.count("--append")) {
        s.add_to_each_line = true;
        s.add_text = v["--append"].front().front();
    }
    for (const char* take : {"--take-if", "--take-if-not"}) {
        if (!v.count(take)) continue;
        s.take_if = true;
        s.take_if_text = v[take].front().front();
        s.take_if_exists = std::string_view(take) == "--take-if";
    }
    s.take_each = !no_every && !kml_document;
    s.take_each_count = every;
    if (s.take_each && !tools::take_each_count(every)) return usage_error("--every needs a whole number of 1 or more");
    s.kml = kml || kml_document;
    s.kml_document = kml_document;

    const InterruptStop interrupt;
    const auto result = [&] {
        TerminalProgress progress(err, stderr_is_terminal(), "Line #: ");
        return tools::replace_in_file(input, output, s, progress.callback(), interrupt.stop_fn());
    }();
    if (!result) return bad_input(err, kTool, result.error().text());
    if (result->stopped) return stopped(err, kTool, result->lines, result->kept);
    return kSuccess;
}

}  // namespace mq::cli
