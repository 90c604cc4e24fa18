// The number reader, the value-text reader and the grid steps (four boxes split at NUL).
#include "calc/grid_steps.h"
#include "common/number_rules.h"
#include "harness.h"

#include <cmath>

namespace num = mq::numbers;

MQ_FUZZ_TARGET(text)
{
    if (const auto value = num::read_number(text)) {
        check(std::isfinite(*value));
        // The general form reads back to the same 15 digits.
        const std::string general = num::general_text(*value);
        const auto again = num::read_number(general);
        check(again && num::general_text(*again) == general);
        for (int decimals : {0, 2, 6, 8}) {
            (void)num::round_to(*value, decimals);
            (void)num::format_pattern(*value, "#0.00000000");
        }
    }
    (void)num::read_int16(text);

    if (const auto held = mq::calc::read_value_text(text)) {
        check(num::read_number(*held).has_value());
        (void)mq::calc::three_notation_text(*held);
    }

    const std::vector<std::string> boxes = mq::fuzz::pieces(text, '\0', 4, 4);
    for (auto mode : {mq::calc::GridMode::Amount, mq::calc::GridMode::Size}) {
        const auto r = mq::calc::calculate_grid_steps({boxes[0], boxes[1], boxes[2], boxes[3], mode});
        check(!r.calculated || (r.range && r.amount && r.size) || !r.status.ok());
    }
}
