// The colour mixer's arithmetic: colour texts, the gradient bar, the values
// under the pointer, and the tables it refuses to make. (The tables it makes
// are in test_colour_table.cpp.)
#include "catalogue/colour_mixer.h"
#include "catalogue/colour_table.h"
#include "common/number_rules.h"

#include <doctest/doctest.h>

#include <string>
#include <tuple>

using namespace mq::catalogue;

TEST_CASE("read_rgb_text")
{
    const std::pair<const char*, const char*> rows[] = {
        {"255/128/0", "255/128/0"}, {" 1 / 2 /3 ", "1/2/3"}, {"256/0/0", "-"}, {"-1/0/0", "-"}, {"1/2", "-"},
        {"1/2/3/4", "-"},           {"1//3", "-"},           {"1.5/2/3", "-"}, {"-", "-"}};
    for (const auto& [text, read] : rows) {
        const auto colour = read_rgb_text(text);
        CHECK(std::string(text) + " " + (colour ? rgb_text(*colour) : "-") == std::string(text) + " " + read);
    }
}

// Ranges the pen width cannot take draw a plain bar, a backwards scale or
// keep the last bar; none of them fails.
TEST_CASE("make_color")
{
    const std::tuple<const char*, const char*, const char*, const char*> rows[] = {
        // "keep": no new bar
        {"0", "100", "0/0/0", "501 strokes, pen 5, 0 + 100, 255/255/255 at 0 to 0/0/0 at 100"},
        {"5", "5", "0/0/0", "0 strokes, pen 0, 5 + 0, plain 255/255/255"},
        {"100", "0", "0/0/0", "501 strokes, pen 5, 100 + -100, 255/255/255 at 100 to 0/0/0 at 0"},
        {"0", "2000", "1/2/3", "501 strokes, pen 0, 0 + 2000, 255/255/255 at 0 to 1/2/3 at 2000"},
        {"0", "0.001", "0/0/0",
         "501 strokes, pen 500000, 0 + 0.001, 255/255/255 at 0 to 0/0/0 at "
         "0.001"},
        {"abc", "100", "0/0/0", "keep"},
        {"0", "", "0/0/0", "keep"},
        {"-1e308", "1e308", "0/0/0", "keep"},
        {"0", "100", "-", "keep"},  // the colour label unset
    };
    const auto n = [](double v) { return mq::numbers::general_text(v); };
    for (const auto& [low, high, colour, expected] : rows) {
        CAPTURE(low);
        CAPTURE(high);
        const auto b = make_color(low, high, "255/255/255", colour);
        std::string shown = "keep";
        if (b) {
            shown = std::to_string(b->strokes.size()) + " strokes, pen " + n(b->pen_width) + ", " +
                    n(b->left) + " + " + n(b->width) + ", ";
            if (b->strokes.empty()) {
                shown += "plain " + rgb_text(b->plain);
            } else {
                const auto &first = b->strokes.front(), &last = b->strokes.back();
                shown += rgb_text(first.colour) + " at " + n(first.value) + " to " + rgb_text(last.colour) +
                         " at " + n(last.value);
            }
            CHECK(b->plain == (Rgb{255, 255, 255}));
        }
        CHECK(shown == expected);
    }
}

TEST_CASE("stroke_pen_pixels and value_text_at")
{
    // pen asked, bar pixels, pen used
    for (const auto& [pen, pixels, used] : {std::tuple{5, 500, 5}, {0, 500, 1}, {0, 1200, 3}, {500, 500, 11}})
        CHECK(stroke_pen_pixels(pen, pixels) == used);
    const std::tuple<const char*, const char*, double, const char*> rows[] = {
        {"0", "100", 250.0, "50"},
        {"0", "100", 3.0, "1"},
        {"0", "5", 250.0, "2"},  // half to even
        {"100", "0", 100.0, "80"},
        {"7", "7", 400.0, "7"}};
    for (const auto& [low, high, x, value] : rows) {
        const auto bar = make_color(low, high, "0/0/0", "1/1/1");
        REQUIRE(bar);
        CHECK(value_text_at(*bar, x, 500) == value);
    }
}

TEST_CASE("colour tables refused, and one running upwards")
{
    const std::string no_colour = "has no colour: double-click its swatch to give it the mixed colour";
    const std::tuple<int, const char*, const char*, std::string> rows[] = {
        // -1 minimum, -2 maximum, a stop
        {-1, "x", "0/0/0", "the minimum: the value \"x\" is not a number"},
        {-2, "1", "-", "the maximum " + no_colour},
        {3, "1,5", "1/2/3", "stop 4: the value \"1,5\" is not a number"},
        {9, "20", "-", "stop 10 " + no_colour},
        {-2, "-10", "0/0/0", "the colour table needs at least two different values"},
        {-1, "200", "0/0/0",  // runs upwards
         "# GMT colour palette table made with Mapquill\r\n# COLOR_MODEL = "
         "RGB\r\n100 2 2 2 200 0 0 0\r\n"
         "B 2 2 2\r\nF 0 0 0\r\nN 128 128 128\r\n"},
    };
    for (const auto& [stop, value, colour, expected] : rows) {
        ColourTableSource source{{"-10", "1/1/1"}, {"100", "2/2/2"}, {}};
        source.stops.assign(10, {"", "-"});
        auto& entry = stop == -1   ? source.minimum
                      : stop == -2 ? source.maximum
                                   : source.stops[std::size_t(stop)];
        entry = {value, colour};
        const auto stops = read_colour_stops(source);
        const auto table = stops ? colour_table_text(stops.value()) : mq::Result<std::string>(stops.error());
        CHECK((table ? table.value() : table.error().text()) == expected);
    }
}
