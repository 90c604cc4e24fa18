// The arithmetic behind the colour mixer: colour texts "red/green/blue", the
// one-number form of a colour, and the gradient bar from the minimum to the
// maximum colour with its value scale.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mq::catalogue {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Reads "255/128/0": three whole numbers 0..255 joined by "/", blanks around
// each allowed. nullopt for anything else.
std::optional<Rgb> read_rgb_text(std::string_view text);
// "255/128/0": each component in decimal without leading zeros.
std::string rgb_text(Rgb colour);
// red + 256 * green + 65536 * blue.
long colour_number(Rgb colour);

// One vertical stroke of the bar: its place on the value scale and its colour.
struct GradientStroke {
    double value = 0.0;
    Rgb colour;
};

// What the bar shows. The value scale runs from `left` at the bar's left edge
// to `left + width` at its right edge (width may be negative: a maximum value
// below the minimum value runs the scale backwards).
struct Gradient {
    double left = 0.0;
    double width = 0.0;
    // 500 / |width| rounded (halves to even): 5 for the range 0 to 100.
    // 0 when the range is wider than 1000; the drawing widens it, see
    // stroke_pen_pixels.
    int pen_width = 0;
    // 501 strokes from the minimum colour at the minimum value to the maximum
    // colour at the maximum value. Empty when both values are equal: the bar
    // is then plain in the minimum colour.
    std::vector<GradientStroke> strokes;
    Rgb plain;
};

// The gradient for the texts of the value boxes and colour labels. nullopt
// when a value box does not hold a number or a colour label does not hold a
// colour: the bar then keeps what it showed.
std::optional<Gradient> make_color(std::string_view min_value, std::string_view max_value,
                                   std::string_view min_colour, std::string_view max_colour);

// The pen actually used on a bar `bar_pixels` wide: at least wide enough to
// close the gaps between the 501 strokes, and never so wide (narrow ranges ask
// for hundreds of pixels) that later strokes cover the places of earlier ones.
int stroke_pen_pixels(int pen_width, int bar_pixels);

// Horizontal pixel of a value on the bar.
double bar_pixel(const Gradient& bar, double value, int bar_pixels);

// The value under the pointer at pixel `x` of a bar `bar_pixels` wide, rounded
// to a whole number (halves to even), as the pointer label shows it.
std::string value_text_at(const Gradient& bar, double x, int bar_pixels);

}  // namespace mq::catalogue
