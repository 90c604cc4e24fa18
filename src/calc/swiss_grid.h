// Swiss grid (CH1903, metres) to WGS 84 and back with the approximate
// formulas published by the Swiss federal office of topography. They agree
// with a rigorous transformation to about a metre inside Switzerland.
//
// Swiss grid convention: X is the north coordinate (200000 m at the origin
// in Bern), Y the east coordinate (600000 m at the origin).
#pragma once

#include "calc/lon_lat.h"
#include "common/result.h"

namespace mq::calc {

struct SwissGrid {
    double y = 0;   // east, metres
    double x = 0;   // north, metres
};

// The formulas hold near Switzerland only; a point farther than 1000 km
// from the origin (X 200000, Y 600000) is refused with an Error naming X and
// Y, which also says so when they look like the 7-digit coordinates of the
// newer Swiss frame (X 1200000, Y 2600000 at the origin).
Status check_swiss_grid(double x, double y);

// Longitude and latitude of a Swiss grid point, each rounded to 8 decimals
// with halves to the even neighbour.
LonLat swiss_to_wgs84(double x, double y);

// The Swiss grid coordinates of a WGS 84 point, not rounded (writers show
// them with 2 decimals).
SwissGrid wgs84_to_swiss(double lon, double lat);

}  // namespace mq::calc
