// Converts a text file of UTM easting, northing and depth lines into
// longitude, latitude and depth lines (degrees with decimal minutes).
#pragma once

#include "calc/utm_conversion.h"
#include "common/result.h"
#include "tools/runner.h"

#include <string>

namespace mq::tools {

// An Error naming the first of the two paths whose folder does not exist.
Status check_folders(const std::string& input, const std::string& output);

// Input lines: "#" first is a comment; otherwise blanks count as TABs and
// field 1 is the easting, field 2 the northing, field 3 is copied as text
// (later fields are ignored). Output lines: longitude, TAB, latitude, TAB,
// field 3, CR LF, the angles as dec2degmm writes them. The stop query is read
// before each line; progress counts the lines read. A file of a few MB or more
// is converted in blocks on two cores (see convert_in_blocks): there both
// happen once per block, with the same output and messages. On a bad line or a stop
// the lines before it stay in the output (in its ".partial" file when the
// output existed, see io::OutputFile::keep_partial). `records` counts the
// lines written, `lines` the input lines read.
//
// Where a failure arose shows in its Error: a missing folder of either path
// is found first (ErrorKind::file_not_found, no line), then an output that
// names the input, a zone that does not exist, an input that cannot be read
// (the input, no line) or an output that cannot be written (the output, no
// line). A data line fails with its line number: one without a TAB or blank
// as ErrorKind::past_end (it ends before its second field), any other bad
// line as ErrorKind::type_mismatch.
Result<RunSummary> convert_utm_file(const std::string& input, const std::string& output,
                               const calc::UtmState& state, const ProgressFn& progress, const StopFn& stop);

}  // namespace mq::tools
