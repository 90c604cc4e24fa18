#include "cli/tool.h"

#include "common/version.h"

#include <array>
#include <sstream>
#include <string>

namespace mq::cli {

namespace {

// Text for roff: a backslash is written "\e", every "-" is a minus (so that
// options read and copy as typed), and a line that would start with "." or
// "'" (a request) starts with "\&" instead.
std::string roff(std::string_view text)
{
    std::string out;
    bool line_start = true;
    for (const char c : text) {
        if (line_start && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
        line_start = c == '\n';
    }
    return out;
}

}  // namespace

void write_man_page(std::ostream& out)
{
    out << ".TH MAPQUILL\\-TOOLS 1 \"\" \"Mapquill " MAPQUILL_VERSION "\" \"User Commands\"\n"
           ".SH NAME\n"
           "mapquill\\-tools \\- Mapquill's data operations from the command line\n"
           ".SH SYNOPSIS\n"
           ".B mapquill\\-tools\n.I tool\n.RI [ arguments ]\n.br\n"
           ".B mapquill\\-tools\n.I tool\n.B \\-\\-help\n.br\n"
           ".B mapquill\\-tools \\-\\-help\n.br\n"
           ".B mapquill\\-tools \\-\\-version\n"
           ".SH DESCRIPTION\n"
           "Each tool does one of the jobs of Mapquill's tool windows on the values or\n"
           "files named on its command line.\n"
           "Progress goes to the standard error only when it is a terminal.\n"
           "Text files the tools write end their lines with CR LF.\n"
           "An output is written beside its target and replaces it only when the run\n"
           "ends well; a run that ends early (a bad line, a read error, Ctrl+C) leaves\n"
           "an existing output as it was and keeps the records written so far beside it,\n"
           "under the output's name with\n.B .partial\nbefore its extension.\n"
           "An output that names the input file, a device or a pipe is refused before\n"
           "anything is written.\n"
           ".SH TOOLS\n";
    for (const Subcommand& sub : subcommands())
        out << ".TP\n.B " << roff(sub.name) << '\n' << roff(sub.summary) << '\n';
    out << ".SH OPTIONS\n"
           "Each tool's options, as\n.BI \"mapquill\\-tools \" tool \" \\-\\-help\"\nshows them.\n";
    static constexpr std::array<std::string_view, 1> kHelp = {"--help"};
    for (const Subcommand& sub : subcommands()) {
        std::ostringstream help, ignored;
        sub.run(kHelp, help, ignored);
        std::string text = help.str();
        if (!text.empty() && text.back() != '\n') text += '\n';
        out << ".SS " << roff(sub.name) << "\n.nf\n" << roff(text) << ".fi\n";
    }
    out << ".SH EXIT STATUS\n"
           "0 on success; 1 when the input cannot be worked on, with one line on the\n"
           "standard error that names the problem (and the file and line); 2 on a usage\n"
           "error.\n"
           ".SH SEE ALSO\n"
           ".BR mapquill (1),\n"
           ".BR gmt (1)\n";
}

}  // namespace mq::cli
