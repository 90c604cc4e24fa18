// Latitude/longitude notations: recognising how a single coordinate is
// written and rewriting it as decimal degrees (dd.dddddd), degrees with
// decimal minutes (dd:mm.mmm) or degrees, minutes and decimal seconds
// (dd:mm:ss.ss). Pure text-to-text operations; the converter window and the
// command-line tool drive them.
#pragma once

#include "common/result.h"

#include <array>
#include <bitset>
#include <optional>
#include <string>
#include <string_view>

namespace mq::calc {

inline constexpr int kConversionCount = 6;

// The conversions by index, with the captions the window shows for them.
inline constexpr std::array<std::string_view, kConversionCount> kConversionCaptions = {
    "dd:mm.mmm ---> dd.dddddd",
    "dd:mm:ss.ss ---> dd.dddddd",
    "dd.dddddd   ---> dd:mm.mmm",
    "dd.dddddd   ---> dd:mm:ss.ss",
    "dd:mm:ss.ss ---> dd:mm.mmm",
    "dd:mm.mmm ---> dd:mm:ss.ss",
};

// What a typed text says about the conversions that suit it.
struct NotationDetection {
    std::optional<std::bitset<kConversionCount>> offered;   // empty: keep the current offer
    std::optional<int> selected;                            // empty: keep the current selection
};

// Counts the ":" and looks for a "." (commas do not count):
//   empty or neither ":" nor "."   all six offered, selection kept
//   no ":", with "."               2 and 3, select 2
//   one ":", no "."                0, 1, 4 and 5, select 0
//   one ":", with "."              0 and 5, select 0
//   two ":"                        1 and 4, select 1
//   three or more ":"              everything kept
NotationDetection detect_notation(std::string_view text);

// The first two steps of every conversion, which the window also shows in
// its text box: a leading "-" is taken off (the sign applies to the whole
// value; "+" means nothing special), and a text with "e" or "E" is read as a
// number (commas read as ".") and replaced by its plain decimal text.
struct PreparedNotation {
    bool negative = false;
    std::string unsigned_text;   // the text without its leading "-"
    std::string body;            // unsigned_text with the exponent written out
    bool readable = true;        // false: it has an exponent but is not a number
};
PreparedNotation prepare_notation(std::string_view text);

struct NotationResult {
    // The input after the sign and exponent steps, with the "-" put back:
    // what the caller shows in place of what was typed.
    std::string rewritten;
    // The converted text, or why there is none, in one line for messages ("a
    // part of the value is empty or not a number", "the value is too large" ...).
    Result<std::string> result = Error{};
};

// Converts a coordinate text with conversion 0..5. Commas read as ".".
// Decimal degrees come out with seven decimals ("#0.0000000", rounded to six
// first), minutes with four ("00.0000", rounded to three first), seconds
// rounded to two and never carried into the minutes (10.9999999 gives
// 10:59:60.00). Degrees and whole minutes get at least two digits. A text
// before a "." that is empty (".5") counts as 0 degrees or minutes.
NotationResult convert_notation(std::string_view text, int conversion);

// Conversion 3 on an unsigned text that contains a ".": the whole degrees as
// typed, the minutes written out and split, the seconds rounded to two
// decimals without carry. Empty when a part is not a number.
std::optional<std::string> decimal_to_dms(std::string_view text);

}  // namespace mq::calc
