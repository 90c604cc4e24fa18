// Evenly spaced positions on the straight line between two points, written
// as a text file of "x TAB y" lines.
#pragma once

#include "common/result.h"
#include "tools/runner.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace mq::tools {

struct TrackRequest {
    // Coordinate texts as typed: decimal or degrees[:minutes[:seconds]], read
    // by calc::coord_to_decimal after every "," is taken as ".".
    std::string x1, x2, y1, y2;
    std::string samples = "100";  // number of steps N, rounded halves to even
    std::string output;
    // Refuse a number of steps that is not a whole number instead of
    // rounding it (the command line: "2.5" is no count of steps).
    bool whole_samples = false;
};

// Writes N + 1 lines "x TAB y CR LF": the start point, then N steps of
// (x2 - x1) / N and (y2 - y1) / N added one after the other, each position
// rounded to 10 decimals when written and shown in the general form.
// A coordinate or count that is not a number, or a count below 1, is
// reported before the output is created. Progress counts the lines written
// of N + 1. The stop query is asked before every step; the lines written
// before a stop stay (beside an existing output, see
// io::OutputFile::keep_partial). `records` counts the lines written.
Result<RunSummary> calc_track_positions(const TrackRequest& request, const ProgressFn& progress,
                                          const StopFn& stop);

}  // namespace mq::tools
