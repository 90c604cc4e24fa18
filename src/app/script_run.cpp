#include "app/script_run.h"

#include "app/core/gmt_location.h"
#include "app/core/script_codec.h"
#include "app/frame_helpers.h"
#include "app/output_dock.h"
#include "common/file_io.h"
#include "common/number_rules.h"
#include "common/ui/worker_bridge.h"
#include "tools/batch_runner.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace mq::app {

namespace {

QString fromBytes(std::string_view bytes)
{
    return QString::fromLocal8Bit(bytes.data(), qsizetype(bytes.size()));
}

QString seconds(qint64 ms)
{
    return QString::fromStdString(numbers::format_pattern(double(ms) / 1000.0, "0.0"));
}

#ifdef Q_OS_WIN
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// Reports of the batch runner, passed to the user interface's thread.
class PostingListener : public tools::RunListener {
public:
    PostingListener(QObject* context, std::function<void(int, std::string)> started,
                    std::function<void(bool, std::string)> output, std::function<void(int, std::string)> note)
        : context_(context), started_(std::move(started)), output_(std::move(output)), note_(std::move(note))
    {
    }
    void line_started(int line, std::string_view command) override
    {
        QMetaObject::invokeMethod(context_, [f = started_, line, c = std::string(command)] { f(line, c); },
                                  Qt::QueuedConnection);
    }
    void output(tools::RunStream stream, std::string_view text) override
    {
        QMetaObject::invokeMethod(
            context_,
            [f = output_, err = stream == tools::RunStream::err, t = std::string(text)] { f(err, t); },
            Qt::QueuedConnection);
    }
    void note(int line, std::string_view text) override
    {
        QMetaObject::invokeMethod(context_, [f = note_, line, t = std::string(text)] { f(line, t); },
                                  Qt::QueuedConnection);
    }

private:
    QObject* context_;
    std::function<void(int, std::string)> started_;
    std::function<void(bool, std::string)> output_;
    std::function<void(int, std::string)> note_;
};

}  // namespace

std::optional<RunKind> runKindFor(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("sh")) return RunKind::bash;
    if (suffix == QLatin1String("bat") || suffix == QLatin1String("cmd"))
        return kWindows ? RunKind::cmd : RunKind::batchRunner;
    return std::nullopt;
}

ScriptRun::ScriptRun(platform::Services services, OutputDock& dock, QObject* parent)
    : QObject(parent), services_(services), dock_(dock)
{
    connect(&dock_, &OutputDock::stopClicked, this, &ScriptRun::stop);
}

ScriptRun::~ScriptRun()
{
    delete bridge_;   // stops a batch run and waits for it
    bridge_ = nullptr;
}

bool ScriptRun::running() const { return active_; }

QString ScriptRun::bashProgram() const
{
    QString bash = services_.processes->findProgram(QStringLiteral("bash"));
    // Windows' own bash.exe runs Linux programs, not those of this system.
    if (kWindows && bash.contains(QLatin1String("/system32/"), Qt::CaseInsensitive)) bash.clear();
    if (bash.isEmpty() && kWindows)
        bash = services_.processes->findProgram(
            QStringLiteral("bash"),
            {QStringLiteral("C:/Program Files/Git/bin"), QStringLiteral("C:/msys64/usr/bin")});
    return bash;
}

QString ScriptRun::unavailableReason(const QString& path) const
{
    const std::optional<RunKind> kind = runKindFor(path);
    if (!kind) return QStringLiteral("Only .bat, .cmd and .sh scripts can be run.");
    if (*kind == RunKind::bash && bashProgram().isEmpty())
        return QStringLiteral(
            "No bash was found on PATH: install Git for Windows or MSYS2 to run .sh scripts.");
    return {};
}

QString ScriptRun::gmtProgram() const
{
    // The GMT folder setting, then PATH, then the installer's folders.
    const QString folder = services_.settings->get(QString::fromUtf8(kGmtSettingsSection),
                                                   QString::fromUtf8(kGmtFolderKey));
    const auto onPath = [this](std::string_view name) {
        return services_.processes->findProgram(QString::fromUtf8(name.data(), qsizetype(name.size())))
            .toStdString();
    };
    return QString::fromStdString(find_gmt(folder.toStdString(), onPath, gmt_installer_folders()));
}


bool ScriptRun::start(const QString& path)
{
    dock_.show();
    dock_.raise();
    if (active_) {
        dock_.appendLine(QStringLiteral("A script is running already: it has to end, or be stopped, first."),
                         OutputDock::Shown::note);
        return false;
    }
    const std::optional<RunKind> kind = runKindFor(path);
    const QString reason = unavailableReason(path);
    if (!kind || !reason.isEmpty()) {
        dock_.appendLine(reason, OutputDock::Shown::note);
        return false;
    }
    // Messages are linked to the lines of the file as it is run.
    const Result<std::string> script = io::readWholeFile(frame::localPath(path));
    if (!script) {
        dock_.appendLine(QString::fromStdString(script.error().text()), OutputDock::Shown::note);
        return false;
    }
    std::u16string text;
    LoadedScript::fromBytes(script.value(), text);
    const QFileInfo file(path);
    const QString folder = file.absolutePath();
    dock_.clearRun();
    reader_ =
        std::make_unique<RunMessageReader>(QDir::toNativeSeparators(path).toStdString(), script.value(),
                                           *kind == RunKind::cmd ? LineSource::none : LineSource::reported);
    out_ = {};
    err_ = {};
    traced_ = *kind == RunKind::bash;
    stopRequested_ = false;
    scriptText_ = QString::fromStdU16String(text);
    dock_.appendLine(
        QStringLiteral("Running %1 in %2").arg(file.fileName(), QDir::toNativeSeparators(folder)),
        OutputDock::Shown::note);
    const QString gmt = gmtProgram();
    if (gmt.isEmpty()) dock_.appendLine(QString::fromStdString(gmt_missing_text()), OutputDock::Shown::note);

    active_ = true;
    clock_.start();
    dock_.setStopEnabled(true);
    dock_.setStatus(QStringLiteral("Running"));
    emit runStarted(folder);
    if (*kind == RunKind::batchRunner) return startBatchRunner(path);

    // The GMT folder goes first on the script's PATH.
    QStringList environment;
    if (!gmt.isEmpty()) {
        const QString path_list = qEnvironmentVariable("PATH");
        const QString gmtBin = QDir::toNativeSeparators(QFileInfo(gmt).absolutePath());
        environment << QStringLiteral("PATH=") + gmtBin + QDir::listSeparator() + path_list;
    }
    QString program;
    QStringList arguments;
    if (*kind == RunKind::bash) {
        program = bashProgram();
        for (const std::string& argument : traced_bash_arguments(file.fileName().toStdString()))
            arguments << QString::fromStdString(argument);
    } else {
        program = QStringLiteral("cmd.exe");
        arguments << QStringLiteral("/d") << QStringLiteral("/c") << file.fileName();
    }
    QPointer<ScriptRun> self(this);
    process_ = services_.processes->run(
        program, arguments, folder, environment,
        [self](platform::ProcessStream stream, const QByteArray& piece) {
            if (self) self->readOutput(stream, piece);
        },
        [self](int exitCode) {
            if (self) self->finish(exitCode);
        });
    if (!process_) finish(-1, QStringLiteral("%1 could not be started.").arg(program));
    return process_ != nullptr;
}

bool ScriptRun::startBatchRunner(const QString& path)
{
    if (!bridge_) bridge_ = new tools::WorkerBridge(this);
    QPointer<ScriptRun> self(this);
    auto listener = std::make_shared<PostingListener>(
        // A program's last words without a line end are a line of their own
        // once it has ended: they never run into the next program's.
        this,
        [self](int line, const std::string&) {
            if (!self) return;
            self->endPartialLines();
            self->showLineStarted(line);
        },
        [self](bool err, const std::string& text) {
            if (self) self->readOutput(err ? platform::ProcessStream::err : platform::ProcessStream::out,
                                       QByteArray::fromStdString(text));
        },
        [self](int line, const std::string& text) {
            if (!self) return;
            self->endPartialLines();
            self->dock_.appendLine(QString::fromStdString(text), OutputDock::Shown::note);
            self->addMessage(self->reader_->note(line, text));
        });
    tools::BatchRunOptions options;
    options.stop_at_failure = false;
    options.write_log = false;
    const QString gmt = gmtProgram();
    options.gmt_program =
        gmt.isEmpty() ? std::string("gmt") : frame::localPath(QDir::toNativeSeparators(gmt));
    const std::string batch = frame::localPath(QDir::toNativeSeparators(path));
    const bool started = bridge_->run(
        [batch, options, listener](tools::RunControl& control) mutable {
            options.stop_requested = [&control] { return control.stop_requested(); };
            return tools::run_batch_file(batch, options, listener.get());
        },
        [self](const Result<tools::BatchRun>& run) {
            if (!self) return;
            // The listener's last reports are queued before this; let them in first.
            QMetaObject::invokeMethod(
                self,
                [self, run] {
                    if (!self) return;
                    if (!run) {
                        // A line the runner cannot carry out is refused before anything runs.
                        const Error& error = run.error();
                        if (error.line > 0)
                            self->addMessage(LinkedMessage{self->reader_->file(), int(error.line), 0,
                                                           error.message, MessageKind::error});
                        return self->finish(1, QString::fromStdString(error.text()));
                    }
                    self->finish(run->stopped ? -1 : run->exit_status);
                },
                Qt::QueuedConnection);
        });
    if (!started) finish(-1, QStringLiteral("The batch runner could not be started."));
    return started;
}

void ScriptRun::stop()
{
    if (!active_) return;
    stopRequested_ = true;
    dock_.setStatus(QStringLiteral("Stopping"));
    if (process_) process_->stop();
    if (bridge_) bridge_->stop();
}

void ScriptRun::readOutput(platform::ProcessStream stream, const QByteArray& piece)
{
    if (!active_) return;
    const bool error = stream == platform::ProcessStream::err;
    for (const std::string& line :
         (error ? err_ : out_).feed(std::string_view(piece.constData(), size_t(piece.size()))))
        readLine(error, line);
}

void ScriptRun::readLine(bool error, const std::string& line)
{
    std::string text = line;
    if (error && traced_) {
        TraceLine trace = read_trace_line(line);
        if (trace.has_text) {
            dock_.appendLine(fromBytes(trace.text), OutputDock::Shown::err);
            addMessage(reader_->read_line(trace.text));
        }
        if (trace.failed_status) addMessage(reader_->line_failed(trace.line, trace.failed_status));
        else if (trace.line) showLineStarted(trace.line);
        return;
    }
    dock_.appendLine(fromBytes(text), error ? OutputDock::Shown::err : OutputDock::Shown::out);
    if (error) addMessage(reader_->read_line(text));
}

void ScriptRun::endPartialLines()
{
    for (auto [collector, error] : {std::pair{&out_, false}, std::pair{&err_, true}})
        if (auto rest = collector->finish()) readLine(error, *rest);
}

void ScriptRun::showLineStarted(int line)
{
    if (!active_ || line == reader_->current_line()) return;
    reader_->line_started(line);
    const QString text = fromBytes(reader_->line_text(line)).trimmed().left(200);
    dock_.setStatus(QStringLiteral("Running line %1: %2").arg(line).arg(text));
}

void ScriptRun::addMessage(const std::optional<LinkedMessage>& message)
{
    if (message && active_) dock_.addMessage(*message);
}

void ScriptRun::finish(int exitStatus, const QString& failure)
{
    if (!active_) return;
    endPartialLines();
    // A bash script that ends with a failure of its own ("exit 3") names its
    // line. (The batch runner's notes name its failed lines.)
    if (traced_ && exitStatus > 0 && !stopRequested_)
        addMessage(reader_->line_failed(reader_->current_line(), exitStatus));
    if (!failure.isEmpty()) dock_.appendLine(failure, OutputDock::Shown::note);
    const QString time = seconds(clock_.elapsed());
    const QString end = stopRequested_
                            ? QStringLiteral("Stopped after %1 s").arg(time)
                            : QStringLiteral("Exit status %1 after %2 s").arg(exitStatus).arg(time);
    dock_.appendLine(end, OutputDock::Shown::note);
    dock_.setStatus(end);
    dock_.setStopEnabled(false);
    active_ = false;
    process_.reset();
    emit runFinished(scriptText_);
}

}  // namespace mq::app
