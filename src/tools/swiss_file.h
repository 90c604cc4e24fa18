// Converts a text file of Swiss grid coordinates with a third value into
// WGS 84 longitude and latitude (or, with `to_swiss`, the other way round).
//
// Each line is split at the delimiter; fields 1 and 2 are the coordinates
// in the chosen order, field 3 is copied unchanged (fields after it are
// dropped). Empty lines are skipped. Output lines end with CR LF:
//   to WGS 84:   longitude TAB latitude TAB field 3   (8 decimals at most)
//   to Swiss:    Y (east) TAB X (north) TAB field 3   (2 decimals)
// A line that cannot be converted stops the run; the lines written before
// it are kept (beside an existing output, see io::OutputFile::keep_partial)
// and the Error names the line.
#pragma once

#include "common/result.h"
#include "tools/runner.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace mq::tools {

struct SwissFileOptions {
    std::string delimiter = ",";   // the delimiter itself (see swiss_delimiter)
    // Field 1 is X (north) and field 2 is Y (east) unless `yx`. With
    // `to_swiss` the fields are longitude, latitude, or latitude, longitude
    // with `yx`.
    bool yx = false;
    bool to_swiss = false;
};

// The delimiter a choice of the delimiter box stands for: "TAB" is a TAB,
// "Space" one blank, any other text is itself.
std::string swiss_delimiter(std::string_view choice);

// One input line read: the first and second coordinate as the options order
// them (X, Y or longitude, latitude) and the third field.
struct SwissRecord {
    double first = 0;
    double second = 0;
    std::string_view third;
};

// Reads one non-empty line; the Error carries the problem but no line number.
Result<SwissRecord> read_swiss_line(std::string_view line, const SwissFileOptions& options);

// Appends the output line for a record, with its CR LF.
void write_swiss_line(const SwissRecord& record, const SwissFileOptions& options, std::string& out);

// Progress and `records` count the rows written. A file of a few MB or more is
// converted in blocks on two cores (see convert_in_blocks), with the same
// output and messages; the stop query is then read once per block.
Result<RunSummary> convert_swiss_file(const std::string& input, const std::string& output,
                                      const SwissFileOptions& options, const ProgressFn& progress,
                                      const StopFn& stop);

}  // namespace mq::tools
