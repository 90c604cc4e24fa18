#include "common/ui/worker_bridge.h"

namespace mq::tools {

WorkerBridge::WorkerBridge(QObject* parent) : QObject(parent)
{
    timer_.setInterval(50);
    connect(&timer_, &QTimer::timeout, this, &WorkerBridge::poll);
}

WorkerBridge::~WorkerBridge() { stopAndWait(); }

bool WorkerBridge::start(WorkerRunner::Job job, std::function<void()> on_finished)
{
    if (runner_.running()) return false;
    onFinished_ = std::move(on_finished);
    last_ = Progress{};
    if (!runner_.start(std::move(job))) return false;
    timer_.start();
    return true;
}

void WorkerBridge::stopAndWait()
{
    timer_.stop();
    runner_.request_stop();
    runner_.join();
    onFinished_ = nullptr;
}

void WorkerBridge::poll()
{
    const Progress now = runner_.control().latest();
    if (now.count != last_.count || now.done != last_.done || now.total != last_.total) {
        last_ = now;
        emit progress(now);
    }
    if (!runner_.finished()) return;
    timer_.stop();
    runner_.join();
    const Progress final_progress = runner_.control().latest();
    if (final_progress.count != last_.count || final_progress.done != last_.done) {
        last_ = final_progress;
        emit progress(final_progress);
    }
    auto done = std::move(onFinished_);
    onFinished_ = nullptr;
    if (done) done();
}

}  // namespace mq::tools
