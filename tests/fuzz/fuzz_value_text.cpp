// Any text through the number reader, the value-text reader and the gridding
// step calculation. The input is split at NUL bytes into the four boxes.
#include "calc/grid_steps.h"
#include "common/number_rules.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace num = mq::numbers;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    if (const auto value = num::read_number(text)) {
        if (!std::isfinite(*value)) std::abort();
        // The general form reads back to the same 15 digits.
        const std::string general = num::general_text(*value);
        const auto again = num::read_number(general);
        if (!again || num::general_text(*again) != general) std::abort();
        for (int decimals : {0, 2, 6, 8}) {
            (void)num::round_to(*value, decimals);
            (void)num::format_pattern(*value, "#0.00000000");
        }
    }
    (void)num::read_int16(text);

    if (const auto held = mq::calc::read_value_text(text)) {
        if (!num::read_number(*held)) std::abort();
        (void)mq::calc::three_notation_text(*held);
    }

    std::vector<std::string> boxes(4);
    std::size_t box = 0;
    for (char c : text) {
        if (c == '\0' && box < 3) ++box;
        else boxes[box].push_back(c);
    }
    for (auto mode : {mq::calc::GridMode::Amount, mq::calc::GridMode::Size}) {
        const auto r = mq::calc::calculate_grid_steps({boxes[0], boxes[1], boxes[2], boxes[3], mode});
        if (r.calculated && !(r.range && r.amount && r.size) && r.status.ok()) std::abort();
    }
    return 0;
}
