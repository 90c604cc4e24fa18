// The colour mixer's boxes, split at NUL: min, max, min colour, max colour, then stop pairs.
#include "catalogue/colour_mixer.h"
#include "catalogue/colour_table.h"
#include "harness.h"

namespace cat = mq::catalogue;

MQ_FUZZ_TARGET(input)
{
    const auto in_range = [](const cat::Rgb& c) {
        return c.red >= 0 && c.red <= 255 && c.green >= 0 && c.green <= 255 && c.blue >= 0 && c.blue <= 255;
    };
    const std::vector<std::string> parts = mq::fuzz::pieces(input, '\0', 4);
    for (const std::string& part : parts)
        if (const auto colour = cat::read_rgb_text(part))
            check(in_range(*colour) && cat::read_rgb_text(cat::rgb_text(*colour)) == colour);

    if (const auto bar = cat::make_color(parts[0], parts[1], parts[2], parts[3])) {
        check(bar->strokes.empty() || bar->strokes.size() == 501);
        for (const auto& stroke : bar->strokes) check(in_range(stroke.colour));
        for (int pixels : {0, 1, 500, 4000}) {
            check(cat::stroke_pen_pixels(bar->pen_width, pixels) >= 1);
            (void)cat::value_text_at(*bar, pixels / 3.0, pixels);
        }
    }

    cat::ColourTableSource source{{parts[0], parts[2]}, {parts[1], parts[3]}, {}};
    for (std::size_t i = 4; i + 1 < parts.size(); i += 2) source.stops.push_back({parts[i], parts[i + 1]});
    if (const auto stops = cat::read_colour_stops(source))
        if (const auto table = cat::colour_table_text(stops.value())) check(table.value().ends_with("\r\n"));
}
