#include "calc/grid_steps.h"

#include "calc/notation.h"
#include "common/number_rules.h"
#include "common/strings.h"

#include <cmath>

namespace mq::calc {
namespace {

namespace num = mq::numbers;

constexpr std::string_view kValuePattern = "#0.0000000";
constexpr std::string_view kStepPattern = "#0.00000000";

// A computed quantity rounded to 8 decimals and held as its text.
std::optional<std::string> held_step_text(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    return num::format_pattern(num::round_to(value, 8), kStepPattern);
}

using text::quoted;

// The value of a value text before it is rounded to 6 decimals.
std::optional<double> read_value(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    const std::string padded = std::string(text) + ":0:0:0";
    double parts[3] = {0, 0, 0};
    std::size_t start = 0;
    for (double& part : parts) {
        const std::size_t end = padded.find(':', start);
        const auto value = num::read_number(std::string_view(padded).substr(start, end - start));
        if (!value) return std::nullopt;
        part = *value;
        start = end + 1;
    }
    double value = parts[0] + parts[1] / 60 + parts[2] / 3600;
    if (negative) value = -value;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::string> read_value_text(std::string_view text) {
    const auto value = read_value(text);
    if (!value) return std::nullopt;
    return num::format_pattern(num::round_to(*value, 6), kValuePattern);
}

std::optional<std::string> three_notation_text(std::string_view decimal_text) {
    std::string_view body = decimal_text;
    const bool negative = !body.empty() && body.front() == '-';
    if (negative) body.remove_prefix(1);
    const std::size_t point = body.find('.');
    if (point == std::string_view::npos) return std::nullopt;

    const auto dms = decimal_to_dms(body);
    const auto degrees = num::format_text(body.substr(0, point).empty() ? "0" : body.substr(0, point), "00");
    const auto fraction = num::read_number(body.substr(point));
    if (!dms || !degrees || !fraction) return std::nullopt;
    const std::string dm =
        *degrees + ":" + num::format_pattern(num::round_to(*fraction * 60, 3), "#0.0000");
    const std::string sign = negative ? "-" : "";
    return sign + *dms + " / " + sign + dm + " / " + std::string(decimal_text);
}

GridStepResult calculate_grid_steps(const GridStepInput& in) {
    GridStepResult r;
    r.mode = in.mode;
    if (in.min.empty() || in.max.empty()) {
        r.status = Error{"the minimum and the maximum are both needed", {}, 0};
        return r;
    }
    if (in.amount.empty() && in.size.empty()) {
        r.status = Error{"an amount of steps or a step size is needed", {}, 0};
        return r;
    }
    r.calculated = true;
    if (in.amount.empty()) r.mode = GridMode::Size;
    if (in.size.empty()) r.mode = GridMode::Amount;

    // Every later failure is a value that is not a number or out of its range.
    auto note = [&r](std::string problem) {
        if (r.status) r.status = Error{std::move(problem), {}, 0}.as(ErrorKind::type_mismatch);
    };

    // The range, held as text and read back like every later value.
    std::optional<double> delta;
    const auto min = read_value_text(in.min);
    const auto max = read_value_text(in.max);
    if (!min) note("the minimum " + quoted(in.min) + " is not a number");
    if (!max) note("the maximum " + quoted(in.max) + " is not a number");
    if (min && max) {
        if (const auto text = held_step_text(*num::read_number(*max) - *num::read_number(*min))) {
            delta = num::read_number(*text);
            r.range = three_notation_text(*text);
        } else {
            note("the range is too large");
        }
    }

    std::optional<std::string> size_text;
    auto divide = [&](double steps, const char* zero_problem) {
        if (!delta) return;
        if (steps == 0) {
            note(zero_problem);
            return;
        }
        size_text = held_step_text(*delta / steps);
        if (!size_text) note("the step size cannot be computed");
    };

    if (r.mode == GridMode::Amount) {
        if (const auto n = num::read_int16(in.amount)) {
            r.amount = in.amount;
            divide(*n, "the amount of steps is 0");
        } else {
            note("the amount of steps must be a number from -32768 to 32767, not " + quoted(in.amount));
        }
    } else {
        const auto step_text = read_value_text(in.size);
        const double step = step_text ? *num::read_number(*step_text) : 0.0;
        if (!step_text) {
            note("the step size " + quoted(in.size) + " is not a number");
        } else if (step <= 0) {
            // A positive size below 0.0000005 is held as 0.0000000.
            if (step == 0 && read_value(in.size).value_or(0) > 0)
                note("the step size " + quoted(in.size) + " is too small: it rounds to 0 at six decimals");
            else
                note("the step size must be greater than 0");
        } else if (delta) {
            const double n = num::round_to(*delta / step, 0);
            if (std::isfinite(n)) {
                r.amount = num::general_text(n);
                divide(n, "the step size gives 0 steps for this range");
            } else {
                note("the amount of steps is too large");
            }
        }
    }
    if (size_text) r.size = three_notation_text(*size_text);
    return r;
}

}  // namespace mq::calc
