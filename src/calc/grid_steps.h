// Gridding steps for one axis of a map region: the step size that divides a
// range into a number of steps, or the number of steps a wanted step size
// gives together with the step size that divides the range exactly. Results
// come in three notations at once: dd:mm:ss.ss / dd:mm.mmm / dd.dddddddd.
#pragma once

#include "common/result.h"

#include <optional>
#include <string>
#include <string_view>

namespace mq::calc {

enum class GridMode { Amount, Size };

// The four box texts and which option the user selected.
struct GridStepInput {
    std::string min;
    std::string max;
    std::string amount;   // wanted number of steps
    std::string size;     // wanted step size, a value text
    GridMode mode = GridMode::Amount;
};

struct GridStepResult {
    // False when an empty box stopped the calculation before anything was
    // computed (minimum or maximum empty, or both amount and size empty):
    // the display stays as it was.
    bool calculated = false;
    GridMode mode = GridMode::Amount;   // the option that ends up selected
    // Each result is empty when no value could be computed for it.
    std::optional<std::string> range;    // the three-notation text of max - min
    std::optional<std::string> amount;   // the number of steps
    std::optional<std::string> size;     // the three-notation text of the step size
    Status status;                       // the first step that failed; ok when none did
};

// Reads a value text in colon notation (degrees[:minutes[:seconds]], a
// leading "-" negating the whole value), rounds it to 6 decimals and returns
// it written with "#0.0000000". Empty when a field is missing or not a number
// ("10::30", "1O:30").
std::optional<std::string> read_value_text(std::string_view text);

// The three-notation text of a decimal text such as "0.50000000":
// "00:30:00.00 / 00:30.0000 / 0.50000000". Seconds are not carried into the
// minutes; the degrees:minutes form writes minutes with "#0.0000" (one digit
// below ten). A negative value gets its "-" in front of each colon form, so
// -0.5 reads "-00:30:00.00 / -00:30.0000 / -0.50000000".
// Empty when the text has no "." or is not a number.
std::optional<std::string> three_notation_text(std::string_view decimal_text);

// The whole calculation:
//  - amount filled, size empty selects Amount; size filled, amount empty
//    selects Size; both filled keeps the user's choice;
//  - range = max - min rounded to 8 decimals;
//  - Amount: the amount is read as a 16-bit integer and size = range / amount;
//  - Size: amount = range / size rounded to a whole number (halves to even),
//    and size = range / amount, the step that divides the range exactly.
// A failing step (a text that is not a number, a division by zero, an amount
// outside -32768..32767, a step size not above 0) leaves the results that
// depend on it empty and names itself in `status`; the rest goes on.
GridStepResult calculate_grid_steps(const GridStepInput& input);

}  // namespace mq::calc
