// Converts a text file of UTM easting, northing and depth lines into
// longitude, latitude and depth lines (degrees with decimal minutes).
#pragma once

#include "calc/utm_conversion.h"
#include "common/result.h"
#include "tools/runner.h"

#include <cstdint>
#include <string>

namespace mq::tools {

// What went wrong, so that a window can word its message; the Error says
// what and where.
// The numbers also serve as error numbers in messages.
enum class UtmFileFailure {
    None = 0,
    NoDelimiter = 1,  // a data line without a blank or TAB (an empty line too)
    WrongPath = 2,    // a folder of the input or output path does not exist
    SameFile = 3,     // the output names the input
    BadZone = 4,      // the zone is not one of 1 to 60
    CannotRead = 5,   // the input is missing or cannot be read
    CannotWrite = 6,  // the output cannot be written
    BadLine = 7,      // a field that is not a number, a missing field, a point beyond a pole
};

struct UtmFileResult {
    std::int64_t lines = 0;    // input lines read, comments included
    std::int64_t written = 0;  // output lines written (and kept, also after a failure)
    bool stopped = false;      // ended by the stop query before the end of the input
    // After a stop or a failure: the note when an existing output was kept
    // (io::stopped_note), also in error.note.
    std::string kept;
    UtmFileFailure failure = UtmFileFailure::None;
    Error error;  // set when failure is not None

    bool ok() const { return failure == UtmFileFailure::None; }
};

// Input lines: "#" first is a comment; otherwise blanks count as TABs and
// field 1 is the easting, field 2 the northing, field 3 is copied as text
// (later fields are ignored). Output lines: longitude, TAB, latitude, TAB,
// field 3, CR LF, the angles as dec2degmm writes them. The stop query is read
// before each line; progress counts the lines read. On a bad line or a stop
// the lines before it stay in the output (in its ".partial" file when the
// output existed, see io::OutputFile::keep_partial).
UtmFileResult convert_utm_file(const std::string& input, const std::string& output,
                               const calc::UtmState& state, const ProgressFn& progress, const StopFn& stop);

}  // namespace mq::tools
