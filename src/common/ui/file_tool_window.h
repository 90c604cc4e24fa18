// What every file tool's window has, whatever else it shows: the path boxes
// (text dragged from one to the other replaces the selection) with their
// picture buttons, Start and Stop, the progress label and the thin bar, one
// run at a time on the worker thread (a second Start does nothing while a
// run goes on), closing stops the run, and the error box of a failed run.
//
// A window makes these controls itself, under its own names and in its own
// order (which is its tab order), through the make* calls, lays them out
// with its own controls, and says in start() what a Start runs.
#pragma once

#include "common/result.h"
#include "common/ui/file_tool_parts.h"
#include "common/ui/tool_context.h"
#include "common/ui/worker_bridge.h"

#include <QProgressBar>
#include <QWidget>

#include <functional>
#include <utility>

class QLabel;
class QLineEdit;
class QPushButton;

namespace mq::tools {

class FileToolWindow : public QWidget {
    Q_OBJECT
public:
    // True from Start until the run has ended.
    bool running() const { return bridge_->running(); }

protected:
    // A window of its own with the object name and title of its design.
    FileToolWindow(const ToolContext& context, const QString& name, const QString& title, QWidget* parent);

    QLineEdit* makePathBox(const QString& name);
    // The picture button beside a path box; a click runs `pick`.
    QPushButton* makePickButton(const QString& name, std::function<void()> pick);
    // Start runs start() unless a run goes on.
    QPushButton* makeStartButton(const QString& name, const QString& caption);
    // Stop asks the run to stop before its next record.
    QPushButton* makeStopButton(const QString& name);
    // The label that progress() writes to, and the bar below it, hidden
    // between runs (its place stays, so a run does not move the controls).
    QLabel* makeProgressLabel(const QString& name, const QString& caption);
    QProgressBar* makeProgressBar();

    // What Start does: read the controls and run() the tool.
    virtual void start() = 0;
    // Shows a run's progress; by default "Row #: N" and the share read.
    virtual void progress(const Progress& p) { showRowProgress(progressLabel_, bar_, p); }

    // Runs `job` (it gets copies of what it needs, never the window) on the
    // worker thread, then `done(result)` on this window's thread; the bar
    // shows from 0 meanwhile. False while another run goes on.
    template <class Job, class Done>
    bool run(Job job, Done done)
    {
        const bool started = bridge_->run(std::move(job), [this, done](const auto& result) {
            if (bar_) bar_->hide();
            done(result);
        });
        if (started && bar_) {
            bar_->setValue(0);
            bar_->show();
        }
        return started;
    }
    // The error box of a failed run, under the window's title.
    void showError(const Error& error) const;

    void closeEvent(QCloseEvent* event) override;

    ToolContext context_;
    WorkerBridge* bridge_ = nullptr;
    PathDrag* drag_ = nullptr;
    QLabel* progressLabel_ = nullptr;
    QProgressBar* bar_ = nullptr;
};

}  // namespace mq::tools
