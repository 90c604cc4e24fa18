// The Lat/Lon converter's notations, from the calculators' rows of
// data/tables.txt (tests/common).
#include "calc/notation.h"
#include "common/golden_rows.h"

#include <doctest/doctest.h>

#include <string>

namespace {

const char* const kGolden =
#include "tables_golden.h"
    ;

auto rows(const char* kind) { return mq::testing::golden_rows(kGolden, kind); }

// "0145" style text of the offered conversions, or "keep".
std::string offered_text(const mq::calc::NotationDetection& d) {
    if (!d.offered) return "keep";
    std::string s;
    for (int i = 0; i < mq::calc::kConversionCount; ++i)
        if (d.offered->test(static_cast<std::size_t>(i))) s += std::to_string(i);
    return s;
}

}  // namespace

TEST_CASE("detect_notation") {
    for (const auto& r : rows("detect_notation")) {   // text | offered | selected
        CAPTURE(r[0]);
        const auto d = mq::calc::detect_notation(r[0]);
        CHECK(offered_text(d) == r[1]);
        CHECK(d.selected.value_or(-1) == std::stoi(r[2]));
    }
}

TEST_CASE("convert_notation") {
    for (const auto& r : rows("convert_notation")) {   // text | conversion | result | problem
        CAPTURE(r[0]);
        CAPTURE(r[1]);
        const auto c = mq::calc::convert_notation(r[0], std::stoi(r[1]));
        CHECK((c.result ? c.result.value() : "none") == r[2]);
        CHECK((c.result ? "none" : c.result.error().message) == r[3]);
    }
    // The input as shown, its exponent written out.
    for (const auto& r : rows("rewritten")) {
        CAPTURE(r[0]);
        CHECK(mq::calc::convert_notation(r[0], 0).rewritten == r[1]);
    }
}
