#include "catalogue/colour_table.h"

#include "common/file_stream.h"
#include "common/number_rules.h"

#include <algorithm>

namespace mq::catalogue {

namespace {

bool is_blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

Result<ColourStop> read_entry(const ColourTableSource::Entry& entry, const std::string& name)
{
    const auto value = numbers::read_number(entry.value);
    if (!value)
        return Error{name + ": the value \"" + entry.value + "\" is not a number", {}, 0}.as(
            ErrorKind::type_mismatch);
    const auto colour = read_rgb_text(entry.colour);
    if (!colour) return Error{name + " has no colour: double-click its swatch to give it the mixed colour", {}, 0};
    return ColourStop{*value, *colour};
}

void append_colour(std::string& out, Rgb colour)
{
    out += std::to_string(colour.red);
    out += ' ';
    out += std::to_string(colour.green);
    out += ' ';
    out += std::to_string(colour.blue);
}

}  // namespace

Result<std::vector<ColourStop>> read_colour_stops(const ColourTableSource& source)
{
    std::vector<ColourStop> stops;
    auto take = [&](const ColourTableSource::Entry& entry, const std::string& name) -> Status {
        auto stop = read_entry(entry, name);
        if (!stop) return stop.error();
        stops.push_back(stop.value());
        return {};
    };
    if (auto s = take(source.minimum, "the minimum"); !s) return s.error();
    for (std::size_t i = 0; i < source.stops.size(); ++i)
        if (!is_blank(source.stops[i].value))
            if (auto s = take(source.stops[i], "stop " + std::to_string(i + 1)); !s) return s.error();
    if (auto s = take(source.maximum, "the maximum"); !s) return s.error();
    std::stable_sort(stops.begin(), stops.end(),
                     [](const ColourStop& a, const ColourStop& b) { return a.value < b.value; });
    return stops;
}

Result<std::string> colour_table_text(const std::vector<ColourStop>& stops)
{
    if (stops.size() < 2 || !(stops.front().value < stops.back().value))
        return Error{"the colour table needs at least two different values", {}, 0};
    std::string out = "# GMT colour palette table made with Mapquill\r\n# COLOR_MODEL = RGB\r\n";
    for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
        const ColourStop& low = stops[i];
        const ColourStop& high = stops[i + 1];
        if (!(low.value < high.value)) continue;
        out += numbers::general_text(low.value);
        out += ' ';
        append_colour(out, low.colour);
        out += ' ';
        out += numbers::general_text(high.value);
        out += ' ';
        append_colour(out, high.colour);
        out += "\r\n";
    }
    out += "B ";
    append_colour(out, stops.front().colour);
    out += "\r\nF ";
    append_colour(out, stops.back().colour);
    out += "\r\nN 128 128 128\r\n";
    return out;
}

Status save_colour_table(const std::string& path, std::string_view text)
{
    io::OutputFile file;
    if (auto opened = file.open(path); !opened) return opened;
    file.write(text);
    return file.commit();
}

}  // namespace mq::catalogue
