// Geographic coordinates to UTM and back on the WGS 84 ellipsoid, with the
// transverse Mercator series (Snyder, USGS Professional Paper 1395) truncated
// after the A^6 / D^6 terms. These formulas, their constants (pi as
// 3.14159265358979, e^2 as 0.00669438) and their rounding are the program's
// contract: results must stay byte for byte what users have in their files.
#pragma once

#include "calc/lon_lat.h"
#include "common/result.h"

#include <cstdint>
#include <string>

namespace mq::calc {

// Zone and hemisphere of the inverse conversion, set by the caller before
// each use. Only "N" (exactly, case matters) is the northern hemisphere;
// every other text, "S" and "n" included, is southern.
struct UtmState {
    std::int16_t utm_zone = 0;
    std::string utm_hemisphere;
};

struct UtmPosition {
    int zone = 0;
    double easting = 0;  // rounded to 3 decimals, halves to even
    double northing = 0;
};

// Longitude and latitude (decimal degrees, east and north positive) to UTM.
// The longitude is normalised into [-180, 180); the latitude is not checked.
// The one zone exception is 56 <= lat < 64 with 3 <= lon < 12 (zone 32).
// An Error only when the position is not finite or the result is not.
Result<UtmPosition> latlon_to_utm_position(double longitude, double latitude);
// The same as "zone:easting:northing" in the general form: "32:500000:5538630.703".
Result<std::string> latlon_to_utm(double longitude, double latitude);

// The central meridian of a zone in whole degrees, worked out in 16-bit
// arithmetic as users' files have always had it: an Error for a zone whose
// intermediate values leave -32768..32767 (zones below -5430 or above 5462).
// Zones are otherwise unlimited: zone 0 gives -183, zone 61 gives 183.
Result<int> utm_central_meridian(int zone);

// UTM easting and northing (metres) of the state's zone and hemisphere to
// longitude and latitude in decimal degrees, unrounded.
Result<LonLat> utm_to_lonlat(double easting, double northing, const UtmState& state);
// The same as "longitude:latitude" in the general form (15 significant digits).
Result<std::string> utm_to_latlon(double easting, double northing, const UtmState& state);

}  // namespace mq::calc
