// A gridding run's own folder. Each run writes its batch file into a fresh
// folder under the user's temporary folder ("mapquill-grid-" and random
// letters); the batch's scratch grids (x_*) lie there too, so two runs never
// share a file. The folder holds a lock file for as long as a process that
// works in it lives: the program that made it, and mapquill-tools run-batch
// while it runs the batch file there. The folder is removed when its run has
// ended; folders left by runs that ended without that (a crash, a power cut)
// are removed at the next start of the program. A folder whose lock is still
// held, or that is not one of these folders, is never touched.
#pragma once

#include "common/result.h"
#include "tools/batch_runner.h"
#include "tools/runner.h"
#include "tools/srtm_tile.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace mq::tools {

inline constexpr std::string_view kGridRunPrefix = "mapquill-grid-";
inline constexpr std::string_view kGridBatchName = "SRTM_grid.bat";

// The user's temporary folder ($TMPDIR or /tmp; %TEMP% on Windows).
std::string temporary_folder();

// A hold on a run folder's lock; the lock is let go when the last hold on it
// (in any process) goes away.
class GridRunLock {
public:
    GridRunLock() = default;
    ~GridRunLock() { release(); }
    GridRunLock(GridRunLock&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }
    GridRunLock& operator=(GridRunLock&& other) noexcept;
    GridRunLock(const GridRunLock&) = delete;
    GridRunLock& operator=(const GridRunLock&) = delete;

    // Holds the lock of `folder` when it is a run folder; otherwise holds nothing.
    static GridRunLock hold(const std::string& folder);
    bool held() const { return handle_ != -1; }
    void release();

private:
    friend class GridRunFolder;
    std::intptr_t handle_ = -1;
};

class GridRunFolder {
public:
    // A fresh folder under `parent` (the user's temporary folder when empty),
    // its lock held.
    static Result<GridRunFolder> create(const std::string& parent = {});

    GridRunFolder() = default;
    ~GridRunFolder() { remove(); }
    GridRunFolder(GridRunFolder&& other) noexcept
        : path_(std::move(other.path_)), lock_(std::move(other.lock_))
    {
        other.path_.clear();
    }
    GridRunFolder& operator=(GridRunFolder&& other) noexcept;
    GridRunFolder(const GridRunFolder&) = delete;
    GridRunFolder& operator=(const GridRunFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string batch_path() const;
    // Lets go of the lock and removes the folder with everything in it.
    void remove();

private:
    std::string path_;
    GridRunLock lock_;
};

// Removes the run folders directly under `parent` (the user's temporary
// folder when empty) whose lock nobody holds; returns how many. Only
// folders of this user with a run's name and lock file are looked at;
// links are never followed.
int remove_stale_grid_runs(const std::string& parent = {});

// "the gridding failed at line 5 of the batch file (surface ...): what
// surface said last".
std::string gridding_failure_text(const BatchRun& run);

// The whole gridding of converted records: the batch file written into a
// fresh run folder, run there by the batch runner, the folder removed. An
// Error names the failing line.
Status run_gridding(const GridBatch& batch, const std::string& parent = {});

}  // namespace mq::tools
