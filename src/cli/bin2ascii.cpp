// mapquill-tools bin2ascii IN OUT
#include "cli/cli_progress.h"
#include "cli/tool.h"

#include <CLI/CLI.hpp>
#include "tools/binary_xyz.h"

namespace mq::cli {

int run_bin2ascii(Args args, std::ostream& out, std::ostream& err)
{
    constexpr std::string_view kTool = "bin2ascii";
    CLI::App app{"Writes a binary xyz file (three little-endian doubles per record, 24 bytes) as\n"
                 "text: x TAB y TAB z CR LF per record. A final piece shorter than a record is\n"
                 "not written; its size is reported.",
                 "mapquill-tools bin2ascii"};
    std::string in, output;
    app.add_option("IN", in, "the binary file")->required();
    app.add_option("OUT", output, "the text file to write")->required();
    app.footer("Exit status: 0 when done; 1 when the input cannot be converted; 2 on a usage error.");
    if (const auto code = read_arguments(app, kTool, app.help(), args, out, err)) return *code;

    const InterruptStop interrupt;
    const auto result = [&] {
        TerminalProgress progress(err, stderr_is_terminal(), "Row #: ");
        return tools::convert_binary_xyz(in, output, progress.callback(), interrupt.stop_fn());
    }();
    if (!result) return bad_input(err, kTool, result.error().text());
    if (result->stopped) return stopped(err, kTool, result->records, result->kept);
    out << result->records << (result->records == 1 ? " record" : " records") << " written to " << output;
    if (result->left_over)
        out << "; " << result->left_over << " bytes left over at the end (less than one record)";
    out << '\n';
    return kSuccess;
}

}  // namespace mq::cli
