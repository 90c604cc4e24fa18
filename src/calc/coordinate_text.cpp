#include "calc/coordinate_text.h"

#include "common/number_rules.h"
#include "common/strings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace mq::calc {

namespace {

// "'<text>' <problem>", built by appending (the chained form trips a false
// alarm of GCC 12's -Wrestrict in optimised builds).
Error coordinate_error(std::string_view text, std::string_view problem)
{
    std::string message = text::quoted(text);
    message += ' ';
    message += problem;
    return Error{std::move(message), "", 0}.as(ErrorKind::type_mismatch);
}

}  // namespace

Result<double> coord_to_decimal(std::string_view text)
{
    // Up to three parts split at ":"; the ones not typed count as 0.
    std::array<double, 3> parts{0.0, 0.0, 0.0};
    std::size_t start = 0;
    for (std::size_t i = 0; i < parts.size() && start <= text.size(); ++i) {
        const std::size_t colon = text.find(':', start);
        const std::string_view part =
            text.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start);
        // Only the degrees carry the sign; "10:-30" is not a coordinate.
        const std::size_t digit = part.find_first_not_of(' ');
        const bool signed_part = digit != std::string_view::npos && (part[digit] == '-' || part[digit] == '+');
        const auto value = numbers::read_number(part);
        if (!value || (i > 0 && signed_part)) return coordinate_error(text, "is not a coordinate");
        parts[i] = *value;
        if (colon == std::string_view::npos) break;
        start = colon + 1;
    }
    const std::size_t first = text.find_first_not_of(' ');
    const bool negative = first != std::string_view::npos && text[first] == '-';
    const double fraction = parts[1] / 60 + parts[2] / 3600;
    const double result = negative ? parts[0] - fraction : parts[0] + fraction;
    if (!std::isfinite(result)) return coordinate_error(text, "is out of range");
    return result;
}

std::size_t dec2degmm_to(char* out, double degrees)
{
    if (!std::isfinite(degrees)) return 0;
    const double magnitude = std::fabs(degrees);
    // The whole degrees: below 2^52 the integer conversion is the floor.
    double whole = magnitude < 4503599627370496.0 ? static_cast<double>(static_cast<std::uint64_t>(magnitude))
                                                  : std::floor(magnitude);
    // The minutes' 15 significant digits rounded to six decimals with halves
    // away from zero, as the shared pattern "00.000000" rounds them; minutes
    // that round to 60 carry into the degrees.
    std::uint64_t millionths = numbers::rounded_units((magnitude - whole) * 60, 6);
    if (millionths == 60'000'000) {
        whole += 1;
        millionths = 0;
    }
    char* p = out;
    if (std::signbit(degrees) && (whole > 0 || millionths > 0)) *p++ = '-';
    if (whole < 1e15)
        p = std::to_chars(p, out + kDegMmMax, static_cast<std::uint64_t>(whole)).ptr;
    else
        p += numbers::general_text_to(p, whole);
    // "mm.mmmmmm": whole minutes are 0 to 59 here.
    const auto minutes = static_cast<unsigned>(millionths / 1'000'000);
    auto fraction = static_cast<unsigned>(millionths % 1'000'000);
    *p++ = ':';
    *p++ = static_cast<char>('0' + minutes / 10);
    *p++ = static_cast<char>('0' + minutes % 10);
    *p++ = '.';
    for (int i = 5; i >= 0; --i, fraction /= 10) p[i] = static_cast<char>('0' + fraction % 10);
    return static_cast<std::size_t>(p + 6 - out);
}

std::optional<std::string> dec2degmm(double degrees)
{
    char text[kDegMmMax];
    const std::size_t n = dec2degmm_to(text, degrees);
    if (n == 0) return std::nullopt;
    return std::string(text, n);
}

double through_general_text(double value)
{
    return numbers::general_value(value);
}

std::optional<std::string> dec2degmm(std::string_view degrees_text)
{
    const auto value = numbers::read_number(degrees_text);
    if (!value) return std::nullopt;
    return dec2degmm(*value);
}

}  // namespace mq::calc
