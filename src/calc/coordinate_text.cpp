#include "calc/coordinate_text.h"

#include "common/number_rules.h"

#include <array>
#include <cmath>

namespace mq::calc {

Result<double> coord_to_decimal(std::string_view text)
{
    // Up to three parts split at ":"; the ones not typed count as 0.
    std::array<double, 3> parts{0.0, 0.0, 0.0};
    std::size_t start = 0;
    for (std::size_t i = 0; i < parts.size() && start <= text.size(); ++i) {
        const std::size_t colon = text.find(':', start);
        const std::string_view part =
            text.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start);
        const auto value = numbers::read_number(part);
        if (!value) return Error{"'" + std::string(text) + "' is not a coordinate", "", 0};
        parts[i] = *value;
        if (colon == std::string_view::npos) break;
        start = colon + 1;
    }
    const std::size_t first = text.find_first_not_of(' ');
    const bool negative = first != std::string_view::npos && text[first] == '-';
    const double fraction = parts[1] / 60 + parts[2] / 3600;
    const double result = negative ? parts[0] - fraction : parts[0] + fraction;
    if (!std::isfinite(result)) return Error{"'" + std::string(text) + "' is out of range", "", 0};
    return result;
}

std::optional<std::string> dec2degmm(double degrees)
{
    if (!std::isfinite(degrees)) return std::nullopt;
    const double magnitude = std::fabs(degrees);
    double whole = std::floor(magnitude);
    std::string minutes = numbers::format_pattern((magnitude - whole) * 60, "00.000000");
    if (minutes == "60.000000") {
        whole += 1;
        minutes = "00.000000";
    }
    std::string out;
    if (std::signbit(degrees) && (whole > 0 || minutes != "00.000000")) out.push_back('-');
    out += numbers::general_text(whole);
    out.push_back(':');
    out += minutes;
    return out;
}

std::optional<std::string> dec2degmm(std::string_view degrees_text)
{
    const auto value = numbers::read_number(degrees_text);
    if (!value) return std::nullopt;
    return dec2degmm(*value);
}

}  // namespace mq::calc
