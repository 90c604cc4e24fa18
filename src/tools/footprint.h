// The sea-floor points insonified by a conical echo-sounder beam: for every
// ping inside a geographic box, a regular pattern of points within the beam's
// circular footprint, written as binary (longitude, latitude, 1.0) records.
// And the number of grid nodes a box spans at a spacing.
#pragma once

#include "common/result.h"
#include "tools/runner.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace mq::tools {

// The box edges in decimal degrees (see calc::coord_to_decimal).
struct GeoBox {
    double lat_min = 0;
    double lat_max = 0;
    double lon_min = 0;
    double lon_max = 0;
};

// The area as the closing message shows it: a whole number of square metres.
std::string area_text(double area);

// Reads pings "longitude latitude depth" (blanks, pairs of blanks, commas and
// TABs separate the fields; empty or blank lines are skipped) and writes, for each
// ping inside the box (edges included), the footprint points of the beam
// (full opening angle in degrees) at the given spacing in metres. The stop
// query is read before each line and each row of a footprint; progress
// counts lines, its count being the last ping whose line number is a
// multiple of 10. On a bad line or a stop the records written so far stay
// in the output (beside an existing output, see io::OutputFile::keep_partial)
// and the Error names the line. The summary counts the input `lines` read,
// the `pings` inside the box, the 24-byte `records` written, the
// `distinct_points` (records minus the mirror images that coincide) and the
// `area` in square metres (distinct points times the spacing squared).
Result<RunSummary> calc_footprint_file(const std::string& input, const std::string& output, const GeoBox& box,
                                       double beam_width, double spacing, const ProgressFn& progress,
                                       const StopFn& stop);

struct GridSize {
    double x = 0;  // nodes along the longitude, a whole number
    double y = 0;  // nodes along the latitude
};

// X = (lon max - lon min) * 60 * cos(mean latitude) * 1852 / g and
// Y = (lat max - lat min) * 1852 * 60 / g, both rounded halves to even, with
// g the spacing text rounded to a whole number and the mean latitude the
// mean of the absolute box latitudes. An Error when g is not a number or not
// at least 1.
Result<GridSize> calc_grid_size(const GeoBox& box, std::string_view spacing_text);

// "X: 6524 / Y: 11112"
std::string grid_size_text(const GridSize& size);

}  // namespace mq::tools
