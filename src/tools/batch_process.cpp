#include "tools/batch_process.h"

#include <array>
#include <chrono>
#include <thread>

#ifdef _WIN32
#include "common/utf8.h"

#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace mq::tools::batch {

namespace {

constexpr int kPollMs = 100;
// After the programs of a line have ended, how long output that a program
// they left behind still holds open is read.
constexpr auto kLingering = std::chrono::seconds(2);

}  // namespace

#ifndef _WIN32

std::string null_device()
{
    return "/dev/null";
}

namespace {

// How long the programs of a stopped run get to end before they are killed.
constexpr auto kEndingGrace = std::chrono::milliseconds(1500);

// Where a stream of a stage comes from or goes to: its default (the pipe,
// the null device, the run's output) or an open file.
struct Source {
    int fd = -1;         // an open file; -1 for the default
    int default_of = 0;  // which default when fd is -1
};

void close_all(std::vector<int>& fds)
{
    for (int fd : fds)
        if (fd >= 0) ::close(fd);
    fds.clear();
}

bool make_pipe(int fds[2])
{
    if (::pipe(fds) != 0) return false;
    for (int i = 0; i < 2; ++i) ::fcntl(fds[i], F_SETFD, FD_CLOEXEC);
    return true;
}

int open_file(const StageFile& file)
{
    const std::string path = file.path.empty() ? null_device() : file.path;
    const int flags = file.handle == 0 ? O_RDONLY : O_WRONLY | O_CREAT | (file.append ? O_APPEND : O_TRUNC);
    return ::open(path.c_str(), flags | O_CLOEXEC, 0666);
}

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> out;
    for (auto& t : texts) out.push_back(t.data());
    out.push_back(nullptr);
    return out;
}

}  // namespace

PipelineEnd run_pipeline(const std::vector<Stage>& stages, const std::string& folder,
                         const std::vector<std::string>& environment, const OutputSink& sink,
                         const std::function<bool()>& stop)
{
    PipelineEnd end;
    const std::size_t count = stages.size();
    std::vector<int> owned;  // every descriptor the parent must close
    // The redirections first: one that cannot be opened stops the line
    // before any of its programs starts.
    std::vector<std::array<Source, 3>> sources(count);
    for (std::size_t s = 0; s < count; ++s) {
        for (int h = 0; h < 3; ++h) sources[s][h].default_of = h;
        for (const auto& file : stages[s].files) {
            if (file.handle < 0 || file.handle > 2) continue;
            if (file.copy_of >= 0) {
                sources[s][file.handle] = sources[s][file.copy_of];
                continue;
            }
            const int fd = open_file(file);
            if (fd < 0) {
                close_all(owned);
                end.status = 1;
                end.why = file.handle == 0 ? "The system cannot find the file specified."
                                           : "The system cannot find the path specified.";
                return end;
            }
            owned.push_back(fd);
            sources[s][file.handle] = Source{fd, file.handle};
        }
    }
    int out_pipe[2], err_pipe[2];
    const int null_fd = ::open(null_device().c_str(), O_RDONLY | O_CLOEXEC);
    if (null_fd < 0 || !make_pipe(out_pipe)) {
        if (null_fd >= 0) ::close(null_fd);
        close_all(owned);
        end.status = 1;
        end.why = "cannot make a pipe";
        return end;
    }
    if (!make_pipe(err_pipe)) {
        ::close(null_fd);
        ::close(out_pipe[0]);
        ::close(out_pipe[1]);
        close_all(owned);
        end.status = 1;
        end.why = "cannot make a pipe";
        return end;
    }
    owned.push_back(null_fd);
    owned.push_back(out_pipe[1]);
    owned.push_back(err_pipe[1]);
    std::vector<std::array<int, 2>> links(count > 0 ? count - 1 : 0);
    for (auto& link : links) {
        int fds[2];
        if (!make_pipe(fds)) {
            link = {-1, -1};
            continue;
        }
        link = {fds[0], fds[1]};
        owned.push_back(fds[0]);
        owned.push_back(fds[1]);
    }

    // Everything the children need is made before the first fork: after it
    // a child calls only what is safe between fork and exec.
    std::vector<std::string> env = environment;
    std::vector<char*> envp = pointers(env);
    std::vector<std::vector<std::string>> words(count);
    std::vector<std::vector<char*>> argvs(count);
    for (std::size_t s = 0; s < count; ++s) {
        words[s] = stages[s].words;
        if (words[s].empty()) words[s].push_back(stages[s].program);
        argvs[s] = pointers(words[s]);
    }

    std::vector<std::string> cannot_start(count);
    for (std::size_t s = 0; s < count; ++s) cannot_start[s] = "cannot start " + stages[s].program + "\n";

    std::vector<pid_t> children;
    pid_t group = 0;
    for (std::size_t s = 0; s < count; ++s) {
        int fds[3];
        for (int h = 0; h < 3; ++h) {
            const Source& src = sources[s][h];
            if (src.fd >= 0) {
                fds[h] = src.fd;
            } else if (src.default_of == 0) {
                fds[h] = s == 0 ? null_fd : links[s - 1][0];
            } else if (src.default_of == 1) {
                fds[h] = s + 1 == count ? out_pipe[1] : links[s][1];
            } else {
                fds[h] = err_pipe[1];
            }
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setpgid(0, group);
            ::signal(SIGPIPE, SIG_DFL);
            ::signal(SIGINT, SIG_DFL);
            ::signal(SIGTERM, SIG_DFL);
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            for (int h = 0; h < 3; ++h) {
                if (fds[h] < 0) _exit(126);
                if (fds[h] == h)
                    ::fcntl(h, F_SETFD, 0);
                else
                    ::dup2(fds[h], h);
            }
            if (::chdir(folder.c_str()) != 0) _exit(126);
            if (stages[s].text) {
                const std::string& text = *stages[s].text;
                std::size_t done = 0;
                while (done < text.size()) {
                    const ssize_t n = ::write(1, text.data() + done, text.size() - done);
                    if (n <= 0) break;
                    done += static_cast<std::size_t>(n);
                }
                _exit(0);
            }
            ::execve(stages[s].program.c_str(), argvs[s].data(), envp.data());
            const std::string& why = cannot_start[s];
            [[maybe_unused]] const ssize_t told = ::write(2, why.data(), why.size());
            _exit(127);
        }
        if (pid < 0) {
            end.why = "cannot start " + stages[s].program;
            end.status = 1;
            break;
        }
        if (group == 0) group = pid;
        ::setpgid(pid, group);  // also here, so that it holds before either side goes on
        children.push_back(pid);
    }
    // The parent keeps only the reading ends of the two pipes.
    close_all(owned);

    std::vector<bool> reaped(children.size(), false);
    std::size_t running = children.size();
    auto reap = [&](bool wait) {
        for (std::size_t c = 0; c < children.size(); ++c) {
            if (reaped[c]) continue;
            int status = 0;
            const pid_t r = ::waitpid(children[c], &status, wait ? 0 : WNOHANG);
            if (r == children[c] || (r < 0 && errno == ECHILD)) {
                reaped[c] = true;
                --running;
                if (c + 1 == stages.size() && r == children[c])
                    end.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
        }
    };
    int readers[2] = {out_pipe[0], err_pipe[0]};
    auto drop_readers = [&] {
        for (int& fd : readers)
            if (fd >= 0) {
                ::close(fd);
                fd = -1;
            }
    };
    std::optional<std::chrono::steady_clock::time_point> all_ended;
    char buffer[8192];
    while (true) {
        pollfd polls[2];
        nfds_t n = 0;
        int which[2];
        for (int r = 0; r < 2; ++r)
            if (readers[r] >= 0) {
                polls[n] = {readers[r], POLLIN, 0};
                which[n++] = r;
            }
        if (n > 0) {
            const int ready = ::poll(polls, n, kPollMs);
            if (ready > 0) {
                for (nfds_t p = 0; p < n; ++p) {
                    if (!(polls[p].revents & (POLLIN | POLLHUP | POLLERR))) continue;
                    const ssize_t got = ::read(polls[p].fd, buffer, sizeof buffer);
                    if (got > 0) {
                        sink(which[p] == 1, std::string_view(buffer, static_cast<std::size_t>(got)));
                    } else if (got == 0 || errno != EINTR) {
                        ::close(readers[which[p]]);
                        readers[which[p]] = -1;
                    }
                }
            }
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        reap(false);
        if (stop && stop()) {
            end.stopped = true;
            if (group > 0) {
                ::kill(-group, SIGTERM);
                const auto deadline = std::chrono::steady_clock::now() + kEndingGrace;
                while (running > 0 && std::chrono::steady_clock::now() < deadline) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    reap(false);
                }
                // Whatever is left of the group, the programs' own children too.
                ::kill(-group, SIGKILL);
            }
            reap(true);
            drop_readers();
            return end;
        }
        if (running == 0) {
            if (readers[0] < 0 && readers[1] < 0) break;
            const auto now = std::chrono::steady_clock::now();
            if (!all_ended) all_ended = now;
            if (now - *all_ended > kLingering) break;
        }
    }
    drop_readers();
    return end;
}

#else  // Windows: each line runs through cmd.exe, in a job object

std::string null_device()
{
    return "NUL";
}

namespace {

std::wstring wide(const std::string& text)
{
    return text::wide_from_utf8(text).value_or(std::wstring());
}

// An argument as a program's C runtime reads it back, and safe from cmd.exe.
std::string argument(const std::string& word)
{
    if (!word.empty() && word.find_first_of(" \t\"&|<>^()%!,;=") == std::string::npos) return word;
    std::string out = "\"";
    std::size_t slashes = 0;
    for (char c : word) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        out.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, '\\');
    return out + '"';
}

std::string echo_command(const std::string& text)
{
    std::string body = text;
    while (!body.empty() && (body.back() == '\n' || body.back() == '\r')) body.pop_back();
    std::string out = "echo.";
    for (char c : body) {
        if (c == '&' || c == '|' || c == '<' || c == '>' || c == '^' || c == '(' || c == ')') out += '^';
        out += c;
    }
    return out;
}

}  // namespace

PipelineEnd run_pipeline(const std::vector<Stage>& stages, const std::string& folder,
                         const std::vector<std::string>& environment, const OutputSink& sink,
                         const std::function<bool()>& stop)
{
    PipelineEnd end;
    // The input and output first, written without their handle (">f prog"):
    // after the words cmd.exe would hand the blank before them on to the
    // program ("echo x >f" writes "x "), and Wine's cmd.exe takes no "1>" at
    // the start. The error output goes after the words.
    std::string line;
    auto redirection = [](const StageFile& file, bool handle) {
        std::string out = handle ? std::to_string(file.handle) : "";
        out += file.handle == 0 ? "<" : file.append ? ">>" : ">";
        if (file.copy_of >= 0) return out + '&' + std::to_string(file.copy_of);
        return out + argument(file.path.empty() ? null_device() : file.path);
    };
    for (const auto& stage : stages) {
        if (!line.empty()) line += "| ";   // no blank before it: echo would print one
        for (const auto& file : stage.files)
            if (file.handle != 2) line += redirection(file, false) + ' ';
        if (stage.text) {
            line += echo_command(*stage.text);
        } else {
            line += argument(stage.program);
            for (std::size_t w = 1; w < stage.words.size(); ++w) line += ' ' + argument(stage.words[w]);
        }
        for (const auto& file : stage.files)
            if (file.handle == 2) line += ' ' + redirection(file, true);
    }
    std::wstring command = L"cmd.exe /d /s /c \"" + wide(line) + L"\"";
    std::wstring block;
    for (const auto& entry : environment) block += wide(entry) + L'\0';
    block += L'\0';

    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE out_read = nullptr, out_write = nullptr, err_read = nullptr, err_write = nullptr;
    if (!CreatePipe(&out_read, &out_write, &inherit, 0) || !CreatePipe(&err_read, &err_write, &inherit, 0)) {
        end.status = 1;
        end.why = "cannot make a pipe";
        return end;
    }
    SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(err_read, HANDLE_FLAG_INHERIT, 0);
    HANDLE null_in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = null_in;
    startup.hStdOutput = out_write;
    startup.hStdError = err_write;
    PROCESS_INFORMATION process{};
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job) SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    std::wstring dir = wide(folder);
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW | CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT,
                                        block.data(), dir.c_str(), &startup, &process);
    CloseHandle(out_write);
    CloseHandle(err_write);
    if (null_in != INVALID_HANDLE_VALUE) CloseHandle(null_in);
    if (!started) {
        CloseHandle(out_read);
        CloseHandle(err_read);
        if (job) CloseHandle(job);
        end.status = 9009;
        end.why = "cannot start cmd.exe";
        return end;
    }
    if (job) AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);

    HANDLE readers[2] = {out_read, err_read};
    char buffer[8192];
    auto drain = [&] {
        for (int r = 0; r < 2; ++r) {
            DWORD available = 0;
            while (readers[r] && PeekNamedPipe(readers[r], nullptr, 0, nullptr, &available, nullptr) &&
                   available > 0) {
                DWORD got = 0;
                if (!ReadFile(readers[r], buffer, sizeof buffer, &got, nullptr) || got == 0) break;
                sink(r == 1, std::string_view(buffer, got));
            }
        }
    };
    bool ended = false;
    while (!ended) {
        ended = WaitForSingleObject(process.hProcess, kPollMs) == WAIT_OBJECT_0;
        drain();
        if (!ended && stop && stop()) {
            end.stopped = true;
            if (job)
                TerminateJobObject(job, 1);
            else
                TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
            break;
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + kLingering;
    while (!end.stopped && std::chrono::steady_clock::now() < deadline) {
        drain();
        DWORD available = 0;
        bool open = false;
        for (HANDLE r : readers) open = PeekNamedPipe(r, nullptr, 0, nullptr, &available, nullptr) || open;
        if (!open) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    end.status = static_cast<int>(code);
    CloseHandle(process.hProcess);
    CloseHandle(out_read);
    CloseHandle(err_read);
    if (job) CloseHandle(job);
    return end;
}

#endif

}  // namespace mq::tools::batch
