// The process side of mapquill-tools: its command line and its stdout.
#include "cli/tool.h"

#include "common/file_stream.h"
#include "common/utf8.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>
#include <cstdio>
#include <cstdlib>
#else
#include <cstdio>
#include <unistd.h>
#endif

namespace mq::cli {

std::vector<std::string> command_line_arguments(int argc, char** argv) {
#ifdef _WIN32
    // argv holds the arguments in the ANSI code page, where "ü" is one byte
    // and most other scripts are lost; the wide command line has them all.
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        std::vector<std::string> args;
        for (int i = 1; i < count; ++i) args.push_back(text::utf8_from_wide(wide[i]));
        LocalFree(wide);
        return args;
    }
#endif
    return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

#ifdef _WIN32
namespace {
UINT g_console_code_page = 0;
void restore_console_code_page() { SetConsoleOutputCP(g_console_code_page); }
}  // namespace
#endif

void prepare_output() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    // Our texts are UTF-8; a console shows them as such while we run, and
    // gets its own code page back when we end.
    g_console_code_page = GetConsoleOutputCP();
    if (g_console_code_page != 0 && g_console_code_page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
        std::atexit(restore_console_code_page);
#endif
}

namespace {

std::atomic<bool> g_watching{false};     // a file tool runs and asks whether to stop
std::atomic<bool> g_interrupted{false};  // Ctrl+C came while it ran
static_assert(std::atomic<bool>::is_always_lock_free);

// Ctrl+C while a file tool runs asks it to stop; a second one ends the program.
bool stop_on_interrupt() noexcept
{
    return g_watching.load() && !g_interrupted.exchange(true);
}

}  // namespace

void remove_outputs_on_interrupt() {
    io::remove_unfinished_outputs_on_signals(stop_on_interrupt);
}

InterruptStop::InterruptStop()
{
    g_watching.store(true);
}

InterruptStop::~InterruptStop()
{
    g_watching.store(false);
}

tools::StopFn InterruptStop::stop_fn() const
{
    return [] { return g_interrupted.load(std::memory_order_relaxed); };
}

bool interrupted()
{
    return g_interrupted.load();
}

void end_by_interrupt()
{
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
}

int stopped(std::ostream& err, std::string_view tool, std::int64_t records, const std::string& kept)
{
    return bad_input(err, tool, kept.empty() ? io::stopped_note(records, "", "") : kept);
}

bool stderr_is_terminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

int finish_output(std::ostream& out, std::ostream& err, int code) {
    errno = 0;
    out.flush();
    if (out) return code;
    const int error = errno;
    std::string message = "could not write the output";
    if (error != 0) message += ": " + std::generic_category().message(error);
    complain(err, "", message);
    return code == kSuccess ? kBadInput : code;
}

}  // namespace mq::cli
