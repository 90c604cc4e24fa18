// mapquill-tools gmt6-check FILE [--fix]
#include "cli/tool.h"

#include <CLI/CLI.hpp>
#include "common/file_io.h"
#include "tools/gmt_changes.h"

namespace mq::cli {

namespace {

// FILE:LINE:COLUMN: error|note: message, the form editors and CI read.
void list(std::ostream& out, const std::string& file, const std::vector<tools::GmtFinding>& findings)
{
    for (const auto& f : findings)
        out << file << ':' << f.line << ':' << f.column << ": " << (f.note ? "note: " : "error: ")
            << f.message << '\n';
}

Error in_file(Error error, const std::string& file)
{
    if (error.file.empty()) error.file = file;
    return error;
}

}  // namespace

int run_gmt6_check(Args args, std::ostream& out, std::ostream& err)
{
    constexpr std::string_view kTool = "gmt6-check";
    CLI::App app{
        "Lists every place in a batch script that GMT 6 refuses at compatibility level 6\n"
        "(GMT 4 parameter names, obsolete options, renamed modules) and every module\n"
        "name without \"gmt \" (a note: it runs only where GMT's module links are\n"
        "installed), as FILE:LINE:COLUMN: message. --fix writes the script back with\n"
        "those places in their GMT 6 form and lists what is left.",
        "mapquill-tools gmt6-check"};
    std::string file;
    bool fix = false;
    app.add_option("FILE", file, "the batch script")->required();
    app.add_flag("--fix", fix, "rewrite the places in their GMT 6 form, touching nothing else");
    app.footer(
        "Exit status: 0 when nothing is (or, with --fix, is left) to mend; 1 when something\n"
        "is, or the file cannot be read or written; 2 on a usage error.");
    if (const auto code = read_arguments(app, kTool, app.help(), args, out, err)) return *code;

    const auto text = io::readWholeFile(file);
    if (!text) return bad_input(err, kTool, in_file(text.error(), file).text());
    auto findings = tools::gmt6_check(text.value());
    // Only a changed script is written: what GMT 6 has no form for stays as it is.
    if (const std::string mended = fix ? tools::gmt6_mend(text.value(), findings) : text.value();
        mended != text.value()) {
        if (const auto written = io::writeFileSafely(file, mended); !written)
            return bad_input(err, kTool, in_file(written.error(), file).text());
        findings = tools::gmt6_check(mended);
    }
    list(out, file, findings);
    if (findings.empty()) return finish_output(out, err, kSuccess);
    const std::string count = std::to_string(findings.size()) + (findings.size() == 1 ? " place" : " places");
    complain(err, kTool,
             file + ": " + count + (fix ? " left that GMT 6 has no form for" : " to mend for GMT 6"));
    return finish_output(out, err, kBadInput);
}

}  // namespace mq::cli
