#include "common/number_rules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <system_error>

namespace mq::numbers {
namespace {

// A decimal number: value = (negative ? -1 : 1) * 0.d1 d2 ... dk * 10^point.
// `digits` holds no leading and no trailing zeros; zero has no digits.
struct Decimal {
    bool negative = false;
    std::string digits;
    int point = 0;
};

constexpr int kSignificant = 15;

// Exponents beyond this are capped while they are read: far outside the range
// of a double, yet small enough that the sums below stay inside 64 bits
// (`long` is 32 bits on Windows, so all counts here are std::int64_t).
constexpr std::int64_t kExponentCap = 1'000'000'000;

// The finite double as its decimal text rounded to 15 significant digits.
Decimal to_decimal(double value) {
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0.0) return d;
    char buf[64];
    // d.dddddddddddddde+XX, correctly rounded from the exact binary value;
    // to_chars, unlike printf, ignores the C locale's decimal point.
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                   std::chars_format::scientific, kSignificant - 1);
    const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    const std::size_t e = text.find('e');
    d.digits.reserve(kSignificant);
    for (char c : text.substr(0, e))
        if (c >= '0' && c <= '9') d.digits.push_back(c);
    int exponent = 0;
    const char* exp_begin = text.data() + e + 1;
    if (*exp_begin == '+') ++exp_begin;
    std::from_chars(exp_begin, text.data() + text.size(), exponent);
    d.point = exponent + 1;
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

enum class Halves { ToEven, AwayFromZero };

// Rounds in place to `decimals` places.
void round_decimal(Decimal& d, int decimals, Halves halves) {
    const std::int64_t keep = static_cast<std::int64_t>(d.point) + decimals;   // digits that stay
    if (keep >= static_cast<std::int64_t>(d.digits.size())) return;        // already short enough
    if (keep < 0) {                                                // below a half of the last place
        d.digits.clear();
        return;
    }
    const auto k = static_cast<std::size_t>(keep);
    const char first_dropped = d.digits[k];
    const bool more_after = d.digits.size() > k + 1;   // no trailing zeros: anything left is > 0
    bool up;
    if (first_dropped > '5' || (first_dropped == '5' && more_after)) {
        up = true;
    } else if (first_dropped < '5') {
        up = false;
    } else if (halves == Halves::AwayFromZero) {
        up = true;
    } else {
        const char last_kept = k == 0 ? '0' : d.digits[k - 1];
        up = (last_kept - '0') % 2 == 1;
    }
    d.digits.resize(k);
    if (up) {
        std::size_t i = k;
        while (i > 0 && d.digits[i - 1] == '9') d.digits[--i] = '0';
        if (i == 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.point;
        } else {
            ++d.digits[i - 1];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

double to_double(const Decimal& d) {
    if (d.digits.empty()) return 0.0;
    // "-0.<digits>e<point>" in a stack buffer: rounding runs once per number
    // written by the file tools, so it stays off the heap.
    char text[64];
    char* p = text;
    if (d.negative) *p++ = '-';
    *p++ = '0';
    *p++ = '.';
    const std::size_t n = std::min<std::size_t>(d.digits.size(), 40);
    p = std::copy_n(d.digits.data(), n, p);
    *p++ = 'e';
    p = std::to_chars(p, text + sizeof text, d.point).ptr;
    double value = 0.0;
    std::from_chars(text, p, value);
    return value;
}

// The digit of `d` with weight 10^power (0 outside the digits).
char digit_at(const Decimal& d, std::int64_t power) {
    const std::int64_t index = static_cast<std::int64_t>(d.point) - 1 - power;
    if (index < 0 || index >= static_cast<std::int64_t>(d.digits.size())) return '0';
    return d.digits[static_cast<std::size_t>(index)];
}

std::string fixed_text(const Decimal& d, int min_int_digits, int decimals) {
    std::string out;
    if (d.negative && !d.digits.empty()) out.push_back('-');
    const std::int64_t int_digits = std::max<std::int64_t>({d.point, 0, min_int_digits});
    for (std::int64_t p = int_digits - 1; p >= 0; --p) out.push_back(digit_at(d, p));
    if (decimals > 0) {
        out.push_back('.');
        for (std::int64_t p = -1; p >= -static_cast<std::int64_t>(decimals); --p) out.push_back(digit_at(d, p));
    }
    return out;
}

std::string plain_decimal(const Decimal& d) {
    if (d.digits.empty()) return "0";
    const int decimals = std::max(0, static_cast<int>(d.digits.size()) - d.point);
    return fixed_text(d, 1, decimals);
}

std::string non_finite_text(double value) {
    if (std::isnan(value)) return "NaN";
    return value < 0 ? "-Infinity" : "Infinity";
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> read_number(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t body = i;
    std::size_t mantissa_digits = 0;
    // Decimal exponent of the first non-zero mantissa digit, to tell an
    // underflow (reads as 0) from an overflow (not a number).
    bool seen_nonzero = false;
    std::int64_t int_digits = 0;
    while (i < text.size() && is_digit(text[i])) {
        if (text[i] != '0') seen_nonzero = true;
        if (seen_nonzero) ++int_digits;
        ++i, ++mantissa_digits;
    }
    std::int64_t leading_power = int_digits - 1;
    if (i < text.size() && text[i] == '.') {
        ++i;
        std::int64_t position = 0;
        while (i < text.size() && is_digit(text[i])) {
            --position;
            if (text[i] != '0' && !seen_nonzero) {
                seen_nonzero = true;
                leading_power = position;
            }
            ++i, ++mantissa_digits;
        }
    }
    if (mantissa_digits == 0) return std::nullopt;
    std::int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool exponent_negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) exponent_negative = text[i++] == '-';
        std::size_t exponent_digits = 0;
        while (i < text.size() && is_digit(text[i])) {
            exponent = std::min(exponent * 10 + (text[i] - '0'), kExponentCap);
            ++i, ++exponent_digits;
        }
        if (exponent_digits == 0) return std::nullopt;
        if (exponent_negative) exponent = -exponent;
    }
    if (i != text.size()) return std::nullopt;

    // from_chars takes no leading sign; the sign is applied below.
    const std::string_view digits = text.substr(body);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                           std::chars_format::general);
    if (ec == std::errc::result_out_of_range && seen_nonzero && leading_power + exponent < 0)
        return negative ? -0.0 : 0.0;   // below the smallest double
    if (ec != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<int> read_int16(std::string_view text) {
    const auto value = read_number(text);
    if (!value) return std::nullopt;
    const double whole = round_to(*value, 0);
    if (whole < -32768.0 || whole > 32767.0) return std::nullopt;
    return static_cast<int>(whole);
}

double round_to(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    Decimal d = to_decimal(value);
    round_decimal(d, std::clamp(decimals, 0, 400), Halves::ToEven);
    return to_double(d);
}

std::string format_pattern(double value, std::string_view pattern) {
    int min_int_digits = 0;
    int decimals = 0;
    bool after_point = false;
    for (char c : pattern) {
        if (c == '.' && !after_point) {
            after_point = true;
        } else if (c == '0') {
            (after_point ? decimals : min_int_digits) += 1;
        } else if (c != '#' || after_point) {
            throw std::invalid_argument("unsupported number pattern: " + std::string(pattern));
        }
    }
    if (!std::isfinite(value)) return non_finite_text(value);
    Decimal d = to_decimal(value);
    round_decimal(d, decimals, Halves::AwayFromZero);
    return fixed_text(d, min_int_digits, decimals);
}

std::optional<std::string> format_text(std::string_view text, std::string_view pattern) {
    const auto value = read_number(text);
    if (!value) return std::nullopt;
    return format_pattern(*value, pattern);
}

std::string general_text(double value) {
    if (!std::isfinite(value)) return non_finite_text(value);
    const Decimal d = to_decimal(value);
    if (d.digits.empty()) return "0";
    const int exponent = d.point - 1;
    if (exponent >= -5 && exponent < 15) return plain_decimal(d);
    std::string out;
    if (d.negative) out.push_back('-');
    out.push_back(d.digits.front());
    if (d.digits.size() > 1) {
        out.push_back('.');
        out.append(d.digits, 1);
    }
    char exp_text[16];
    std::snprintf(exp_text, sizeof exp_text, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return out + exp_text;
}

std::size_t general_text_to(char* out, double value) {
    char* p = out;
    if (!std::isfinite(value)) {
        const char* t = std::isnan(value) ? "NaN" : value < 0 ? "-Infinity" : "Infinity";
        while (*t) *p++ = *t++;
        return static_cast<std::size_t>(p - out);
    }
    if (value == 0.0) {
        *out = '0';
        return 1;
    }
    // Same digits as to_decimal, without the heap.
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                                   kSignificant - 1);
    char digits[kSignificant];
    int count = 0;
    const char* q = buf;
    for (; q < res.ptr && *q != 'e'; ++q)
        if (*q >= '0' && *q <= '9') digits[count++] = *q;
    int exponent = 0;
    const char* exp_begin = q + 1;
    if (exp_begin < res.ptr && *exp_begin == '+') ++exp_begin;
    std::from_chars(exp_begin, res.ptr, exponent);
    while (count > 0 && digits[count - 1] == '0') --count;
    if (value < 0) *p++ = '-';
    if (exponent >= -5 && exponent < 15) {
        if (exponent < 0) {
            *p++ = '0';
            *p++ = '.';
            for (int i = -1; i > exponent; --i) *p++ = '0';
            for (int i = 0; i < count; ++i) *p++ = digits[i];
        } else {
            for (int i = 0; i <= exponent; ++i) *p++ = i < count ? digits[i] : '0';
            if (count > exponent + 1) {
                *p++ = '.';
                for (int i = exponent + 1; i < count; ++i) *p++ = digits[i];
            }
        }
        return static_cast<std::size_t>(p - out);
    }
    *p++ = digits[0];
    if (count > 1) {
        *p++ = '.';
        for (int i = 1; i < count; ++i) *p++ = digits[i];
    }
    *p++ = 'E';
    *p++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) *p++ = '0';
    p = std::to_chars(p, out + kGeneralTextMax, magnitude).ptr;
    return static_cast<std::size_t>(p - out);
}

std::string plain_text(double value) {
    if (!std::isfinite(value)) return non_finite_text(value);
    return plain_decimal(to_decimal(value));
}

}  // namespace mq::numbers
