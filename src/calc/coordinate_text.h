// Reading a coordinate typed as decimal degrees or in colon notation, and
// writing decimal degrees as degrees with decimal minutes. Shared by the UTM
// converter, the insonified-area calculator and mapquill-tools.
#pragma once

#include "common/result.h"

#include <optional>
#include <string>
#include <string_view>

namespace mq::calc {

// Reads "45.5", "12:30" or "12:30:15.5" (degrees, minutes, seconds; missing
// parts count as 0) as decimal degrees. A leading "-" makes the whole value
// negative: "-10:30" is -10.5 and "-0:30" is -0.5. Every part must be a
// number, minutes and seconds without a sign of their own; an Error names the
// text otherwise. "," is not a decimal point here (callers that take it as
// one translate it first).
Result<double> coord_to_decimal(std::string_view text);

// Decimal degrees as degrees and decimal minutes: "9:30.000000",
// "-33:54.000000", "-0:30.000000". The minutes get two integer digits and six
// decimals (halves away from zero); minutes that round to 60 carry into the
// degrees. One line without TAB. Empty for a value that is not finite.
std::optional<std::string> dec2degmm(double degrees);
// The same for a decimal-degree text (as utm_to_latlon returns it); empty
// when the text is not a number.
std::optional<std::string> dec2degmm(std::string_view degrees_text);

// dec2degmm written into a caller's buffer of at least kDegMmMax characters,
// without touching the heap (for files of millions of lines). Returns the
// number of characters written, 0 for a value that is not finite.
constexpr std::size_t kDegMmMax = 48;
std::size_t dec2degmm_to(char* out, double degrees);

// The value its general text (15 significant digits) reads back as: what a
// caller gets that passes a result on as text, as utm_to_latlon's are.
double through_general_text(double value);

}  // namespace mq::calc
