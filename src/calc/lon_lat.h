// A geographic position in decimal degrees, as the coordinate routines
// (UTM, Swiss grid) return it.
#pragma once

namespace mq::calc {

struct LonLat {
    double longitude = 0;   // east positive
    double latitude = 0;    // north positive
};

}  // namespace mq::calc
