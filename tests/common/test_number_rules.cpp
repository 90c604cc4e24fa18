// The shared number rules decide exact digits, so the tables in
// data/tables.txt probe the halves, the values that binary cannot hold
// exactly and the range limits.
#include "common/golden_rows.h"
#include "common/number_rules.h"

#include <doctest/doctest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace num = mq::numbers;

namespace {

const char* const kGolden =
#include "tables_golden.h"
    ;

// The table's value as the C library reads it ("inf" and "nan" too).
double value(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

std::optional<double> maybe(const std::string& text)
{
    return text == "none" ? std::nullopt : std::optional<double>(value(text));
}

}  // namespace

TEST_CASE("the number rules' tables")
{
    std::size_t rows = 0;
    for (const char* kind :
         {"read_number", "read_int16", "round_to", "rounded_units", "format_pattern", "general_text"})
        for (const auto& r : mq::testing::golden_rows(kGolden, kind)) {
            CAPTURE(kind);
            CAPTURE(r[0]);
            const std::string k = kind, &expected = r.at(r.size() - 1);
            if (k == "read_number") CHECK(num::read_number(r[0]) == maybe(expected));
            if (k == "read_int16") CHECK(num::read_int16(r[0]) == maybe(expected));
            if (k == "round_to") {   // halves to even on the 15-digit decimal
                const double rounded = num::round_to(value(r[0]), std::stoi(r.at(1)));
                CHECK(rounded == value(expected));
                CHECK((!std::signbit(rounded) || value(expected) < 0));   // no -0
            }
            if (k == "rounded_units")
                CHECK(num::rounded_units(value(r[0]), std::stoi(r.at(1))) == std::stoull(expected));
            if (k == "format_pattern") CHECK(num::format_pattern(value(r[0]), r.at(1)) == expected);
            if (k == "general_text") CHECK(num::general_text(value(r[0])) == r.at(1));
            if (k == "general_text") CHECK(num::plain_text(value(r[0])) == expected);
            ++rows;
        }
    CHECK(rows == 120);   // the table was read whole
    CHECK_THROWS_AS(num::format_pattern(1.0, "0,00"), std::invalid_argument);
    CHECK_THROWS_AS(num::format_pattern(1.0, "0.0.0"), std::invalid_argument);
    CHECK(num::format_text("x", "00") == std::nullopt);
    CHECK(num::format_text("5", "00") == "05");
}

TEST_CASE("the 15 digits equal the standard library's correctly rounded ones")
{
    // The digits are worked out in integers for the common magnitudes; every
    // value must give what to_chars gives, halves to even included.
    const auto expected = [](double v) {
        char buf[40];
        const auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14).ptr;
        num::Significant s;
        const char* p = buf;
        for (; *p != 'e'; ++p)
            if (*p != '.') s.digits = s.digits * 10 + static_cast<std::uint64_t>(*p - '0');
        std::from_chars(p + (p[1] == '+' ? 2 : 1), end, s.exponent);
        return s;
    };
    std::mt19937_64 random(26);
    std::uniform_real_distribution<double> power(-12, 17);
    std::vector<double> values = {123456789012344.5, 123456789012345.5, 0.5, 60, 59.9999999999999,
                                  1e-5, 9.999999999999999e-6, 1e15, 999999999999999.9, 1e22};
    for (int i = 0; i < 200000; ++i) {
        values.push_back(std::pow(10.0, power(random)));   // spread over the magnitudes
        const std::uint64_t bits = random();
        double any = 0;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any)) values.push_back(std::fabs(any));
        // 16-digit halves that a double holds: n + 0.5 below 2^52
        values.push_back(static_cast<double>(random() % (std::uint64_t{1} << 51)) + 0.5);
    }
    int wrong = 0;
    for (const double v : values) {
        if (v == 0) continue;
        const num::Significant got = num::significant_digits(v), want = expected(v);
        if (got.digits != want.digits || got.exponent != want.exponent) {
            if (++wrong <= 5) CHECK(v == 0);   // names the first values that differ
        }
        // the value the 15 digits read back as
        const double back = num::general_value(v);
        char text[40];
        const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, 14).ptr;
        double read = 0;
        std::from_chars(text, end, read);
        if (back != read && ++wrong <= 5) CHECK(v == 0);
    }
    CHECK(wrong == 0);
}

TEST_CASE("numbers read in one pass equal the standard library's")
{
    std::mt19937_64 random(53);
    int wrong = 0;
    for (int i = 0; i < 100000; ++i) {
        // up to 15 digits, a point anywhere, an exponent now and then
        const int digits = 1 + static_cast<int>(random() % 15);
        std::string text = random() % 2 ? "-" : "";
        for (int d = 0; d < digits; ++d) text += static_cast<char>('0' + random() % 10);
        text.insert(text.size() - random() % static_cast<std::uint64_t>(digits), ".");
        if (random() % 4 == 0) text += "e" + std::to_string(static_cast<int>(random() % 30) - 15);
        const double want = std::strtod(text.c_str(), nullptr);
        const auto got = num::read_number(text);
        if ((!got || *got != want || std::signbit(*got) != std::signbit(want)) && ++wrong <= 5)
            CHECK(text == "");   // names the first texts that differ
    }
    CHECK(wrong == 0);
}
