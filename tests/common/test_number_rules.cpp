// The shared number rules decide exact digits, so these tables probe the
// halves, the values that binary cannot hold exactly and the range limits.
#include "common/number_rules.h"

#include <doctest/doctest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>

namespace num = mq::numbers;

TEST_CASE("read_number") {
    const std::nullopt_t no = std::nullopt;
    const std::pair<std::string, std::optional<double>> cases[] = {
        {"45", 45.0}, {" \t45.5 ", 45.5}, {"+4.5", 4.5}, {"-4.5", -4.5}, {".5", 0.5}, {"5.", 5.0},
        {"1.5e1", 15.0}, {"25E-1", 2.5}, {"1e-400", 0.0},   // underflow reads as 0
        {std::string(300, '1'), std::stod(std::string(300, '1'))}, {"0." + std::string(400, '0') + "1", 0.0},
        // An exponent that overflows 32 bits must not wrap round into a
        // small one (long is 32 bits on Windows).
        {"1e3000000000", no}, {"1e-3000000000", 0.0}, {"1e99999999999999999999", no},
        {"0.000001e4294967302", no}, {"", no}, {"  ", no}, {"abc", no}, {"1,5", no}, {"1.2.3", no}, {".", no},
        {"-", no}, {"--5", no}, {"e5", no}, {"1e", no}, {"1e400", no}, {std::string(400, '9'), no},
        {"0x10", no}, {"inf", no}, {"nan", no}, {"1 2", no}, {"10:30", no},
    };
    for (const auto& [text, value] : cases) {
        CAPTURE(text);
        CHECK(num::read_number(text) == value);
    }
}

TEST_CASE("read_int16") {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"4", 4},     {"32767", 32767},      {"-32768", -32768},   {"32768", std::nullopt},
        {"4.5", 4},   {"5.5", 6},            {"32767.5", std::nullopt},
        {"", std::nullopt},                  {"4/2", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        CAPTURE(text);
        CHECK(num::read_int16(text) == expected);
    }
}

TEST_CASE("round_to: halves to even on the 15-digit decimal") {
    const std::tuple<double, int, double> cases[] = {   // value, decimals, rounded
        {2.5, 0, 2.0}, {3.5, 0, 4.0}, {0.5, 0, 0.0}, {-2.5, 0, -2.0}, {-3.5, 0, -4.0}, {0.125, 2, 0.12},
        {0.375, 2, 0.38}, {2.675, 2, 2.68}, {2.665, 2, 2.66}, {10.0000005, 6, 10.0}, {-10.0000005, 6, -10.0},
        {10.0000015, 6, 10.000002}, {0.1 + 0.2, 6, 0.3}, {2.50001, 0, 3.0}, {99.995, 2, 100.0},
        {0.0004, 3, 0.0}, {0.0005, 3, 0.0}, {0.0015, 3, 0.002}, {1e-300, 8, 0.0}, {1e300, 2, 1e300},
        {123456.7, -1, 123457.0}, {1000000000000000.5, 0, 1000000000000000.0},
    };
    for (const auto& [value, decimals, expected] : cases) {
        CAPTURE(value);
        CAPTURE(decimals);
        const double rounded = num::round_to(value, decimals);
        CHECK(rounded == expected);
        CHECK((!std::signbit(rounded) || expected < 0));   // no -0
    }
}

TEST_CASE("format_pattern: halves away from zero") {
    const std::tuple<double, const char*, const char*> cases[] = {   // value, pattern, text
        {2.5, "00", "03"}, {-2.5, "00", "-03"}, {0.125, "00.00", "00.13"}, {2.675, "00.00", "02.68"},
        {2.665, "00.00", "02.67"}, {-0.125, "#0.00", "-0.13"}, {10.00000005, "#0.0000000", "10.0000001"},
        {5.0, "00", "05"}, {123.0, "00", "123"}, {59.9999, "00.00", "60.00"}, {-0.001, "00.00", "00.00"},
        {0.0, "#0.0000000", "0.0000000"}, {30.75, "00.0000", "30.7500"}, {0.5, "#0.0000", "0.5000"},
        {0.5, "#.00", ".50"}, {1e-7, "#0.0000000", "0.0000001"}, {1e20, "#0.00", "100000000000000000000.00"},
        {1.0 / 60, "#0.00000000", "0.01666667"}, {std::numeric_limits<double>::infinity(), "00", "Infinity"},
    };
    for (const auto& [value, pattern, expected] : cases) {
        CAPTURE(value);
        CAPTURE(pattern);
        CHECK(num::format_pattern(value, pattern) == expected);
    }
    CHECK_THROWS_AS(num::format_pattern(1.0, "0,00"), std::invalid_argument);
    CHECK_THROWS_AS(num::format_pattern(1.0, "0.0.0"), std::invalid_argument);
    CHECK(num::format_text("x", "00") == std::nullopt);
    CHECK(num::format_text("5", "00") == "05");
}

TEST_CASE("general_text and plain_text") {
    const std::tuple<double, const char*, const char*> cases[] = {   // value, general, plain
        {30.000000000000004, "30", "30"}, {30.75, "30.75", "30.75"}, {0.1 + 0.2, "0.3", "0.3"},
        {-0.0, "0", "0"}, {123456789012345.0, "123456789012345", "123456789012345"},
        {1e15, "1E+15", "1000000000000000"}, {1e-5, "0.00001", "0.00001"}, {1.5e-7, "1.5E-07", "0.00000015"},
        {-2.5e20, "-2.5E+20", "-250000000000000000000"}, {1.0 / 3, "0.333333333333333", "0.333333333333333"},
        {2.0 / 3, "0.666666666666667", "0.666666666666667"}, {0.9999999 * 60, "59.999994", "59.999994"},
        {std::nan(""), "NaN", "NaN"}, {-12.5, "-12.5", "-12.5"},
    };
    for (const auto& [value, general, plain] : cases) {
        CAPTURE(value);
        CHECK(num::general_text(value) == general);
        CHECK(num::plain_text(value) == plain);
    }
}
