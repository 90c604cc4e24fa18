// A geographic position in decimal degrees, as the coordinate routines
// (UTM, Swiss grid) return it, and the range its latitude must lie in.
#pragma once

#include "common/result.h"

namespace mq::calc {

struct LonLat {
    double longitude = 0;   // east positive
    double latitude = 0;    // north positive
};

// Latitudes run from -90 to 90 (both included): a latitude beyond a pole
// names no place. An Error naming the value for any other (NaN included).
Status check_latitude(double latitude);

}  // namespace mq::calc
