// Runs a saved script in its own folder, one run at a time, and shows what
// it prints in the "Output" dock: bash for ".sh" scripts; for ".bat" and
// ".cmd" scripts cmd.exe on Windows and the batch runner elsewhere.
#pragma once

#include "app/core/run_messages.h"
#include "platform/platform.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace mq::tools {
class WorkerBridge;
}

namespace mq::app {

class OutputDock;

// How a script of a given name is run; nothing when it cannot be.
enum class RunKind { bash, cmd, batchRunner };
std::optional<RunKind> runKindFor(const QString& path);

class ScriptRun : public QObject {
    Q_OBJECT
public:
    ScriptRun(platform::Services services, OutputDock& dock, QObject* parent = nullptr);
    ~ScriptRun() override;

    // Why a script of this name cannot run here (no bash for a ".sh"
    // script, say); empty when it can.
    QString unavailableReason(const QString& path) const;
    // Runs the script saved at `path`; false when it was refused (another
    // run is going, the file cannot be read) or could not start.
    bool start(const QString& path);
    bool running() const;
    void stop();
    // The gmt program a run uses; empty when GMT cannot be found.
    QString gmtProgram() const;

signals:
    // Every run's start and end, for what shows the run's results.
    void runStarted(const QString& scriptFolder);
    void runFinished(const QString& scriptText);

private:
    QString bashProgram() const;
    void readOutput(platform::ProcessStream stream, const QByteArray& piece);
    void readLine(bool error, const std::string& line);
    // What the streams hold without a line end, as lines of their own.
    void endPartialLines();
    void showLineStarted(int line);
    void addMessage(const std::optional<LinkedMessage>& message);
    void finish(int exitStatus, const QString& failure = {});
    bool startBatchRunner(const QString& path);

    platform::Services services_;
    OutputDock& dock_;
    std::unique_ptr<platform::RunningProcess> process_;
    tools::WorkerBridge* bridge_ = nullptr;
    std::unique_ptr<RunMessageReader> reader_;
    LineCollector out_, err_;
    bool traced_ = false;
    bool stopRequested_ = false;
    bool active_ = false;
    QString scriptText_;
    QElapsedTimer clock_;
};

}  // namespace mq::app
