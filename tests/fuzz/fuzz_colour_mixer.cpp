// Any texts in the colour mixer's boxes and labels: the gradient bar, the
// pointer value and the colour table. The input is split at NUL bytes into
// minimum value, maximum value, minimum colour, maximum colour and then pairs
// of stop value and stop colour.
#include "catalogue/colour_mixer.h"
#include "catalogue/colour_table.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace cat = mq::catalogue;

namespace {

bool in_range(const cat::Rgb& c)
{
    return c.red >= 0 && c.red <= 255 && c.green >= 0 && c.green <= 255 && c.blue >= 0 && c.blue <= 255;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) parts.emplace_back();
        else parts.back() += char(data[i]);
    }
    parts.resize(std::max<std::size_t>(parts.size(), 4));

    for (const std::string& part : parts)
        if (const auto colour = cat::read_rgb_text(part)) {
            if (!in_range(*colour) || cat::read_rgb_text(cat::rgb_text(*colour)) != colour) std::abort();
        }

    if (const auto bar = cat::make_color(parts[0], parts[1], parts[2], parts[3])) {
        if (!bar->strokes.empty() && bar->strokes.size() != 501) std::abort();
        for (const auto& stroke : bar->strokes)
            if (!in_range(stroke.colour)) std::abort();
        for (int pixels : {0, 1, 500, 4000}) {
            const int pen = cat::stroke_pen_pixels(bar->pen_width, pixels);
            if (pen < 1) std::abort();
            (void)cat::value_text_at(*bar, pixels / 3.0, pixels);
        }
    }

    cat::ColourTableSource source{{parts[0], parts[2]}, {parts[1], parts[3]}, {}};
    for (std::size_t i = 4; i + 1 < parts.size(); i += 2) source.stops.push_back({parts[i], parts[i + 1]});
    if (const auto stops = cat::read_colour_stops(source)) {
        if (const auto table = cat::colour_table_text(stops.value()))
            if (table.value().compare(table.value().size() - 2, 2, "\r\n") != 0) std::abort();
    }
    return 0;
}
