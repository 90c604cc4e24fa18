#include "calc/notation.h"

#include "common/number_rules.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace mq::calc {
namespace {

namespace num = mq::numbers;

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

std::string commas_to_points(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), ',', '.');
    return out;
}

// A whole part cut off before a "." reads as 0 when nothing was typed there.
std::string_view whole_part(std::string_view text) { return text.empty() ? "0" : text; }

// "0" followed by a fractional part that starts with "." (or is empty).
std::optional<double> read_fraction(std::string_view fraction) {
    // Appended rather than "0" + std::string(...), which GCC 12 misreads as
    // an overlapping copy (-Wrestrict) in optimised builds.
    std::string text;
    text.reserve(fraction.size() + 1);
    text += '0';
    text += fraction;
    return num::read_number(text);
}

// A conversion's text, or the first failure inside it.
using Outcome = Result<std::string>;

// Why a text has no result in the asked notation: always a value that does
// not fit it.
Error fail(const char* problem) { return Error{problem, {}, 0}.as(ErrorKind::type_mismatch); }
const char* const kNotANumber = "a part of the value is empty or not a number";
const char* const kTooLarge = "the value is too large";
const char* const kNeedsPoint = "this conversion needs a value with a decimal point";
const char* const kPointNotInMinutes = "the decimal point must be in the minutes";

// Reads the numbers a conversion needs; false when any is missing.
template <typename... Opt>
bool all_read(const Opt&... values) {
    return (values.has_value() && ...);
}

Outcome finish(const std::optional<std::string>& part) {
    if (!part) return fail(kNotANumber);
    return *part;
}

Outcome degrees_from_colon(const std::string& t, bool with_seconds) {
    const std::string padded = t + ":0:0:0:.";
    const auto fields = split(padded, ':');
    const auto d = num::read_number(fields[0]);
    const auto m = num::read_number(fields[1]);
    const auto s = with_seconds ? num::read_number(fields[2]) : std::optional<double>(0.0);
    if (!all_read(d, m, s)) return fail(kNotANumber);
    const double value = *d + *m / 60 + *s / 3600;
    if (!std::isfinite(value)) return fail(kTooLarge);
    return num::format_pattern(num::round_to(value, 6), "#0.0000000");
}

Outcome decimal_to_minutes(const std::string& t) {
    const std::size_t point = t.find('.');
    if (point == std::string::npos) return fail(kNeedsPoint);
    const auto degrees = num::format_text(whole_part(t.substr(0, point)), "00");
    const auto fraction = read_fraction(std::string_view(t).substr(point));
    if (!degrees || !fraction) return fail(kNotANumber);
    const double minutes = *fraction * 60;
    return *degrees + ":" + num::format_pattern(num::round_to(minutes, 3), "00.0000");
}

Outcome seconds_to_minutes(const std::string& t) {
    const std::string padded = t + ":0:0:0:.";
    const auto fields = split(padded, ':');
    const auto degrees = num::format_text(fields[0], "00");
    const auto m = num::read_number(fields[1]);
    const auto s = num::read_number(fields[2]);
    if (!degrees || !all_read(m, s)) return fail(kNotANumber);
    const double minutes = *m + *s / 60;
    if (!std::isfinite(minutes)) return fail(kTooLarge);
    return *degrees + ":" + num::format_pattern(num::round_to(minutes, 3), "00.0000");
}

Outcome minutes_to_seconds(const std::string& t) {
    if (t.find('.') == std::string::npos) return fail(kNeedsPoint);
    const auto fields = split(t, ':');
    if (fields.size() < 2) return fail(kPointNotInMinutes);
    const std::string_view p = fields[1];
    const std::size_t point = p.find('.');
    if (point == std::string_view::npos) return fail(kPointNotInMinutes);
    const auto degrees = num::format_text(fields[0], "00");
    const auto minutes = num::format_text(whole_part(p.substr(0, point)), "00");
    const auto fraction = read_fraction(p.substr(point));
    if (!degrees || !minutes || !fraction) return fail(kNotANumber);
    const double seconds = num::round_to(*fraction * 60, 2);
    return *degrees + ":" + *minutes + ":" + num::format_pattern(seconds, "00.00");
}

}  // namespace

NotationDetection detect_notation(std::string_view text) {
    constexpr auto offer = [](std::initializer_list<int> indexes) {
        std::bitset<kConversionCount> set;
        for (int i : indexes) set.set(static_cast<std::size_t>(i));
        return set;
    };
    const auto colons = std::count(text.begin(), text.end(), ':');
    const bool point = text.find('.') != std::string_view::npos;
    switch (colons) {
    case 0:
        if (!point) return {std::bitset<kConversionCount>().set(), std::nullopt};
        return {offer({2, 3}), 2};
    case 1:
        if (!point) return {offer({0, 1, 4, 5}), 0};
        return {offer({0, 5}), 0};
    case 2:
        return {offer({1, 4}), 1};
    default:
        return {};
    }
}

PreparedNotation prepare_notation(std::string_view text) {
    PreparedNotation p;
    if (!text.empty() && text.front() == '-') {
        p.negative = true;
        text.remove_prefix(1);
    }
    p.unsigned_text = std::string(text);
    p.body = p.unsigned_text;
    if (text.find_first_of("eE") != std::string_view::npos) {
        if (const auto value = num::read_number(commas_to_points(text)))
            p.body = num::plain_text(*value);
        else
            p.readable = false;
    }
    return p;
}

std::optional<std::string> decimal_to_dms(std::string_view text) {
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos) return std::nullopt;
    const auto degrees = num::format_text(whole_part(text.substr(0, point)), "00");
    const auto fraction = read_fraction(text.substr(point));
    if (!degrees || !fraction) return std::nullopt;
    const double minutes = *fraction * 60;
    const std::string m = num::plain_text(minutes);
    const std::size_t m_point = m.find('.');
    if (m_point == std::string::npos)
        return *degrees + ":" + num::format_pattern(minutes, "00") + ":00.00";
    const auto whole_minutes = num::format_text(whole_part(std::string_view(m).substr(0, m_point)), "00");
    const auto minute_fraction = read_fraction(std::string_view(m).substr(m_point));
    if (!whole_minutes || !minute_fraction) return std::nullopt;
    const double seconds = num::round_to(*minute_fraction * 60, 2);
    return *degrees + ":" + *whole_minutes + ":" + num::format_pattern(seconds, "00.00");
}

NotationResult convert_notation(std::string_view text, int conversion) {
    const PreparedNotation p = prepare_notation(text);
    NotationResult r;
    r.rewritten = (p.negative ? "-" : "") + p.body;
    if (conversion < 0 || conversion >= kConversionCount) {
        r.result = Error{"the conversion must be a number from 0 to 5", {}, 0};
        return r;
    }
    if (!p.readable) {
        r.result = fail(kNotANumber);
        return r;
    }
    const std::string t = commas_to_points(p.body);
    Outcome out = fail(kNotANumber);
    switch (conversion) {
    case 0: out = degrees_from_colon(t, false); break;
    case 1: out = degrees_from_colon(t, true); break;
    case 2: out = decimal_to_minutes(t); break;
    case 3:
        if (t.find('.') == std::string::npos) out = fail(kNeedsPoint);
        else out = finish(decimal_to_dms(t));
        break;
    case 4: out = seconds_to_minutes(t); break;
    case 5: out = minutes_to_seconds(t); break;
    }
    r.result = out ? Outcome((p.negative ? "-" : "") + out.value()) : out;
    return r;
}

}  // namespace mq::calc
