// The insonified-area calculator: footprint records, the box, the line
// reader's separators and bad input, the stop, and the grid size.
#include "temp_folder.h"
#include "tools/footprint.h"
#include "tools/tile_fixture.h"

#include <doctest/doctest.h>

#include <cmath>
#include <string>

using mq::tools::GeoBox;
using namespace mq::testing;

namespace {

const GeoBox kBox{10, 11, 20, 21};

}  // namespace

TEST_CASE("calc_footprint_file: one ping gives 88 records inside the beam's circle")
{
    TempFolder dir;
    const auto r = mq::tools::calc_footprint_file(dir.write("pings.txt", "20.5 10.5 100\n"), dir.path("out.bin"),
                                                  kBox, 6.46, 1, {}, {});
    REQUIRE(r);
    CHECK((r->records == 88 && r->distinct_points == 88));
    CHECK(mq::tools::area_text(r->area) == "88");
    const std::string bytes = dir.read("out.bin");
    REQUIRE(bytes.size() == 88 * 24);
    // Every record: little-endian doubles, within the 5.643 m radius, value 1.
    const double metres_per_degree = 60 * 1852.0;
    for (std::size_t at = 0; at < bytes.size(); at += 24) {
        CHECK(double_at(bytes, at + 16) == 1.0);
        const double dy = (double_at(bytes, at + 8) - 10.5) * metres_per_degree;
        const double dx = (double_at(bytes, at) - 20.5) * metres_per_degree * std::cos(10.5 * 3.14159265358979 / 180);
        CHECK(std::hypot(dx, dy) <= 5.6431);
    }
    // The first record is the north-west point of the first row that has one.
    CHECK((double_at(bytes, 0) < 20.5 && double_at(bytes, 8) > 10.5));
}

TEST_CASE("calc_footprint_file: pings, separators and the line that stops a run")
{
    struct Row {
        const char* input;
        int pings, records;
        std::string error;   // Error::text() after the input's path and ", "; empty when none
        double spacing;
    };
    const Row rows[] = {
        {"20.5 10.5 -100\n", 1, 88, "", 1},   // the depth's sign does not matter
        // The box's edges are in, what is outside out.
        {"20 10 100\r\n21 11 100\n21.0001 10.5 100\n20.5 9.9999 100\n", 2, 176, "", 1},
        {"20.5,10.5,100\n20.5  10.5  100\n20.5\t10.5\t100\n", 3, 264, "", 1},
        {"\n20.5 10.5 100\n \t\r\n", 1, 88, "", 1},   // empty and blank lines skipped
        {"20.5 10.5 100\n20.5   10.5 100\n", 1, 88, "line 2: field 2 is not a number", 1},
        {"20.5 10.5\n", 0, 0, "line 1: a ping needs three fields: longitude, latitude and depth", 1},
        // Lines ended by CR alone read as one line: refused, not a ping lost.
        {"20.5 10.5 100 x\r20.6 10.4 -120\r", 0, 0, "line 1: the line holds a CR before its end: lines must end with LF or CR LF, not with CR alone", 1},
        // A spacing below the coordinates' precision, a huge depth.
        {"20.5 10.5 1e-9\n", 1, 4, "line 1: the point spacing is too small for the coordinates", 1e-12},
        {"20.5 10.5 1e300\n", 1, 0, "line 1: the footprint of this ping is too large for a point spacing of 1 m", 1},
    };
    for (const Row& row : rows) {
        CAPTURE(row.input);
        TempFolder dir;
        const std::string in = dir.write("pings.txt", row.input);
        const auto r = mq::tools::calc_footprint_file(in, dir.path("out.bin"), kBox, 6.46, row.spacing, {}, {});
        CHECK(error_text(r) == (row.error.empty() ? "" : in + ", " + row.error));
        if (r) CHECK((r->pings == row.pings && r->records == row.records));
        CHECK(dir.read("out.bin").size() == std::size_t(row.records) * 24);   // records before a bad line stay
    }
}

TEST_CASE("calc_footprint_file refuses bad settings and leaves the input alone")
{
    struct Row {
        double spacing, lat_max;
        const char *input, *output;
        std::string error;
    };
    const Row rows[] = {
        {0, 11, "pings.txt", "out.bin", "greater than 0"},
        {-1, 11, "pings.txt", "out.bin", "greater than 0"},
        {std::nan(""), 11, "pings.txt", "out.bin", "greater than 0"},
        {1e-300, 11, "pings.txt", "out.bin", "too large for a point spacing of 1E-300 m"},
        {1, 200, "pings.txt", "out.bin", "between -90 and 90"},
    };
    for (const Row& row : rows) {
        TempFolder dir;
        dir.write("pings.txt", "20.5 10.5 100\n");
        GeoBox box = kBox;
        box.lat_max = row.lat_max;
        const auto r = mq::tools::calc_footprint_file(dir.path(row.input), dir.path(row.output), box, 6.46,
                                                      row.spacing, {}, {});
        CHECK(matched(error_text(r), row.error) == row.error);
        CHECK(dir.read("pings.txt") == "20.5 10.5 100\n");
    }
}

TEST_CASE("calc_footprint_file: progress, and a stop keeps what was written, beside an existing output")
{
    TempFolder dir;
    std::string input;
    for (int i = 0; i < 25; ++i) input += "20.5 10.5 100\n";
    const std::string in = dir.write("pings.txt", input + "30 30 100\n");
    std::int64_t shown = 0;
    auto progress = [&](const mq::tools::Progress& p) { shown = p.count; };
    const auto all = mq::tools::calc_footprint_file(in, dir.path("out.bin"), kBox, 6.46, 1, progress, {});
    CHECK((all && !all->stopped && all->lines == 26));
    CHECK(shown == 20);   // the last in-box ping whose line number is a multiple of 10

    int asked = 0;
    const auto stopped =
        mq::tools::calc_footprint_file(in, dir.path("out.bin"), kBox, 6.46, 1, {}, [&] { return asked++ >= 3; });
    REQUIRE((stopped && stopped->stopped));
    CHECK((stopped->pings >= 1 && stopped->pings < 25));
    // The output of the first run stays; the records of the stopped one lie beside it.
    CHECK(dir.read("out.bin").size() == 25 * 88 * 24);
    CHECK(dir.read("out.partial.bin").size() == std::size_t(stopped->records) * 24);
    CHECK(stopped->kept == "Stopped after " + std::to_string(stopped->records) +
                                      " records, kept in " + dir.path("out.partial.bin") + "; " +
                                      dir.path("out.bin") + " is unchanged.");
}

TEST_CASE("calc_grid_size")
{
    const GeoBox box54{54, 54.1, 10, 10.1};
    const std::tuple<GeoBox, const char*, std::string> rows[] = {   // box, spacing, label or part of the error
        {box54, "1", "X: 6524 / Y: 11112"},
        {GeoBox{-10, 10, 0, 1}, "1000", "X: 109 / Y: 2222"},   // the mean of the absolute latitudes
        {box54, "2.5", "X: 3262 / Y: 5556"},                   // the spacing rounds to 2
        {box54, "0.4", "at least 1"},
        {box54, "-5", "at least 1"},
        {box54, "x", "not a number"},
        {box54, "", "not a number"},
    };
    for (const auto& [box, spacing, expected] : rows) {
        const auto r = mq::tools::calc_grid_size(box, spacing);
        CHECK((r.ok() ? mq::tools::grid_size_text(r.value()) : matched(error_text(r), expected)) == expected);
    }
}
