// The Swiss grid formulas: published reference points, the inverse and round
// trips. (Their agreement with PROJ is in test_proj_agreement.cpp.)
#include "calc/swiss_grid.h"

#include <doctest/doctest.h>

#include <cmath>

using mq::calc::swiss_to_wgs84;
using mq::calc::wgs84_to_swiss;

TEST_CASE("swiss_to_wgs84 at published points, and back")
{
    struct Row {
        double x, y, lon, lat;
    };
    const Row rows[] = {{200000, 600000, 7.43863722, 46.95108111}, {100000, 700000, 8.73049933, 46.04412678}};
    for (const Row& row : rows) {
        const auto r = swiss_to_wgs84(row.x, row.y);
        CHECK(r.longitude == doctest::Approx(row.lon).epsilon(1e-12));
        CHECK(r.latitude == doctest::Approx(row.lat).epsilon(1e-12));
    }
    const auto g = wgs84_to_swiss(7.43863722, 46.95108111);
    CHECK(std::abs(g.y - 600000) < 1);
    CHECK(std::abs(g.x - 200000) < 1);
}

TEST_CASE("Swiss grid round trip over Switzerland")
{
    for (double y = 490000; y <= 830000; y += 40000)
        for (double x = 80000; x <= 290000; x += 25000) {
            const auto ll = swiss_to_wgs84(x, y);
            const auto back = wgs84_to_swiss(ll.longitude, ll.latitude);
            CAPTURE(y);
            CAPTURE(x);
            CHECK(std::hypot(back.y - y, back.x - x) < 5);
        }
}
