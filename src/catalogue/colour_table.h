// GMT colour palette tables (.cpt) from what the colour mixer holds: the
// minimum and maximum with their values and up to ten stops.
#pragma once

#include "catalogue/colour_mixer.h"
#include "common/result.h"

#include <string>
#include <string_view>
#include <vector>

namespace mq::catalogue {

// The mixer's texts as the window shows them.
struct ColourTableSource {
    struct Entry {
        std::string value;    // value box text; a stop with an empty box is left out
        std::string colour;   // colour label text "r/g/b", "-" for a stop never given one
    };
    Entry minimum;
    Entry maximum;
    std::vector<Entry> stops;
};

struct ColourStop {
    double value = 0.0;
    Rgb colour;
};

// Reads the texts: the minimum and maximum must hold a value and a colour,
// each stop with a value must have a colour. The stops come back sorted by
// value (equal values keep their order: minimum, stops, maximum).
Result<std::vector<ColourStop>> read_colour_stops(const ColourTableSource& source);

// The table text, lines ended by CR LF: a comment, "# COLOR_MODEL = RGB",
// one line "z0 r g b z1 r g b" per slice between neighbouring stops (stops of
// equal value make a sharp step, not an empty slice), then "B" (below the
// lowest value: the lowest colour), "F" (above: the highest colour) and "N"
// (no data: grey 128). Fails when the stops span no range.
Result<std::string> colour_table_text(const std::vector<ColourStop>& stops);

// Writes the text to a file, replacing it whole; on failure the old file is
// left as it was.
Status save_colour_table(const std::string& path, std::string_view text);

}  // namespace mq::catalogue
