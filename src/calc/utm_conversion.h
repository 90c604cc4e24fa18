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
#include <string_view>

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
// The longitude is normalised into [-180, 180) (190 is -170); the latitude
// must lie from -90 to 90, and the formulas are applied to all of it (no
// band limit). The one zone exception is 56 <= lat < 64 with 3 <= lon < 12
// (zone 32). An Error for a latitude beyond a pole, a position that is not
// finite, or a result that is not.
Result<UtmPosition> latlon_to_utm_position(double longitude, double latitude);
// The same as "zone:easting:northing" in the general form: "32:500000:5538630.703".
Result<std::string> latlon_to_utm(double longitude, double latitude);

// UTM zones are the whole numbers from 1 to 60; an Error naming any other.
Status check_utm_zone(int zone);

// A zone as typed: a number that is a whole number from 1 to 60. "11.5" is
// refused, not rounded; so are "0" and "61". Blanks around it are allowed.
Result<std::int16_t> read_utm_zone(std::string_view text);

// The central meridian of a zone in whole degrees, worked out in 16-bit
// arithmetic as users' files have always had it: an Error for a zone whose
// intermediate values leave -32768..32767 (zones below -5430 or above 5462).
// The arithmetic alone has no other limit (zone 0 gives -183, zone 61 gives
// 183); utm_to_lonlat takes only the zones check_utm_zone lets through.
Result<int> utm_central_meridian(int zone);

// UTM easting and northing (metres) of the state's zone and hemisphere to
// longitude and latitude in decimal degrees, unrounded. The longitude is not
// wrapped (181.2 stays 181.2). An Error for a zone that does not exist and
// for a result that is not finite or whose latitude lies beyond a pole.
Result<LonLat> utm_to_lonlat(double easting, double northing, const UtmState& state);
// The same as "longitude:latitude" in the general form (15 significant digits).
Result<std::string> utm_to_latlon(double easting, double northing, const UtmState& state);

}  // namespace mq::calc
