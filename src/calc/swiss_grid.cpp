#include "calc/swiss_grid.h"

#include "common/number_rules.h"

#include <cmath>

namespace mq::calc {

namespace {

constexpr double kOriginX = 200000;
constexpr double kOriginY = 600000;
constexpr double kReach = 1000000;   // metres from the origin

bool near_origin(double x, double y)
{
    const double dx = x - kOriginX;
    const double dy = y - kOriginY;
    // Well inside or outside the sum of squares decides (it is off by a few
    // units in the last place at most); near the edge, and for values too
    // large to square, hypot does as it always has. False for NaN.
    const double squared = dx * dx + dy * dy;
    if (squared < 0.999 * kReach * kReach) return true;
    if (squared > 1.001 * kReach * kReach && std::isfinite(squared)) return false;
    return std::hypot(dx, dy) <= kReach;
}

}  // namespace

Status check_swiss_grid(double x, double y)
{
    if (near_origin(x, y)) return {};
    std::string message = "X " + numbers::general_text(x) + " and Y " + numbers::general_text(y) +
                          " lie farther than 1000 km from the origin of the Swiss grid (X 200000, Y 600000)";
    // The newer frame adds 1000 km to X and 2000 km to Y.
    if (near_origin(x - 1000000, y - 2000000))
        message +=
            "; they look like 7-digit coordinates of the newer frame (X 1200000, Y 2600000 at the "
            "origin): take 1000000 from X and 2000000 from Y";
    return Error{std::move(message), "", 0}.as(ErrorKind::type_mismatch);
}

LonLat swiss_to_wgs84(double x, double y)
{
    // Auxiliary values in units of 1000 km from the origin in Bern.
    const double ys = (y - 600000) / 1000000;
    const double xs = (x - 200000) / 1000000;
    // Longitude and latitude in units of 10000 arc seconds.
    const double lambda = 2.6779094 + 4.728982 * ys + 0.791484 * ys * xs + 0.1306 * ys * xs * xs -
                          0.0436 * ys * ys * ys;
    const double phi = 16.9023892 + 3.238272 * xs - 0.270978 * ys * ys - 0.002528 * xs * xs -
                       0.0447 * ys * ys * xs - 0.014 * xs * xs * xs;
    return {numbers::round_to(lambda * 100 / 36, 8), numbers::round_to(phi * 100 / 36, 8)};
}

SwissGrid wgs84_to_swiss(double lon, double lat)
{
    // Auxiliary values in units of 10000 arc seconds from Bern.
    const double phi = (lat * 3600 - 169028.66) / 10000;
    const double lambda = (lon * 3600 - 26782.5) / 10000;
    const double y = 600072.37 + 211455.93 * lambda - 10938.51 * lambda * phi -
                     0.36 * lambda * phi * phi - 44.54 * lambda * lambda * lambda;
    const double x = 200147.07 + 308807.95 * phi + 3745.25 * lambda * lambda + 76.63 * phi * phi -
                     194.56 * lambda * lambda * phi + 119.79 * phi * phi * phi;
    return {y, x};
}

}  // namespace mq::calc
