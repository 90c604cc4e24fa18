#include "catalogue/colour_mixer.h"

#include "common/number_rules.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace mq::catalogue {

namespace {

constexpr int kSteps = 500;

std::string_view trim(std::string_view s)
{
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::optional<int> read_component(std::string_view text)
{
    text = trim(text);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 0 || value > 255)
        return std::nullopt;
    return value;
}

int rounded(double value) { return static_cast<int>(numbers::round_to(value, 0)); }

}  // namespace

std::optional<Rgb> read_rgb_text(std::string_view text)
{
    const std::size_t first = text.find('/');
    const std::size_t second = first == std::string_view::npos ? first : text.find('/', first + 1);
    if (second == std::string_view::npos || text.find('/', second + 1) != std::string_view::npos)
        return std::nullopt;
    const auto red = read_component(text.substr(0, first));
    const auto green = read_component(text.substr(first + 1, second - first - 1));
    const auto blue = read_component(text.substr(second + 1));
    if (!red || !green || !blue) return std::nullopt;
    return Rgb{*red, *green, *blue};
}

std::string rgb_text(Rgb colour)
{
    return std::to_string(colour.red) + '/' + std::to_string(colour.green) + '/' + std::to_string(colour.blue);
}

long colour_number(Rgb colour)
{
    return colour.red + 256L * colour.green + 65536L * colour.blue;
}

std::optional<Gradient> make_color(std::string_view min_value, std::string_view max_value,
                                   std::string_view min_colour, std::string_view max_colour)
{
    const auto low = numbers::read_number(min_value);
    const auto high = numbers::read_number(max_value);
    const auto from = read_rgb_text(min_colour);
    const auto to = read_rgb_text(max_colour);
    if (!low || !high || !from || !to) return std::nullopt;
    const double width = *high - *low;
    if (!std::isfinite(width)) return std::nullopt;

    Gradient bar;
    bar.left = *low;
    bar.width = width;
    bar.plain = *from;
    if (width == 0.0) return bar;
    bar.pen_width = rounded(std::min(1e9, kSteps / std::fabs(width)));

    // Each component moves by a 500th of its difference per stroke; the
    // absolute value keeps a falling component from dipping below zero
    // through rounding.
    const double step_red = (to->red - from->red) / double(kSteps);
    const double step_green = (to->green - from->green) / double(kSteps);
    const double step_blue = (to->blue - from->blue) / double(kSteps);
    double red = from->red, green = from->green, blue = from->blue;
    bar.strokes.reserve(kSteps + 1);
    for (int i = 0; i <= kSteps; ++i) {
        // Counted steps, not summed ones, so the last stroke (the maximum
        // colour at the maximum value) is never lost to rounding.
        const double value = i == kSteps ? *high : *low + width * i / kSteps;
        bar.strokes.push_back({value, {rounded(red), rounded(green), rounded(blue)}});
        red = std::fabs(red + step_red);
        green = std::fabs(green + step_green);
        blue = std::fabs(blue + step_blue);
    }
    return bar;
}

int stroke_pen_pixels(int pen_width, int bar_pixels)
{
    const int closing = std::max(1, (std::max(0, bar_pixels) + kSteps - 1) / kSteps);
    return std::clamp(pen_width, closing, closing + 10);
}

double bar_pixel(const Gradient& bar, double value, int bar_pixels)
{
    if (bar.width == 0.0) return 0.0;
    return (value - bar.left) / bar.width * bar_pixels;
}

std::string value_text_at(const Gradient& bar, double x, int bar_pixels)
{
    const double value = bar_pixels > 0 ? bar.left + bar.width * (x / bar_pixels) : bar.left;
    return numbers::general_text(numbers::round_to(value, 0));
}

}  // namespace mq::catalogue
