// Swiss grid (CH1903, metres) to WGS 84 and back with the approximate
// formulas published by the Swiss federal office of topography. They agree
// with a rigorous transformation to about a metre inside Switzerland.
//
// Swiss grid convention: X is the north coordinate (200000 m at the origin
// in Bern), Y the east coordinate (600000 m at the origin).
#pragma once

#include "calc/lon_lat.h"

namespace mq::calc {

struct SwissGrid {
    double y = 0;   // east, metres
    double x = 0;   // north, metres
};

// Longitude and latitude of a Swiss grid point, each rounded to 8 decimals
// with halves to the even neighbour.
LonLat swiss_to_wgs84(double x, double y);

// The Swiss grid coordinates of a WGS 84 point, not rounded (writers show
// them with 2 decimals).
SwissGrid wgs84_to_swiss(double lon, double lat);

}  // namespace mq::calc
