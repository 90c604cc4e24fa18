// Runs a tool's job on a worker thread for a window: progress arrives on the
// window's thread a few times a second, the end arrives there once, a second
// start is refused while a job runs, and the bridge stops and waits for the
// job before it goes away (so closing the window stops the run).
#pragma once

#include "tools/runner.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

namespace mq::tools {

class WorkerBridge : public QObject {
    Q_OBJECT
public:
    explicit WorkerBridge(QObject* parent = nullptr);
    ~WorkerBridge() override;

    // Starts the job; `on_finished` then runs on this object's thread after
    // the job has returned. False while a job is running.
    bool start(WorkerRunner::Job job, std::function<void()> on_finished);
    // The same for a job that returns its outcome: `done(outcome)` runs on
    // this object's thread once the job has returned. The job gets copies of
    // what it needs; it never touches the window.
    template <class Job, class Done>
    bool run(Job job, Done done)
    {
        using Outcome = std::invoke_result_t<Job&, RunControl&>;
        auto outcome = std::make_shared<std::optional<Outcome>>();
        return start([outcome, job](RunControl& control) mutable { outcome->emplace(job(control)); },
                     [outcome, done]() mutable {
                         if (*outcome) done(**outcome);
                     });
    }
    bool running() const { return runner_.running(); }
    // Asks the job to stop before its next record.
    void stop() { runner_.request_stop(); }
    // Asks the job to stop and waits for it; `on_finished` is not called.
    void stopAndWait();

    // How often progress is passed on, in milliseconds.
    void setInterval(int ms) { timer_.setInterval(ms); }

signals:
    void progress(const mq::tools::Progress& p);

private:
    void poll();

    WorkerRunner runner_;
    QTimer timer_;
    std::function<void()> onFinished_;
    Progress last_;
};

}  // namespace mq::tools
