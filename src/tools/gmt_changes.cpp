#include "tools/gmt_changes.h"

#include <algorithm>

namespace mq::tools {

namespace {

std::string lower_case(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace

const std::vector<GmtChange>& gmt4_changes()
{
    static const std::vector<GmtChange> table = {
        // The header records of the input: -H[n] since GMT 5 is -h[n];
        // pstext and others refuse -H.
        {GmtChangeKind::option, "-H", "-h", true},
        // The annotation font size of GMT 3 and 4, which gmtset refuses.
        {GmtChangeKind::setting, "ANOT_FONT_SIZE", "FONT_ANNOT_PRIMARY", true},
    };
    return table;
}

bool is_gmt_module(std::string_view name)
{
    // GMT 6's classic names (the modern ones, "plot", "coast", ..., are
    // common words and stay for programs of those names), and the older names
    // GMT 6 still takes.
    static const std::vector<std::string_view> sorted = [] {
        std::vector<std::string_view> names = {
            "blockmean",      "blockmedian", "blockmode",  "dimfilter",      "filter1d",     "fitcircle",
            "gmt2kml",        "gmtbinstats", "gmtconnect", "gmtconvert",     "gmtdefaults",  "gmtget",
            "gmtinfo",        "gmtlogo",     "gmtmath",    "gmtregress",     "gmtselect",    "gmtset",
            "gmtsimplify",    "gmtspatial",  "gmtvector",  "gmtwhich",       "grd2cpt",      "grd2kml",
            "grd2xyz",        "grdblend",    "grdclip",    "grdcontour",     "grdconvert",   "grdcut",
            "grdedit",        "grdfft",      "grdfill",    "grdfilter",      "grdgdal",      "grdgradient",
            "grdhisteq",      "grdimage",    "grdinfo",    "grdinterpolate", "grdlandmask",  "grdmask",
            "grdmath",        "grdmix",      "grdpaste",   "grdproject",     "grdreformat",  "grdsample",
            "grdtrack",       "grdtrend",    "grdvector",  "grdview",        "grdvolume",    "greenspline",
            "kml2gmt",        "makecpt",     "mapproject", "minmax",         "nearneighbor", "project",
            "ps2raster",      "psbasemap",   "psclip",     "pscoast",        "pscontour",    "psconvert",
            "psevents",       "pshistogram", "psimage",    "pslegend",       "psmask",       "psrose",
            "psscale",        "pssolar",     "psternary",  "pstext",         "pswiggle",     "psxy",
            "psxyz",          "sample1d",    "spectrum1d", "sph2grd",        "sphdistance",  "sphinterpolate",
            "sphtriangulate", "splitxyz",    "surface",    "trend1d",        "trend2d",      "triangulate",
            "xyz2grd",
        };
        std::sort(names.begin(), names.end());
        return names;
    }();
    const std::string key = lower_case(name);
    return std::binary_search(sorted.begin(), sorted.end(), std::string_view(key));
}

std::vector<std::string> gmt6_arguments(std::string_view module, const std::vector<std::string>& arguments,
                                        std::vector<GmtRewrite>* rewrites)
{
    const bool gmtset = lower_case(module) == "gmtset";
    std::vector<std::string> out;
    out.reserve(arguments.size());
    for (const auto& argument : arguments) {
        std::string changed = argument;
        for (const auto& row : gmt4_changes()) {
            if (!row.run_rewritten) continue;
            if (row.kind == GmtChangeKind::option && argument.size() >= row.old_form.size() &&
                argument.compare(0, row.old_form.size(), row.old_form) == 0) {
                changed = std::string(row.new_form).append(argument, row.old_form.size());
                break;
            }
            // gmtset NAME = VALUE, NAME VALUE or NAME=VALUE.
            if (row.kind == GmtChangeKind::setting && gmtset && argument.size() >= row.old_form.size() &&
                lower_case(argument.substr(0, row.old_form.size())) == lower_case(row.old_form) &&
                (argument.size() == row.old_form.size() || argument[row.old_form.size()] == '=')) {
                changed = std::string(row.new_form).append(argument, row.old_form.size());
                break;
            }
        }
        if (changed != argument && rewrites) rewrites->push_back({argument, changed});
        out.push_back(std::move(changed));
    }
    return out;
}

}  // namespace mq::tools
