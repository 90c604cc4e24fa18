// Runs one long file job on a worker thread. The job itself is plain code
// that reports progress and asks whether to stop through a RunControl; the
// window (or anything else) watches the control from its own thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace mq::tools {

// What a job has done so far: a count in the job's own unit (rows, lines,
// pings, records) and, where the input size is known, bytes done of total.
struct Progress {
    std::int64_t count = 0;
    std::int64_t done = 0;
    std::int64_t total = 0;   // 0: unknown
};

using ProgressFn = std::function<void(const Progress&)>;
using StopFn = std::function<bool()>;

// What a file tool's run did, when it did not fail. Every file tool returns
// Result<RunSummary>: the Error of a failed run names the file and line and,
// when an existing output was kept, carries the same note as `kept`.
struct RunSummary {
    std::int64_t records = 0;   // records (lines of a text output) written
    bool stopped = false;       // the stop query ended the run before the end of its input
    // After a stop: the note when an existing output was kept (io::stopped_note).
    std::string kept;
    std::int64_t lines = 0;     // input lines read, by the tools that read lines

    // What single tools add.
    std::int64_t left_over = 0;         // bin2ascii: bytes at the end too few for a record
    int samples_per_row = 0;            // srtm: 1201 or 3601
    std::int64_t pings = 0;             // footprint: pings inside the box
    std::int64_t distinct_points = 0;   // footprint: records minus the mirror images that coincide
    double area = 0;                    // footprint: distinct points times the spacing squared (m²)
};

// Shared between a running job and its watcher. Reporting is cheap (three
// relaxed stores), so a job may report after every record.
class RunControl {
public:
    void request_stop() { stop_.store(true, std::memory_order_relaxed); }
    bool stop_requested() const { return stop_.load(std::memory_order_relaxed); }

    void report(const Progress& p)
    {
        count_.store(p.count, std::memory_order_relaxed);
        done_.store(p.done, std::memory_order_relaxed);
        total_.store(p.total, std::memory_order_relaxed);
    }
    Progress latest() const
    {
        return {count_.load(std::memory_order_relaxed), done_.load(std::memory_order_relaxed),
                total_.load(std::memory_order_relaxed)};
    }

    // The two callbacks the operations take, bound to this control.
    ProgressFn progress_fn() { return [this](const Progress& p) { report(p); }; }
    StopFn stop_fn() { return [this] { return stop_requested(); }; }

    void reset()
    {
        stop_.store(false);
        report({});
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<std::int64_t> count_{0};
    std::atomic<std::int64_t> done_{0};
    std::atomic<std::int64_t> total_{0};
};

// One job at a time on its own thread. The job must not touch anything that
// belongs to another thread (windows, platform services): it gets copies of
// what it needs and leaves its result where the watcher picks it up after
// finished() turns true.
class WorkerRunner {
public:
    using Job = std::function<void(RunControl&)>;

    WorkerRunner() = default;
    ~WorkerRunner();
    WorkerRunner(const WorkerRunner&) = delete;
    WorkerRunner& operator=(const WorkerRunner&) = delete;

    // Starts the job; false (and nothing happens) while another one runs.
    bool start(Job job);
    // True from start() until the watcher has called join() after the end.
    bool running() const { return thread_.joinable(); }
    // True once the job has returned (its result may be read after join()).
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    void request_stop() { control_.request_stop(); }
    // Waits for the job to end.
    void join();

    RunControl& control() { return control_; }

private:
    RunControl control_;
    std::thread thread_;
    std::atomic<bool> finished_{false};
};

}  // namespace mq::tools
