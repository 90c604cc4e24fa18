// The number rules shared by every tool: reading number texts, rounding to n
// decimals, formatting with a digit pattern and writing a number in its
// general form. Nobody else re-implements these; call them.
//
// Which value is rounded
// ----------------------
// A double rarely holds the decimal the user typed: 2.675 is stored as
// 2.67499999999999982236431605997495353221893310546875. Users of this program
// think in the decimals they typed and see, so every rule here first turns the
// double into its decimal text rounded to 15 significant digits (the same
// digits the general form shows) and applies the rounding to those digits.
// 2.675 is therefore a half at two decimals, 0.1 + 0.2 reads as 0.3, and a
// sum that should be 10.0000005 but came out 10.000000499999999 is still the
// half it looks like. The 15-digit text itself is the correctly rounded
// decimal of the exact binary value.
//
//   round_to(x, n)      halves go to the even neighbour: 2.5 -> 2, 0.125 -> 0.12,
//                       2.675 -> 2.68, 2.665 -> 2.66, -2.5 -> -2.
//   format_pattern(...) halves go away from zero: 2.5 -> "3", 0.125 -> "0.13",
//                       -2.5 -> "-3".
//
// Text that is not a number
// -------------------------
// read_number returns std::nullopt for a text that is not a number (empty,
// letters, two decimal points, a value beyond the range of a double, ...).
// It never returns a silent 0; every caller must handle the empty optional.
// Functions that read a text before working on it (format_text, read_int16)
// pass that empty optional on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mq::numbers {

// Reads a number text: optional blanks, an optional sign ("+" or "-"), digits
// with at most one ".", at least one digit, and an optional exponent ("e" or
// "E", an optional sign and digits), then optional blanks. "." is the only
// decimal point; "," is not accepted. "5." and ".5" are numbers. The value
// must be finite: "1e400" is not a number. Values below the smallest double
// read as 0.
std::optional<double> read_number(std::string_view text);

// Reads a text as a 16-bit integer: the number is rounded to a whole number
// (halves to even, as round_to) and must lie in -32768..32767.
std::optional<int> read_int16(std::string_view text);

// Rounds to the given number of decimals (0..15 are meaningful; more leave the
// value as it is, negative counts are taken as 0) with halves to the even
// neighbour. A result of zero is +0.0. Non-finite values are returned as they are.
double round_to(double value, int decimals);

// Formats a value with a digit pattern such as "#0.0000000", "00", "00.0000",
// "00.00", "#0.0000" or "#0.00000000": the zeros before the "." give the least
// number of integer digits (padding with leading zeros, never cutting), "#"
// marks an optional digit, the zeros after the "." give the exact number of
// decimals. Halves go away from zero. A value that rounds to zero is written
// without a sign. A pattern made of anything other than "#", "0" and one "."
// throws std::invalid_argument (the patterns are fixed in the code).
// Non-finite values are written "NaN", "Infinity" or "-Infinity".
std::string format_pattern(double value, std::string_view pattern);

// Reads a text as a number and formats it with a pattern; nullopt when the
// text is not a number.
std::optional<std::string> format_text(std::string_view text, std::string_view pattern);

// The general form: at most 15 significant digits, no trailing zeros, "." as
// the decimal point, no exponent for magnitudes from 1e-5 up to below 1e15.
// Outside that range the exponent form is used: "1E+15", "1.5E-07".
// 30.000000000000004 is written "30", -0.0 is written "0".
std::string general_text(double value);

// general_text written into a caller's buffer of at least kGeneralTextMax
// characters, without touching the heap (for tools that write millions of
// numbers). Returns the number of characters written; no NUL is added.
constexpr std::size_t kGeneralTextMax = 32;
std::size_t general_text_to(char* out, double value);

// The decimal a finite value stands for in these rules: its exact binary value
// rounded to 15 significant digits, halves to the even neighbour. `digits`
// holds all 15 of them (trailing zeros kept, 10^14 <= digits < 10^15) and the
// value is digits * 10^(exponent - 14); zero has digits 0 and exponent 0. The
// sign is left out.
struct Significant {
    std::uint64_t digits = 0;
    int exponent = 0;
};
Significant significant_digits(double value);

// A value from 0 up in units of 10^-decimals (0..15), rounded as
// format_pattern rounds it (halves away from zero): rounded_units(59.99999951,
// 6) is 60000000. For results below 10^18; 0 for a value that is not finite
// or not above 0.
std::uint64_t rounded_units(double value, int decimals);

// The value the general text of `value` reads back as (the nearest double to
// its 15 significant digits). Non-finite values and zeros come back as they are.
double general_value(double value);

// The plain decimal text: the 15 significant digits of the general form, but
// never an exponent (1.5e-7 is "0.00000015", 1e20 is "100000000000000000000").
// Used where a text is split at its "." afterwards.
std::string plain_text(double value);

}  // namespace mq::numbers
