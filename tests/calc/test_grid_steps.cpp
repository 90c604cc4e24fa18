#include "calc/grid_steps.h"

#include <doctest/doctest.h>

#include <string>

using mq::calc::GridMode;

TEST_CASE("read_value_text") {
    const std::pair<const char*, const char*> cases[] = {   // "": not a value
        {"10", "10.0000000"},
        {"10:30", "10.5000000"},
        {"0:0:30", "0.0083330"},
        {"-10:30", "-10.5000000"},       // the sign covers the minutes
        {"0.00000049", "0.0000000"},     // rounded to six
        {"0.0000125", "0.0000120"},      // half to even at six
        {"1:2:3:4", "1.0341670"},        // extra fields ignored
        {"1O", ""},
        {"10::30", ""},
        {"10,5", ""},
        {"1.79e308:1.79e308", ""},
    };
    for (const auto& [text, held] : cases) {
        CAPTURE(text);
        CHECK(mq::calc::read_value_text(text).value_or("") == held);
    }
}

TEST_CASE("three_notation_text") {
    const std::pair<const char*, const char*> cases[] = {   // "": none
        {"2.00000000", "02:00:00.00 / 02:0.0000 / 2.00000000"},
        {"0.33333333", "00:19:60.00 / 00:20.0000 / 0.33333333"},   // no carry
        {"-1.50000000", "-01:30:00.00 / -01:30.0000 / -1.50000000"},
        {"-0.50000000", "-00:30:00.00 / -00:30.0000 / -0.50000000"},
        {"2", ""},
        {"x.5", ""},
    };
    for (const auto& [decimal, shown] : cases) {
        CAPTURE(decimal);
        CHECK(mq::calc::three_notation_text(decimal).value_or("") == shown);
    }
}

TEST_CASE("calculate_grid_steps") {
    constexpr auto A = GridMode::Amount;
    constexpr auto S = GridMode::Size;
    const std::string two = "02:00:00.00 / 02:0.0000 / 2.00000000";
    const std::string one = "01:00:00.00 / 01:0.0000 / 1.00000000";
    const std::string half = "00:30:00.00 / 00:30.0000 / 0.50000000";
    struct Case {
        mq::calc::GridStepInput input;
        bool calculated;
        GridMode mode_after;
        std::string range;   // "-": none
        std::string steps;
        std::string size;
        std::string problem;   // a part of the problem text; "" when none
    };
    const Case cases[] = {
        {{"10", "12", "4", "", A}, true, A, two, "4", half, ""},
        {{"10", "12", "", "0:0:30", A}, true, S, two, "240", "00:00:30.00 / 00:0.5000 / 0.00833333", ""},
        {{"-10:30", "-9:30", "60", "", A}, true, A, one, "60", "00:01:00.00 / 00:1.0000 / 0.01666667", ""},
        {{"0", "1", "", "0.3", S}, true, S, one, "3", "00:19:60.00 / 00:20.0000 / 0.33333333", ""},
        {{"7.5", "8.25", "", "0:15", S}, true, S, "00:45:00.00 / 00:45.0000 / 0.75000000", "3",
         "00:15:00.00 / 00:15.0000 / 0.25000000", ""},
        {{"10", "12", "4", "0.5", S}, true, S, two, "4", half, ""},   // both filled: the user's choice
        {{"0", "2.5", "", "1", S}, true, S, "02:30:00.00 / 02:30.0000 / 2.50000000", "2",
         "01:15:00.00 / 01:15.0000 / 1.25000000", ""},   // amount 2.5 rounds to even
        {{"10", "12", "", "", S}, false, S, "-", "-", "-", "amount of steps or a step size"},
        {{"", "12", "4", "", A}, false, A, "-", "-", "-", "both needed"},
        {{"10", "12", "0", "", A}, true, A, two, "0", "-", "is 0"},
        {{"10", "12", "32768", "", A}, true, A, two, "-", "-", "32767"},
        {{"10", "12", "abc", "", A}, true, A, two, "-", "-", "'abc'"},
        {{"10", "12", "", "0", S}, true, S, two, "-", "-", "greater than 0"},
        {{"10", "12", "", "-1", S}, true, S, two, "-", "-", "greater than 0"},
        {{"10", "12", "", "1e-308", S}, true, S, two, "-", "-", "too small"},
        {{"10", "12", "", "5", S}, true, S, two, "0", "-", "0 steps"},
        {{"10", "12", "", "x", S}, true, S, two, "-", "-", "'x' is not a number"},
        {{"ten", "12", "4", "", A}, true, A, "-", "4", "-", "minimum 'ten'"},
        {{"ten", "12", "", "1", S}, true, S, "-", "-", "-", "minimum 'ten'"},
        {{"-1e308", "1e308", "4", "", A}, true, A, "-", "4", "-", "too large"},
    };
    auto shown = [](const std::optional<std::string>& v) { return v.value_or("-"); };
    for (const auto& c : cases) {
        CAPTURE(c.input.min);
        CAPTURE(c.input.max);
        CAPTURE(c.input.amount);
        CAPTURE(c.input.size);
        const auto r = mq::calc::calculate_grid_steps(c.input);
        CHECK(r.calculated == c.calculated);
        CHECK(r.mode == c.mode_after);
        CHECK(shown(r.range) == c.range);
        CHECK(shown(r.amount) == c.steps);
        CHECK(shown(r.size) == c.size);
        // Every missing result is explained.
        const std::string problem = r.status ? "" : r.status.error().message;
        CHECK(problem.empty() == c.problem.empty());
        CHECK(problem.find(c.problem) != std::string::npos);
    }
}
