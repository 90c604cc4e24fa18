// The shared number rules decide exact digits, so the tables in
// data/tables.txt probe the halves, the values that binary cannot hold
// exactly and the range limits.
#include "common/golden_rows.h"
#include "common/number_rules.h"

#include <doctest/doctest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>

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
    for (const char* kind : {"read_number", "read_int16", "round_to", "format_pattern", "general_text"})
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
            if (k == "format_pattern") CHECK(num::format_pattern(value(r[0]), r.at(1)) == expected);
            if (k == "general_text") CHECK(num::general_text(value(r[0])) == r.at(1));
            if (k == "general_text") CHECK(num::plain_text(value(r[0])) == expected);
            ++rows;
        }
    CHECK(rows == 96);   // the table was read whole
    CHECK_THROWS_AS(num::format_pattern(1.0, "0,00"), std::invalid_argument);
    CHECK_THROWS_AS(num::format_pattern(1.0, "0.0.0"), std::invalid_argument);
    CHECK(num::format_text("x", "00") == std::nullopt);
    CHECK(num::format_text("5", "00") == "05");
}
