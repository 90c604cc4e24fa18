#include "common/number_rules.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
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

// Powers of ten that a double holds exactly (10^22 is the last), and as integers.
constexpr double kPowerOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kExactPowers = 22;
#ifdef __SIZEOF_INT128__
using Wide = unsigned __int128;
constexpr Wide wide_power_of_ten(int n) {
    Wide p = 1;
    while (n-- > 0) p *= 10;
    return p;
}
#endif
constexpr std::uint64_t kLow15 = 100'000'000'000'000;    // 10^14
constexpr std::uint64_t kHigh15 = 1'000'000'000'000'000; // 10^15
// Powers of ten that fit in 64 bits.
constexpr std::uint64_t kUnits[] = {1,
                                    10,
                                    100,
                                    1'000,
                                    10'000,
                                    100'000,
                                    1'000'000,
                                    10'000'000,
                                    100'000'000,
                                    1'000'000'000,
                                    10'000'000'000,
                                    100'000'000'000,
                                    1'000'000'000'000,
                                    10'000'000'000'000,
                                    100'000'000'000'000,
                                    1'000'000'000'000'000,
                                    10'000'000'000'000'000,
                                    100'000'000'000'000'000,
                                    1'000'000'000'000'000'000,
                                    10'000'000'000'000'000'000u};

// The nearest double to digits * 10^power (digits up to 2^53). One exact
// operand times or over another exact one is rounded once, so the result is
// what reading the decimal text gives; other powers take the long way.
double scaled(std::uint64_t digits, int power) {
    const auto d = static_cast<double>(digits);
    if (power >= 0 && power <= kExactPowers) return d * kPowerOfTen[power];
    if (power < 0 && power >= -kExactPowers) return d / kPowerOfTen[-power];
    // "<digits>e<power>": 20 digits at most, then the exponent.
    char text[40];
    char* p = text + 20;
    do {
        *--p = static_cast<char>('0' + digits % 10);
        digits /= 10;
    } while (digits > 0);
    text[20] = 'e';
    const char* end = std::to_chars(text + 21, text + sizeof text, power).ptr;
    double value = 0.0;
    std::from_chars(p, end, value);
    return value;
}

// significant_digits in exact integer arithmetic for the magnitudes the tools
// meet (about 1e-8 up to 1e15); false for the others.
bool significant_digits_fast(double magnitude, Significant& out) {
#ifndef __SIZEOF_INT128__
    (void)magnitude, (void)out;
    return false;   // the standard library's digits below
#else
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = static_cast<int>(bits >> 52) & 0x7ff;
    if (biased == 0 || biased == 0x7ff) return false;   // subnormal or not finite
    const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int shift = 1075 - biased;                    // magnitude = mantissa / 2^shift
    if (shift <= 0 || shift > 127) return false;
    // The decimal exponent from the binary one (floor of log10(2) times it)
    // is the exponent or one less; the nearest double to the next power of
    // ten tells which but for a value next to it, which the loop mends.
    int exponent = ((52 - shift) * 78913) >> 18;
    static constexpr double kNegativePowers[] = {1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,  1e-8,
                                                 1e-9,  1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15};
    if (exponent + 1 >= 0 && exponent + 1 <= kExactPowers) {
        if (magnitude >= kPowerOfTen[exponent + 1]) ++exponent;
    } else if (exponent + 1 < 0 && exponent + 1 >= -15) {
        if (magnitude >= kNegativePowers[-(exponent + 1) - 1]) ++exponent;
    }
    for (int tries = 0; tries < 3; ++tries) {
        const int power = kSignificant - 1 - exponent;
        if (power < 0 || power > kExactPowers) return false;
        static constexpr auto kWide = [] {
            std::array<Wide, kExactPowers + 1> t{};
            for (int i = 0; i <= kExactPowers; ++i) t[static_cast<std::size_t>(i)] = wide_power_of_ten(i);
            return t;
        }();
        // magnitude * 10^power = product / 2^shift, exactly.
        // (One 64-bit by 64-bit product while the power fits in 64 bits.)
        Wide product = static_cast<Wide>(mantissa);
        if (power < 20)
            product *= kUnits[power];
        else
            product *= kWide[static_cast<std::size_t>(power)];
        auto whole = static_cast<std::uint64_t>(product >> shift);
        if (whole >= kHigh15) {
            ++exponent;
            continue;
        }
        if (whole < kLow15) {
            --exponent;
            continue;
        }
        const Wide rest = product - (static_cast<Wide>(whole) << shift);
        const Wide half = Wide{1} << (shift - 1);
        // Up past the half, and on it to the even neighbour (without a branch:
        // the direction is a coin toss for measured values).
        whole += static_cast<std::uint64_t>((rest > half) | ((rest == half) & (whole % 2 == 1)));
        if (whole == kHigh15) {
            whole = kLow15;
            ++exponent;
        }
        out = {whole, exponent};
        return true;
    }
    return false;
#endif
}

// n / 10^k and n % 10^k for k from 0 to 15, each with a constant divisor
// (which the compiler turns into a multiplication).
struct Split {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
};
template <int K>
Split split_at(std::uint64_t n) {
    return {n / kUnits[K], n % kUnits[K]};
}
template <int... K>
Split split_digits(std::uint64_t n, int k, std::integer_sequence<int, K...>) {
    Split result{0, n};
    (void)((k == K ? (result = split_at<K>(n), true) : false) || ...);
    return result;
}
Split split_digits(std::uint64_t n, int k) {
    return split_digits(n, k, std::make_integer_sequence<int, kSignificant + 1>{});
}

// The 15 digits of `n` (below 10^15), two at a time, the first 7 and the last
// 8 apart (two short chains of 32-bit steps instead of one long one).
void write_digits(std::uint64_t n, char* out) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    auto high = static_cast<std::uint32_t>(n / 100'000'000);
    auto low = static_cast<std::uint32_t>(n % 100'000'000);
    for (int i = kSignificant - 2; i >= 7; i -= 2, low /= 100)
        std::memcpy(out + i, kPairs + 2 * (low % 100), 2);
    out[6] = static_cast<char>('0' + high % 10);
    high /= 10;
    for (int i = 4; i >= 0; i -= 2, high /= 100) std::memcpy(out + i, kPairs + 2 * (high % 100), 2);
}

// The finite double as its decimal text rounded to 15 significant digits.
Decimal to_decimal(double value) {
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0.0) return d;
    const Significant s = significant_digits(value);
    char text[kSignificant];
    write_digits(s.digits, text);
    int count = kSignificant;
    while (count > 0 && text[count - 1] == '0') --count;
    d.digits.assign(text, static_cast<std::size_t>(count));
    d.point = s.exponent + 1;
    return d;
}

// Rounds in place to `decimals` places, halves away from zero.
void round_decimal(Decimal& d, int decimals) {
    const std::int64_t keep = static_cast<std::int64_t>(d.point) + decimals;   // digits that stay
    if (keep >= static_cast<std::int64_t>(d.digits.size())) return;        // already short enough
    if (keep < 0) {                                                // below a half of the last place
        d.digits.clear();
        return;
    }
    const auto k = static_cast<std::size_t>(keep);
    const char first_dropped = d.digits[k];
    const bool up = first_dropped >= '5';
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

// read_number for the texts the data files hold, in one pass: digits that
// make an integer a double holds exactly, with a power of ten it also holds,
// give the nearest double in one operation. False for a text this does not
// decide (more digits, a larger power, not a number): the full reading
// decides it.
bool read_short_number(std::string_view text, double& value) {
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && is_blank(*p)) ++p;
    while (end > p && is_blank(end[-1])) --end;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    // 19 digits cannot overflow 64 bits; more (even leading zeros) are left
    // to the full reading, and so is a value a double cannot hold exactly.
    std::uint64_t whole = 0;
    const char* first = p;
    while (p < end && is_digit(*p)) whole = whole * 10 + static_cast<std::uint64_t>(*p++ - '0');
    std::ptrdiff_t digits = p - first;
    std::ptrdiff_t fraction = 0;
    if (p < end && *p == '.') {
        const char* point = ++p;
        while (p < end && is_digit(*p)) whole = whole * 10 + static_cast<std::uint64_t>(*p++ - '0');
        fraction = p - point;
        digits += fraction;
    }
    if (digits == 0 || digits > 19 || whole > (std::uint64_t{1} << 53)) return false;
    int exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool exponent_negative = false;
        if (p < end && (*p == '+' || *p == '-')) exponent_negative = *p++ == '-';
        const char* exponent_first = p;
        while (p < end && is_digit(*p) && exponent < 1000) exponent = exponent * 10 + (*p++ - '0');
        if (p == exponent_first) return false;
        if (exponent_negative) exponent = -exponent;
    }
    if (p != end) return false;
    const int power = exponent - static_cast<int>(fraction);
    if (power < -kExactPowers || power > kExactPowers) return false;
    const double magnitude = scaled(whole, power);
    value = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace

std::optional<double> read_number(std::string_view text) {
    if (double value = 0; read_short_number(text, value)) return value;
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
    if (value == 0.0) return 0.0;
    // Halves to even on the 15 digits as one integer, without the heap: the
    // result is kept * 10^power.
    decimals = std::clamp(decimals, 0, 400);
    const Significant s = significant_digits(value);
    const int keep = s.exponent + 1 + decimals;   // digits that stay
    if (keep < 0) return 0.0;
    std::uint64_t kept = s.digits;
    int power = s.exponent - (kSignificant - 1);
    if (keep < kSignificant) {
        const int dropped = kSignificant - keep;
        const Split split = split_digits(s.digits, dropped);
        kept = split.high;
        const std::uint64_t halfway = kUnits[dropped] / 2;
        const bool up = (split.low > halfway) | ((split.low == halfway) & (kept % 2 == 1));
        kept += static_cast<std::uint64_t>(up);
        power = -decimals;
    }
    if (kept == 0) return 0.0;
    const double magnitude = scaled(kept, power);
    return value < 0 ? -magnitude : magnitude;
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
    round_decimal(d, decimals);
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
    const Significant s = significant_digits(value);
    char digits[kSignificant];
    write_digits(s.digits, digits);
    int count = kSignificant;
    const int exponent = s.exponent;
    while (count > 0 && digits[count - 1] == '0') --count;
    const auto copy = [&p](const char* from, int n) {   // a few characters: no call to memcpy
        for (int i = 0; i < n; ++i) *p++ = from[i];
    };
    if (value < 0) *p++ = '-';
    if (exponent >= -5 && exponent < 15) {
        if (exponent < 0) {
            copy("0.0000", 1 - exponent);   // "0." and the zeros after the point
            copy(digits, count);
        } else {
            const int whole = exponent + 1;   // digits before the point
            if (count <= whole) {
                copy(digits, count);
                copy("00000000000000", whole - count);
            } else {
                copy(digits, whole);
                *p++ = '.';
                copy(digits + whole, count - whole);
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

Significant significant_digits(double value) {
    Significant s;
    if (!std::isfinite(value) || value == 0.0) return s;
    const double magnitude = std::fabs(value);
    if (significant_digits_fast(magnitude, s)) return s;
    // d.dddddddddddddde+XX, correctly rounded from the exact binary value;
    // to_chars, unlike printf, ignores the C locale's decimal point.
    char buf[40];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, kSignificant - 1);
    const char* p = buf;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (is_digit(*p)) s.digits = s.digits * 10 + static_cast<std::uint64_t>(*p - '0');
    const char* exp_begin = p + 1;
    if (exp_begin < res.ptr && *exp_begin == '+') ++exp_begin;
    std::from_chars(exp_begin, res.ptr, s.exponent);
    return s;
}

std::uint64_t rounded_units(double value, int decimals) {
    if (!(value > 0) || !std::isfinite(value)) return 0;
    decimals = std::clamp(decimals, 0, kSignificant);
    const Significant s = significant_digits(value);
    const int dropped = kSignificant - (s.exponent + 1 + decimals);   // digits below the last decimal
    if (dropped > kSignificant) return 0;
    if (dropped <= 0) return s.digits * kUnits[std::min(-dropped, 3)];
    const Split split = split_digits(s.digits, dropped);
    return split.high + (split.low >= kUnits[dropped] / 2 ? 1 : 0);
}

double general_value(double value) {
    if (!std::isfinite(value) || value == 0.0) return value;
    const Significant s = significant_digits(value);
    const double magnitude = scaled(s.digits, s.exponent - (kSignificant - 1));
    return value < 0 ? -magnitude : magnitude;
}

std::string plain_text(double value) {
    if (!std::isfinite(value)) return non_finite_text(value);
    return plain_decimal(to_decimal(value));
}

}  // namespace mq::numbers
