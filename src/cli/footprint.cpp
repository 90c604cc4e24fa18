// mapquill-tools footprint IN OUT --lat-min A --lat-max B --lon-min C --lon-max D [--beam W] [--spacing G]
// mapquill-tools gridsize --lat-min A --lat-max B --lon-min C --lon-max D --spacing G
#include "calc/coordinate_text.h"
#include "cli/tool.h"

#include <CLI/CLI.hpp>
#include "cli/cli_progress.h"
#include "common/number_rules.h"
#include "tools/footprint.h"

namespace mq::cli {

namespace {

const char* const kFooter =
    "Exit status: 0 on success; 1 when a value or the input cannot be worked on\n"
    "(one line on stderr says why); 2 on a usage error.\n";

// The four box edges as typed.
struct BoxOptions {
    std::string lat_min, lat_max, lon_min, lon_max;

    void add_to(CLI::App& app)
    {
        app.add_option("--lat-min", lat_min,
                       "south edge: decimal degrees or degrees:minutes[:seconds];\n"
                       "a leading \"-\" makes the whole value negative")
            ->required();
        app.add_option("--lat-max", lat_max, "north edge")->required();
        app.add_option("--lon-min", lon_min, "west edge")->required();
        app.add_option("--lon-max", lon_max, "east edge")->required();
    }
    // The box in decimal degrees; nothing after a complaint.
    std::optional<tools::GeoBox> box(std::ostream& err, std::string_view tool) const
    {
        const std::pair<const char*, const std::string*> edges[] = {{"--lat-min", &lat_min},
                                                                    {"--lat-max", &lat_max},
                                                                    {"--lon-min", &lon_min},
                                                                    {"--lon-max", &lon_max}};
        double values[4];
        for (int i = 0; i < 4; ++i) {
            const auto v = calc::coord_to_decimal(*edges[i].second);
            if (!v) {
                complain(err, tool, std::string(edges[i].first) + ": " + v.error().message);
                return std::nullopt;
            }
            values[i] = v.value();
        }
        return tools::GeoBox{values[0], values[1], values[2], values[3]};
    }
};

}  // namespace

int run_footprint(Args args, std::ostream& out, std::ostream& err)
{
    constexpr std::string_view kTool = "footprint";
    CLI::App app{
        "Writes the sea-floor points insonified by a conical echo-sounder beam: for every ping\n"
        "(longitude latitude depth per line; blanks, commas or TABs between the fields) inside\n"
        "the box, the points of a regular pattern within the beam's footprint, as binary\n"
        "records of three little-endian doubles (longitude, latitude, 1). Prints the area\n"
        "covered in square metres.",
        "mapquill-tools footprint"};
    std::string in, output, beam = "6.46", spacing = "1";
    BoxOptions box;
    app.add_option("IN", in, "ping file (text)")->required();
    app.add_option("OUT", output, "footprint file (binary, created or replaced)")->required();
    box.add_to(app);
    app.add_option("--beam", beam, "full opening angle of the beam in degrees")->capture_default_str();
    app.add_option("--spacing", spacing, "spacing of the footprint points in metres")->capture_default_str();
    app.footer(kFooter);
    if (const auto code = read_arguments(app, kTool, app.help(), args, out, err)) return *code;

    const auto edges = box.box(err, kTool);
    if (!edges) return kBadInput;
    const auto beam_width = numbers::read_number(beam);
    const auto point_spacing = numbers::read_number(spacing);
    if (!beam_width || !point_spacing) {
        return bad_input(err, kTool,
                         !beam_width ? "the beam width '" + beam + "' is not a number"
                                     : "the spacing '" + spacing + "' is not a number");
    }
    const InterruptStop interrupt;
    const auto r = [&] {
        TerminalProgress progress(err, stderr_is_terminal(), "Ping: ");
        return tools::calc_footprint_file(in, output, *edges, *beam_width, *point_spacing,
                                          progress.callback(), interrupt.stop_fn());
    }();
    if (!r) return bad_input(err, kTool, r.error().text());
    if (r->stopped) return stopped(err, kTool, r->records, r->kept);
    out << tools::area_text(r->area) << '\n';
    return kSuccess;
}

int run_gridsize(Args args, std::ostream& out, std::ostream& err)
{
    constexpr std::string_view kTool = "gridsize";
    CLI::App app{
        "Prints how many grid nodes a box spans at a spacing: X along the longitude (at the\n"
        "mean of the absolute box latitudes), Y along the latitude, e.g. X: 6524 / Y: 11112.",
        "mapquill-tools gridsize"};
    BoxOptions box;
    std::string spacing;
    box.add_to(app);
    app.add_option("--spacing", spacing, "grid spacing in metres, rounded to a whole number")->required();
    app.footer(kFooter);
    if (const auto code = read_arguments(app, kTool, app.help(), args, out, err)) return *code;

    const auto edges = box.box(err, kTool);
    if (!edges) return kBadInput;
    const auto size = tools::calc_grid_size(*edges, spacing);
    if (!size) return bad_input(err, kTool, size.error().message);
    out << tools::grid_size_text(size.value()) << '\n';
    return kSuccess;
}

}  // namespace mq::cli
