// mapquill-tools run-batch FILE
#include "cli/tool.h"

#include <CLI/CLI.hpp>
#include "common/file_stream.h"
#include "tools/grid_run.h"

#include <filesystem>

#ifndef _WIN32
#include <csignal>
#endif

namespace mq::cli {

namespace {

#ifndef _WIN32
volatile std::sig_atomic_t stop_signal = 0;
void on_stop_signal(int) { stop_signal = 1; }

// Ctrl+C, a hang-up or a TERM stops the run, which ends the programs it
// started (they run in their own process group, which the terminal's
// signals do not reach); then the old handlers are back.
class StopOnSignals {
public:
    StopOnSignals()
    {
        stop_signal = 0;
        struct sigaction action {};
        action.sa_handler = on_stop_signal;
        sigemptyset(&action.sa_mask);
        for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &old_[i]);
    }
    ~StopOnSignals()
    {
        for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &old_[i], nullptr);
    }
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

private:
    static constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction old_[3] {};
};
#endif

}  // namespace

int run_run_batch(Args args, std::ostream& out, std::ostream& err)
{
    constexpr std::string_view kTool = "run-batch";
    CLI::App app{"Runs a batch file as cmd.exe would: echo, REM, set and %NAME%, redirections,\n"
                 "pipes, \"if exist\", \"for\" over file names, del and programs, a GMT module not\n"
                 "on PATH as \"gmt MODULE\" (the README lists them all). A file with a line that\n"
                 "needs cmd.exe (goto, call, ...) is refused before anything runs. The run stops\n"
                 "at the first program line that fails. What the lines print goes to the log\n"
                 "beside the batch file (its name with .log).",
                 "mapquill-tools run-batch"};
    std::string batch;
    app.add_option("FILE", batch, "the batch file")->required();
    app.footer("Exit status: 0 when every program line succeeded; 1 otherwise (the message names\n"
               "the failing line); 2 on a usage error.");
    if (const auto code = read_arguments(app, kTool, app.help(), args, out, err)) return *code;

    // In a gridding run's folder the run is going while this runs: the
    // folder is not cleared away under it.
    std::string folder;
    if (const auto path = io::path_from_utf8(batch)) {
        std::error_code ec;
        const auto text = std::filesystem::absolute(path.value(), ec).parent_path().u8string();
        folder.assign(text.begin(), text.end());
    }
    const auto hold = tools::GridRunLock::hold(folder);
    tools::BatchRunOptions options;
#ifndef _WIN32
    const StopOnSignals stop_on_signals;
    options.stop_requested = [] { return stop_signal != 0; };
#endif   // on Windows the run's job object ends its programs with this process
    const auto run = tools::run_batch_file(batch, options);
    if (!run) return bad_input(err, kTool, run.error().text());
    out << "Log: " << run->log_path << '\n';
    if (run->stopped) return bad_input(err, kTool, Error{"the run was stopped", batch, 0}.text());
    // A gridding run's log goes with its folder, so the message says it all.
    if (run->failed && hold.held()) return bad_input(err, kTool, tools::gridding_failure_text(run.value()));
    if (run->failed) {
        std::string why = "the program failed";
        if (!run->failure_output.empty()) why += ": " + run->failure_output;
        const Error error{why + " (see " + run->log_path + ")", batch, run->first_failed_line};
        return bad_input(err, kTool, error.text());
    }
    return kSuccess;
}

}  // namespace mq::cli
