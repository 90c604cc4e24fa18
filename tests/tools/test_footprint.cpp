// The insonified-area calculator: the records of one ping and the progress
// (the rest is in data/tool_cases.txt).
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

TEST_CASE("calc_footprint_file refuses a spacing that is not a number")
{
    TempFolder dir;
    const auto r = mq::tools::calc_footprint_file(dir.write("pings.txt", "20.5 10.5 100\n"), dir.path("out.bin"),
                                                  kBox, 6.46, std::nan(""), {}, {});
    CHECK(matched(error_text(r), "greater than 0") == "greater than 0");
}

TEST_CASE("calc_footprint_file: progress for every tenth line in the box")
{
    TempFolder dir;
    std::string input;
    for (int i = 0; i < 25; ++i) input += "20.5 10.5 100\n";
    std::int64_t shown = 0;
    auto progress = [&](const mq::tools::Progress& p) { shown = p.count; };
    const auto all = mq::tools::calc_footprint_file(dir.write("pings.txt", input + "30 30 100\n"),
                                                    dir.path("out.bin"), kBox, 6.46, 1, progress, {});
    CHECK((all && !all->stopped && all->lines == 26 && all->pings == 25));
    CHECK(shown == 20);   // the last in-box ping whose line number is a multiple of 10
}
