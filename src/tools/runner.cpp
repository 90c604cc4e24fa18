#include "tools/runner.h"

#include <exception>

namespace mq::tools {

WorkerRunner::~WorkerRunner()
{
    request_stop();
    join();
}

bool WorkerRunner::start(Job job)
{
    if (thread_.joinable()) return false;
    control_.reset();
    finished_.store(false);
    thread_ = std::thread([this, job = std::move(job)] {
        try {
            job(control_);
        } catch (...) {
            // A job reports its failures in its result; nothing may escape
            // the thread, or the program would end.
        }
        finished_.store(true, std::memory_order_release);
    });
    return true;
}

void WorkerRunner::join()
{
    if (thread_.joinable()) thread_.join();
}

}  // namespace mq::tools
