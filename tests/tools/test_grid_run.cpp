// The folders of gridding runs: each run gets a fresh one, and the clearing
// at start-up removes those of runs that have ended, never a live run's
// folder or anything that is not a run's folder.
#include "temp_folder.h"
#include "tools/grid_run.h"

#include <doctest/doctest.h>

#include <filesystem>

using namespace mq::tools;
using mq::testing::TempFolder;

TEST_CASE("remove_stale_grid_runs")
{
    TempFolder dir;
    auto live = GridRunFolder::create(dir.root().string());
    auto other = GridRunFolder::create(dir.root().string());
    REQUIRE((live.ok() && other.ok()));
    CHECK(live->path() != other->path());   // two runs never share a folder
    CHECK(dir.exists(std::filesystem::path(live->path()).filename().string() + "/run.lock"));
    for (const char* folder : {"mapquill-grid-ended", "mapquill-grid-going", "mapquill-grid-nolock", "other"})
        std::filesystem::create_directory(dir.path(folder));
    dir.write("mapquill-grid-ended/run.lock", "");   // a run that ended without clearing up
    dir.write("mapquill-grid-ended/x_srtm.grd", "scratch");
    dir.write("mapquill-grid-going/run.lock", "");   // its batch file still running (held below)
    dir.write("mapquill-grid-nolock/x_srtm.grd", "not ours");
    dir.write("mapquill-grid-file", "not a folder");
    dir.write("other/run.lock", "");
    const GridRunLock going = GridRunLock::hold(dir.path("mapquill-grid-going"));
    CHECK(going.held());
    CHECK(!GridRunLock::hold(dir.path("other")).held());
#ifndef _WIN32
    std::filesystem::create_directory_symlink(dir.path("other"), dir.path("mapquill-grid-link"));
#endif
    CHECK(remove_stale_grid_runs(dir.root().string()) == 1);
    const std::pair<const char*, bool> rows[] = {   // what is left
        {"mapquill-grid-ended", false},
        {"mapquill-grid-going/run.lock", true},
        {"mapquill-grid-nolock/x_srtm.grd", true},
        {"mapquill-grid-file", true},
        {"other/run.lock", true},
    };
    for (const auto& [name, kept] : rows) CHECK_MESSAGE(dir.exists(name) == kept, std::string(name));
    CHECK(std::filesystem::exists(live->path()));

    // A run's own end removes its folder.
    const std::string folder = live->path();
    live->remove();
    CHECK(!std::filesystem::exists(folder));
    CHECK(!GridRunFolder::create(dir.path("missing/folder")).ok());
}
