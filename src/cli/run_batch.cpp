// mapquill-tools run-batch FILE
#include "cli/tool.h"

#include <CLI/CLI.hpp>
#include "tools/batch_runner.h"

namespace mq::cli {

int run_run_batch(Args args, std::ostream& out, std::ostream& err)
{
    constexpr std::string_view kTool = "run-batch";
    CLI::App app{"Runs a gridding batch file where there is no cmd.exe: \"echo off\" and \"cls\"\n"
                 "do nothing, \"echo\" prints, \"del\" removes the named files (patterns only in\n"
                 "the batch file's folder), other lines run as programs in that folder; a GMT\n"
                 "module not on PATH runs as \"gmt MODULE\". What the lines print goes to the log\n"
                 "beside the batch file (its name with .log).",
                 "mapquill-tools run-batch"};
    std::string batch;
    app.add_option("FILE", batch, "the batch file")->required();
    app.footer("Exit status: 0 when every program line succeeded; 1 otherwise; 2 on a usage error.");
    if (const auto code = read_arguments(app, kTool, app.help(), args, out, err)) return *code;

    const auto run = tools::run_batch_file(batch);
    if (!run) return bad_input(err, kTool, run.error().text());
    out << "Log: " << run->log_path << '\n';
    if (run->failed)
        return bad_input(err, kTool,
                         Error{"the program failed (see " + run->log_path + ")", batch, run->first_failed_line}.text());
    return kSuccess;
}

}  // namespace mq::cli
