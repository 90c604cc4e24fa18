// Copies a text file to a new one while replacing texts, appending a text to
// each line and keeping only selected lines, or writing KML placemarks from
// groups of four lines; or replaces one text in the whole file at once.
//
// Bytes are kept as they are: lines are split at LF with a CR before it
// dropped, and every line written ends with CR LF. Nothing is re-encoded.
#pragma once

#include "common/result.h"
#include "tools/runner.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace mq::tools {

// Resolves the special texts of the search and fill-in boxes: a text that is
// exactly "CRLF" is CR LF, "TAB" a TAB, "CR" a CR and "LF" a LF (case
// matters); any other text is itself.
std::string replace_vb(std::string_view text);

struct ReplaceRow {
    bool on = false;
    std::string search;   // as typed; passed through replace_vb
    std::string fill;     // as typed; replace_vb, and "\t" (backslash, t) is a TAB
};

// The state of every control of the replace window.
struct ReplaceSettings {
    bool entire = false;   // the whole file as one text, one replacement
    std::string entire_search;
    std::string entire_fill;

    std::array<ReplaceRow, 4> rows{ReplaceRow{true, {}, {}}, ReplaceRow{}, ReplaceRow{}, ReplaceRow{}};
    bool add_to_each_line = false;
    std::string add_text;   // appended; then every "\t" in the line becomes a TAB

    bool take_if = false;          // keep lines that (do not) contain take_if_text
    std::string take_if_text;
    bool take_if_exists = true;    // false: keep the lines that do not contain it

    bool take_each = true;         // keep every n-th line
    std::string take_each_count = "1";

    bool kml = false;              // a placemark from this line and the next three
    // With kml: the placemarks as a complete KML document (XML declaration,
    // <kml>, <Document>, the placemarks, the closing tags). It holds nothing
    // else, so "Take each" must be off.
    bool kml_document = false;
};

// The "Take each" count as a number of 1 or more, or the Error to report.
Result<std::int64_t> take_each_count(std::string_view text);

// Splits a line at every single blank (runs of blanks give empty fields).
// Stores up to `max` fields and returns how many there are in all.
std::size_t split_blanks(std::string_view line, std::string_view* fields, std::size_t max);

// A placemark name as XML text: "&", "<", ">", '"' and "'" as entities; a
// name that is not valid UTF-8 is read as Windows-1252 (the code page of
// such files) and written in UTF-8; control characters XML cannot hold
// become U+FFFD. Anything else is kept byte for byte.
std::string kml_name(std::string_view name);

// Appends the placemark made of four lines: the name is field 0 of the
// first line (through kml_name), the corners are fields 9 and 10 of the
// first line and fields 8 and 9 of the others, copied as they stand once
// they have been read as numbers. An Error whose line is 1..4 names the line
// that has too few fields or a corner that is not a number.
Status append_placemark(const std::array<std::string_view, 4>& lines, std::string& out);

// What a complete KML document holds before and after its placemarks.
inline constexpr std::string_view kKmlDocumentStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\r\n"
    "<Document>\r\n";
inline constexpr std::string_view kKmlDocumentEnd = "</Document>\r\n</kml>\r\n";

// `records` and `lines` count the input lines worked on (the three extra
// lines of a placemark not counted). Progress: every 1000 lines that count, and the bytes read of the
// input's size. A bad line stops the run with an Error naming it; what was
// written before it is kept, as after a stop or a read error (beside an
// existing output, see io::OutputFile::keep_partial).
Result<RunSummary> replace_in_file(const std::string& input, const std::string& output,
                                   const ReplaceSettings& settings, const ProgressFn& progress,
                                   const StopFn& stop);

}  // namespace mq::tools
