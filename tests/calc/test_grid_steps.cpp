// The grid calculator's rules, from the calculators' rows of data/tables.txt
// (tests/common).
#include "calc/grid_steps.h"
#include "common/golden_rows.h"

#include <doctest/doctest.h>

#include <string>

using mq::calc::GridMode;

namespace {

const char* const kGolden =
#include "tables_golden.h"
    ;

auto rows(const char* kind) { return mq::testing::golden_rows(kGolden, kind); }

}  // namespace

TEST_CASE("read_value_text and three_notation_text")
{
    for (const auto& r : rows("value_text")) {
        CAPTURE(r[0]);
        CHECK(mq::calc::read_value_text(r[0]).value_or("none") == r[1]);
    }
    for (const auto& r : rows("three_notation")) {
        CAPTURE(r[0]);
        CHECK(mq::calc::three_notation_text(r[0]).value_or("none") == r[1]);
    }
}

TEST_CASE("calculate_grid_steps")
{
    // min | max | amount | size | mode | calculated | mode after | range | steps | size | problem
    const auto mode = [](const std::string& m) { return m == "size" ? GridMode::Size : GridMode::Amount; };
    auto shown = [](const std::optional<std::string>& v) { return v.value_or("-"); };
    for (const auto& c : rows("grid_steps")) {
        const mq::calc::GridStepInput input{c[0], c[1], c[2], c[3], mode(c[4])};
        CAPTURE(input.min);
        CAPTURE(input.max);
        CAPTURE(input.amount);
        CAPTURE(input.size);
        const auto r = mq::calc::calculate_grid_steps(input);
        CHECK(r.calculated == (c[5] == "true"));
        CHECK(r.mode == mode(c[6]));
        CHECK(shown(r.range) == c[7]);
        CHECK(shown(r.amount) == c[8]);
        CHECK(shown(r.size) == c[9]);
        // Every missing result is explained.
        const std::string problem = r.status ? "none" : r.status.error().message;
        CHECK((problem == "none") == (c[10] == "none"));
        CHECK(problem.find(c[10]) != std::string::npos);
    }
}
