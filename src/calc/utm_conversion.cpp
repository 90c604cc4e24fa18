#include "calc/utm_conversion.h"

#include "common/number_rules.h"

#include <cmath>

namespace mq::calc {

namespace {

// The values of the formulas as users' results depend on them: pi is this
// literal, not the full-precision constant.
constexpr double kPi = 3.14159265358979;
constexpr double kDegToRad = kPi / 180;
constexpr double kRadToDeg = 180 / kPi;
constexpr double kA = 6378137;
constexpr double kE2 = 0.00669438;
constexpr double kEp2 = kE2 / (1 - kE2);
constexpr double kK0 = 0.9996;
constexpr double kFalseEasting = 500000;
constexpr double kFalseNorthingSouth = 10000000;

constexpr double kE4 = kE2 * kE2;
constexpr double kE6 = kE4 * kE2;
constexpr double kM1 = 1 - kE2 / 4 - 3 * kE4 / 64 - 5 * kE6 / 256;

Error not_convertible()
{
    return Error{"the position cannot be converted", "", 0}.as(ErrorKind::type_mismatch);
}

// "easting 500000 and northing 100000000" for the messages of the inverse.
std::string grid_values(double easting, double northing)
{
    return "easting " + numbers::general_text(easting) + " and northing " + numbers::general_text(northing);
}

bool fits_int16(long value)
{
    return value >= -32768 && value <= 32767;
}

}  // namespace

Result<UtmPosition> latlon_to_utm_position(double longitude, double latitude)
{
    if (!std::isfinite(longitude) || !std::isfinite(latitude)) return not_convertible();
    if (auto on_earth = check_latitude(latitude); !on_earth) return on_earth.error();
    const double shifted = longitude + 180;
    double lon = shifted - std::floor(shifted / 360) * 360 - 180;
    // For magnitudes where the subtraction above loses the value, the exact
    // remainder gives the same normalisation.
    if (!(lon >= -180 && lon < 180)) {
        lon = std::fmod(shifted, 360);
        if (lon < 0) lon += 360;
        lon -= 180;
        if (lon >= 180) lon -= 360;
    }
    const double phi = latitude * kDegToRad;
    const double lambda = lon * kDegToRad;

    int zone = static_cast<int>(std::floor((lon + 180) / 6)) + 1;
    if (latitude >= 56 && latitude < 64 && lon >= 3 && lon < 12) zone = 32;
    const double lambda0 = ((zone - 1) * 6 - 180 + 3) * kDegToRad;

    const double sin_phi = std::sin(phi);
    const double cos_phi = std::cos(phi);
    const double tan_phi = std::tan(phi);
    const double n = kA / std::sqrt(1 - kE2 * sin_phi * sin_phi);
    const double t = tan_phi * tan_phi;
    const double c = kEp2 * cos_phi * cos_phi;
    const double a = cos_phi * (lambda - lambda0);
    const double m =
        kA * (kM1 * phi - (3 * kE2 / 8 + 3 * kE4 / 32 + 45 * kE6 / 1024) * std::sin(2 * phi) +
              (15 * kE4 / 256 + 45 * kE6 / 1024) * std::sin(4 * phi) - (35 * kE6 / 3072) * std::sin(6 * phi));

    const double a2 = a * a;
    const double a3 = a2 * a;
    const double a4 = a3 * a;
    const double a5 = a4 * a;
    const double a6 = a5 * a;
    const double easting =
        kK0 * n * (a + (1 - t + c) * a3 / 6 + (5 - 18 * t + t * t + 72 * c - 58 * kEp2) * a5 / 120) +
        kFalseEasting;
    double northing = kK0 * (m + n * tan_phi *
                                     (a2 / 2 + (5 - t + 9 * c + 4 * c * c) * a4 / 24 +
                                      (61 - 58 * t + t * t + 600 * c - 330 * kEp2) * a6 / 720));
    if (latitude < 0) northing += kFalseNorthingSouth;
    if (!std::isfinite(easting) || !std::isfinite(northing)) return not_convertible();
    return UtmPosition{zone, numbers::round_to(easting, 3), numbers::round_to(northing, 3)};
}

Result<std::string> latlon_to_utm(double longitude, double latitude)
{
    const auto p = latlon_to_utm_position(longitude, latitude);
    if (!p) return p.error();
    return std::to_string(p->zone) + ":" + numbers::general_text(p->easting) + ":" +
           numbers::general_text(p->northing);
}

Status check_utm_zone(int zone)
{
    if (zone >= 1 && zone <= 60) return {};
    return Error{"zone " + std::to_string(zone) + " does not exist: UTM zones are whole numbers from 1 to 60",
                 "", 0}
        .as(ErrorKind::type_mismatch);
}

Result<std::int16_t> read_utm_zone(std::string_view text)
{
    const auto value = numbers::read_number(text);
    if (!value || *value != std::floor(*value) || *value < 1 || *value > 60)
        return Error{"the zone '" + std::string(text) + "' is not a whole number from 1 to 60", "", 0}.as(
            ErrorKind::type_mismatch);
    return static_cast<std::int16_t>(*value);
}

Result<int> utm_central_meridian(int zone)
{
    // (zone - 1) * 6 - 180 + 3, each step checked as a 16-bit value.
    long value = zone;
    const bool fits = fits_int16(value) && fits_int16(value -= 1) && fits_int16(value *= 6) &&
                      fits_int16(value -= 180) && fits_int16(value += 3);
    if (!fits)
        return Error{"zone " + std::to_string(zone) + " is out of range (overflow)", "", 0}.as(
            ErrorKind::type_mismatch);
    return static_cast<int>(value);
}

Result<LonLat> utm_to_lonlat(double easting, double northing, const UtmState& state)
{
    if (state.utm_zone < 1 || state.utm_zone > 60) return check_utm_zone(state.utm_zone).error();
    // utm_central_meridian's 16-bit steps cannot overflow for a zone that
    // exists; this runs once per line of a file.
    const int meridian = (state.utm_zone - 1) * 6 - 180 + 3;

    const double root = std::sqrt(1 - kE2);
    const double e1 = (1 - root) / (1 + root);
    const double x = easting - kFalseEasting;
    double y = northing;
    if (state.utm_hemisphere != "N") y -= kFalseNorthingSouth;

    const double m = y / kK0;
    const double mu = m / (kA * kM1);
    const double e1_2 = e1 * e1;
    const double e1_3 = e1_2 * e1;
    const double e1_4 = e1_3 * e1;
    const double phi1 = mu + (3 * e1 / 2 - 27 * e1_3 / 32) * std::sin(2 * mu) +
                        (21 * e1_2 / 16 - 55 * e1_4 / 32) * std::sin(4 * mu) +
                        (151 * e1_3 / 96) * std::sin(6 * mu);

    const double sin1 = std::sin(phi1);
    const double cos1 = std::cos(phi1);
    const double tan1 = std::tan(phi1);
    const double w = 1 - kE2 * sin1 * sin1;
    const double n1 = kA / std::sqrt(w);
    const double t1 = tan1 * tan1;
    const double c1 = kEp2 * cos1 * cos1;
    const double r1 = kA * (1 - kE2) / std::pow(w, 1.5);
    const double d = x / (n1 * kK0);
    const double d2 = d * d;
    const double d3 = d2 * d;
    const double d4 = d3 * d;
    const double d5 = d4 * d;
    const double d6 = d5 * d;

    const double latitude =
        (phi1 - (n1 * tan1 / r1) *
                    (d2 / 2 - (5 + 3 * t1 + 10 * c1 - 4 * c1 * c1 - 9 * kEp2) * d4 / 24 +
                     (61 + 90 * t1 + 298 * c1 + 45 * t1 * t1 - 252 * kEp2 - 3 * c1 * c1) * d6 / 720)) *
        kRadToDeg;
    const double longitude =
        meridian + ((d - (1 + 2 * t1 + c1) * d3 / 6 +
                     (5 - 2 * c1 + 28 * t1 - 3 * c1 * c1 + 8 * kEp2 + 24 * t1 * t1) * d5 / 120) /
                    cos1) *
                       kRadToDeg;
    if (!std::isfinite(latitude) || !std::isfinite(longitude))
        return Error{grid_values(easting, northing) + " give no position: the result is not a finite number",
                     "", 0}
            .as(ErrorKind::type_mismatch);
    // Far north or south of the zone's range the series runs past the pole.
    if (!check_latitude(latitude))
        return Error{grid_values(easting, northing) + " give latitude " +
                         numbers::general_text(numbers::round_to(latitude, 6)) +
                         ", which is out of range: latitudes run from -90 to 90",
                     "", 0}
            .as(ErrorKind::type_mismatch);
    return LonLat{longitude, latitude};
}

Result<std::string> utm_to_latlon(double easting, double northing, const UtmState& state)
{
    const auto p = utm_to_lonlat(easting, northing, state);
    if (!p) return p.error();
    return numbers::general_text(p->longitude) + ":" + numbers::general_text(p->latitude);
}

}  // namespace mq::calc
