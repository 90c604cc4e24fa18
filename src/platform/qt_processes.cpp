// Programs run with their output watched, each with all the processes it
// starts in one group that Stop ends together: a process group of its own
// on POSIX systems, a job object on Windows.
#include "platform/qt_platform.h"

#include <QPointer>
#include <QWidget>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTimer>
#include <memory>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <tlhelp32.h>
#else
#include <csignal>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace mq::platform {

namespace {

#ifdef Q_OS_WIN
// Lets the suspended first thread of process `pid` go on.
void resumeProcess(DWORD pid)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    THREADENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != pid) continue;
        if (HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID)) {
            ResumeThread(thread);
            CloseHandle(thread);
        }
    }
    CloseHandle(snapshot);
}
#endif

// Shared by a run's handle and its process's handlers.
struct RunState {
    bool watched = true;   // someone listens
    bool stopped = false;  // ended by stop(): reported as -1 whatever its exit code
};

class QtRunningProcess : public RunningProcess {
public:
    QtRunningProcess(QProcess* process, std::shared_ptr<RunState> state)
        : process_(process), state_(std::move(state))
    {
#ifdef Q_OS_WIN
        // The program starts suspended, so it is in the job before it can
        // start anything.
        const DWORD pid = DWORD(process->processId());
        job_ = CreateJobObjectW(nullptr, nullptr);
        HANDLE handle = OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, pid);
        if (job_ && handle) AssignProcessToJobObject(job_, handle);
        if (handle) CloseHandle(handle);
        resumeProcess(pid);
#else
        group_ = pid_t(process->processId());
#endif
    }

    ~QtRunningProcess() override
    {
        // Nobody listens any more; a program still running is ended.
        state_->watched = false;
        if (running()) stop();
#ifdef Q_OS_WIN
        if (job_) CloseHandle(job_);
#endif
    }

    void stop() override
    {
        state_->stopped = true;
#ifdef Q_OS_WIN
        if (job_) TerminateJobObject(job_, 1);
        else if (process_) process_->kill();
#else
        if (group_ <= 0) return;
        ::kill(-group_, SIGTERM);
        // What ignores the request is ended a moment later.
        QTimer::singleShot(1000, [group = group_] {
            if (::kill(-group, 0) == 0) ::kill(-group, SIGKILL);
        });
#endif
    }

    bool running() const override { return process_ && process_->state() != QProcess::NotRunning; }

private:
    QPointer<QProcess> process_;
    std::shared_ptr<RunState> state_;
#ifdef Q_OS_WIN
    HANDLE job_ = nullptr;
#else
    pid_t group_ = 0;
#endif
};

}  // namespace

std::unique_ptr<RunningProcess> QtProcesses::run(const QString& program, const QStringList& arguments,
                                                 const QString& workingDir, const QStringList& environment,
                                                 std::function<void(ProcessStream, const QByteArray&)> output,
                                                 std::function<void(int exitCode)> ended)
{
    // The process belongs to no window; it goes away once it has ended.
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setWorkingDirectory(workingDir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : environment) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        if (eq > 0) env.insert(entry.left(eq), entry.mid(eq + 1));
    }
    process->setProcessEnvironment(env);
    process->setStandardInputFile(QProcess::nullDevice());   // a script asking for input gets none
#ifdef Q_OS_WIN
    process->setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments* args) { args->flags |= CREATE_SUSPENDED; });
#else
    process->setChildProcessModifier([] { ::setsid(); });
#endif
    auto state = std::make_shared<RunState>();
    QObject::connect(process, &QProcess::readyReadStandardOutput, process, [process, state, output] {
        const QByteArray piece = process->readAllStandardOutput();
        if (state->watched) output(ProcessStream::out, piece);
    });
    QObject::connect(process, &QProcess::readyReadStandardError, process, [process, state, output] {
        const QByteArray piece = process->readAllStandardError();
        if (state->watched) output(ProcessStream::err, piece);
    });
    QObject::connect(process, &QProcess::finished, process,
                     [process, state, output, ended](int code, QProcess::ExitStatus status) {
                         if (state->watched) {
                             const QByteArray out = process->readAllStandardOutput();
                             const QByteArray err = process->readAllStandardError();
                             if (!out.isEmpty()) output(ProcessStream::out, out);
                             if (!err.isEmpty()) output(ProcessStream::err, err);
                             const bool normal = status == QProcess::NormalExit && !state->stopped;
                             ended(normal ? code : -1);
                         }
                         process->deleteLater();
                     });
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return nullptr;
    }
    return std::make_unique<QtRunningProcess>(process, state);
}

QString QtProcesses::findProgram(const QString& name, const QStringList& extraFolders) const
{
    if (!extraFolders.isEmpty()) {
        const QString found = QStandardPaths::findExecutable(name, extraFolders);
        if (!found.isEmpty()) return found;
    }
    return QStandardPaths::findExecutable(name);
}

}  // namespace mq::platform
