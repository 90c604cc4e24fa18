#include "calc/notation.h"

#include <doctest/doctest.h>

#include <string>

namespace {

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
    struct Case {
        const char* text;
        const char* offered;
        int selected;   // -1: keep the selection
    };
    const Case cases[] = {
        {"", "012345", -1},         {"45", "012345", -1},      {"45.5", "23", 2},
        {"45,5", "012345", -1},     // commas do not count
        {"10:30", "0145", 0},       {"10:30.5", "05", 0},      {"10:30:45", "14", 1},
        {"10:30:45.5", "14", 1},    {"-45.5", "23", 2},        {"1:2:3:4", "keep", -1},
    };
    for (const auto& c : cases) {
        CAPTURE(c.text);
        const auto d = mq::calc::detect_notation(c.text);
        CHECK(offered_text(d) == c.offered);
        CHECK(d.selected.value_or(-1) == c.selected);
    }
}

TEST_CASE("convert_notation") {
    // Why there is no result, in the words of the message.
    const char *none = "", *nan = "a part of the value is empty or not a number",
               *point = "this conversion needs a value with a decimal point",
               *minutes = "the decimal point must be in the minutes";
    struct Case {
        std::string text;
        int conversion;
        const char* result;   // empty: no result
        const char* problem;
    };
    const std::string dbl_max = "17976931348623157" + std::string(292, '0');
    const Case cases[] = {
        // Conversion 0: degrees:decimal minutes to decimal degrees.
        {"10:30.5", 0, "10.5083330", none},     {"-10:30.5", 0, "-10.5083330", none},
        {"10:30", 0, "10.5000000", none},       {"45", 0, "45.0000000", none},
        {"10:30,5", 0, "10.5083330", none},     {":30", 0, "", nan},
        {"", 0, "", nan},                       {"1O:30", 0, "", nan},
        {"1e308:1e308", 0, "", nan},   // no exponent inside a colon text
        {dbl_max + ":" + dbl_max, 0, "", "the value is too large"},
        // Conversion 1: degrees:minutes:seconds to decimal degrees.
        {"10:30:45", 1, "10.5125000", none},    {"-10:30:45", 1, "-10.5125000", none},
        {"0:0:0.0018", 1, "0.0000000", none},   // half to even at six decimals
        {"0:0:0.0054", 1, "0.0000020", none},   // odd half up at six decimals
        {"10:30", 1, "10.5000000", none},
        // Conversion 2: decimal degrees to degrees:decimal minutes.
        {"45.5125", 2, "45:30.7500", none},     {"5.5", 2, "05:30.0000", none},
        {"10,5", 2, "10:30.0000", none},        {"-5.5", 2, "-05:30.0000", none},
        {".5", 2, "00:30.0000", none},
        {"0.00001", 2, "00:00.0010", none},   // minutes rounded to 3 first
        {"45", 2, "", point},                   {"10.5.3", 2, "", nan},
        // Conversion 3: decimal degrees to degrees:minutes:seconds.
        {"45.5125", 3, "45:30:45.00", none},    {"45.25", 3, "45:15:00.00", none},
        {"10.9999999", 3, "10:59:60.00", none},   // no carry
        {"-45.5125", 3, "-45:30:45.00", none},  {"45", 3, "", point},
        {"10.000000025", 3, "10:00:00.00", none},   // tiny minutes stay plain
        // Conversion 4: degrees:minutes:seconds to degrees:decimal minutes.
        {"10:30:45", 4, "10:30.7500", none},    {"5:3:3", 4, "05:03.0500", none},
        {"-10:30:45", 4, "-10:30.7500", none},  {"45", 4, "45:00.0000", none},
        {"10:3x:45", 4, "", nan},
        // Conversion 5: degrees:decimal minutes to degrees:minutes:seconds.
        {"10:30.75", 5, "10:30:45.00", none},   {"-10:30.5", 5, "-10:30:30.00", none},
        {"10:30.99999", 5, "10:30:60.00", none}, {"10:30,75", 5, "10:30:45.00", none},
        {"45", 5, "", point},                   {"45.5:30", 5, "", minutes},
        {"45.5", 5, "", minutes},
        // Exponents are written out before converting.
        {"1.5e1", 0, "15.0000000", none},       {"1.5E-1", 2, "00:09.0000", none},
        {"-2.5e0", 2, "-02:30.0000", none},     {"1,5e1", 0, "15.0000000", none},
        {"1e5:30", 0, "", nan},                 {"e", 2, "", nan},
        {"1e3000000000", 0, "", nan},           {"10.5", 6, "", "the conversion must be a number from 0 to 5"},
        {std::string(5000, '7'), 0, "", nan},
    };
    for (const auto& c : cases) {
        CAPTURE(c.text);
        CAPTURE(c.conversion);
        const auto r = mq::calc::convert_notation(c.text, c.conversion);
        CHECK((r.result ? r.result.value() : "") == c.result);
        CHECK((r.result ? "" : r.result.error().message) == c.problem);
    }
}

TEST_CASE("convert_notation shows the input with its exponent written out") {
    const std::pair<const char*, const char*> cases[] = {
        {"10,5", "10,5"},           {"1.5e1", "15"},      {"-1.5e1", "-15"},
        {"1.5e-7", "0.00000015"},   {"1e5:30", "1e5:30"},
    };
    for (const auto& [text, rewritten] : cases) {
        CAPTURE(text);
        CHECK(mq::calc::convert_notation(text, 0).rewritten == rewritten);
    }
}
