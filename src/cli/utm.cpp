// mapquill-tools utm --lon X --lat Y
// mapquill-tools utm-inverse --zone Z --hemisphere N|S EASTING NORTHING
// mapquill-tools utm-file --zone Z --hemisphere N|S IN OUT
#include "calc/coordinate_text.h"
#include "calc/utm_conversion.h"
#include "cli/tool.h"

#include <CLI/CLI.hpp>
#include "cli/cli_progress.h"
#include "common/number_rules.h"
#include "tools/utm_file.h"

#include <iostream>

namespace mq::cli {

namespace {

constexpr const char* kZoneHelp = "UTM zone number, a whole number from 1 to 60";
constexpr const char* kHemisphereHelp = "N for the northern hemisphere, S for the southern";

// The zone and hemisphere options both inverse tools share.
struct ZoneOptions {
    std::string zone;
    std::string hemisphere;

    void add_to(CLI::App& app)
    {
        app.add_option("--zone", zone, kZoneHelp)->required();
        app.add_option("--hemisphere", hemisphere, kHemisphereHelp)
            ->required()
            ->check(CLI::IsMember({"N", "S"}));
    }
    // The state for the inverse conversion; nothing after a complaint.
    std::optional<calc::UtmState> state(std::ostream& err, std::string_view tool) const
    {
        const auto z = calc::read_utm_zone(zone);
        if (!z) {
            complain(err, tool, z.error().message);
            return std::nullopt;
        }
        return calc::UtmState{z.value(), hemisphere};
    }
};

const char* const kFooter =
    "Exit status: 0 on success; 1 when a value or the input cannot be worked on\n"
    "(one line on stderr says why); 2 on a usage error.\n";

}  // namespace

int run_utm(Args args, std::ostream& out, std::ostream& err)
{
    constexpr std::string_view kTool = "utm";
    CLI::App app{
        "Converts a longitude and latitude (WGS 84) into UTM and prints zone:easting:northing,\n"
        "the easting and northing rounded to millimetres, e.g. 32:500000:5538630.703.",
        "mapquill-tools utm"};
    std::string lon, lat;
    app.add_option("--lon", lon,
                   "longitude: decimal degrees or degrees:minutes[:seconds]; a leading \"-\"\n"
                   "makes the whole value negative (west)")
        ->required();
    app.add_option("--lat", lat, "latitude, written the same way (south negative), from -90 to 90")
        ->required();
    app.footer(kFooter);
    if (const auto code = read_arguments(app, kTool, app.help(), args, out, err)) return *code;

    const auto x = calc::coord_to_decimal(lon);
    const auto y = calc::coord_to_decimal(lat);
    const auto text = x && y ? calc::latlon_to_utm(x.value(), y.value()) : Result<std::string>(Error{});
    if (!text) {
        return bad_input(err, kTool,
                         !x   ? "longitude " + x.error().message
                         : !y ? "latitude " + y.error().message
                              : text.error().message);
    }
    out << text.value() << '\n';
    return kSuccess;
}

int run_utm_inverse(Args args, std::ostream& out, std::ostream& err)
{
    constexpr std::string_view kTool = "utm-inverse";
    CLI::App app{
        "Converts a UTM easting and northing (metres, WGS 84) into longitude:latitude in decimal\n"
        "degrees, longitude first, unrounded (15 significant digits).",
        "mapquill-tools utm-inverse"};
    ZoneOptions zone;
    std::string easting, northing;
    zone.add_to(app);
    app.add_option("EASTING", easting, "easting in metres")->required();
    app.add_option("NORTHING", northing, "northing in metres (southern: with the 10000000 m false northing)")
        ->required();
    app.footer(kFooter);
    if (const auto code = read_arguments(app, kTool, app.help(), args, out, err)) return *code;

    const auto state = zone.state(err, kTool);
    if (!state) return kBadInput;
    const auto e = numbers::read_number(easting);
    const auto n = numbers::read_number(northing);
    if (!e || !n) {
        return bad_input(err, kTool,
                         !e ? "the easting '" + easting + "' is not a number"
                            : "the northing '" + northing + "' is not a number");
    }
    const auto text = calc::utm_to_latlon(*e, *n, *state);
    if (!text) return bad_input(err, kTool, text.error().message);
    out << text.value() << '\n';
    return kSuccess;
}

int run_utm_file(Args args, std::ostream& out, std::ostream& err)
{
    constexpr std::string_view kTool = "utm-file";
    CLI::App app{
        "Converts a text file of easting, northing and depth lines (blanks or TABs between the\n"
        "fields, \"#\" starts a comment line) into longitude, latitude and depth lines:\n"
        "degrees:minutes.mmmmmm, TAB, degrees:minutes.mmmmmm, TAB, the third field as it\n"
        "stands, CR LF. On a bad line the lines before it are kept in OUT, or beside\n"
        "it in OUT's name with \".partial\" before its extension when OUT existed (then\n"
        "OUT stays as it was).",
        "mapquill-tools utm-file"};
    ZoneOptions zone;
    std::string in, output;
    zone.add_to(app);
    app.add_option("IN", in, "input text file")->required();
    app.add_option("OUT", output, "output text file (created or replaced)")->required();
    app.footer(kFooter);
    if (const auto code = read_arguments(app, kTool, app.help(), args, out, err)) return *code;

    const auto state = zone.state(err, kTool);
    if (!state) return kBadInput;
    const InterruptStop interrupt;
    const auto r = [&] {
        TerminalProgress progress(err, stderr_is_terminal(), "Line #:  ");
        return tools::convert_utm_file(in, output, *state, progress.callback(), interrupt.stop_fn());
    }();
    if (!r) return bad_input(err, kTool, r.error().text());
    if (r->stopped) return stopped(err, kTool, r->records, r->kept);
    return kSuccess;
}

}  // namespace mq::cli
