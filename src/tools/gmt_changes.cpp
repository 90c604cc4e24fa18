#include "tools/gmt_changes.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace mq::tools {

namespace {

std::string lower_case(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// An argument's GMT 6 form by one row; `exact` false: GMT 6 has that form,
// but what goes into it cannot be read from the line alone.
struct Rewritten {
    Rewritten(std::string text_, bool exact_ = true, std::string also_ = {})
        : text(std::move(text_)), exact(exact_), also(std::move(also_))
    {
    }
    std::string text;  // empty: the argument is left out
    bool exact;
    std::string also;  // what else the GMT 6 form needs
};

std::optional<Rewritten> option_rewrite(const GmtChange& row, std::string_view module,
                                        const std::string& argument, const std::vector<std::string>& command);

}  // namespace

const std::vector<GmtChange>& gmt4_changes()
{
    constexpr auto O = GmtChangeKind::option;
    constexpr auto S = GmtChangeKind::setting;
    constexpr auto M = GmtChangeKind::module;
    constexpr auto axes = GmtWhen::axes;
    constexpr auto text_box = GmtWhen::text_box;
    // Modules whose GMT 4 -F asked for pixel registration; those that took
    // increments in arc seconds as "c".
    constexpr std::string_view gridders =
        "blockmean blockmedian blockmode grdlandmask grdmask grdmath grdsample "
        "greenspline nearneighbor sphinterpolate surface triangulate xyz2grd";
    static const std::vector<GmtChange> table = {
        // The header records of the input: -H[n] since GMT 5 is -h[n];
        // pstext and others refuse -H.
        {O, "-H", "-h", true},
        {O, "-I", "-I", false, gridders, GmtWhen::arc_seconds},
        {O, "-S", "-S", false, "grdmask nearneighbor", GmtWhen::arc_seconds},
        {O, "-F", "-r", false, gridders, GmtWhen::bare},
        // The view point azimuth/elevation, and the z-level of the plane that
        // GMT 6 takes as -p's third value.
        {O, "-E", "-p", false, "grdcontour grdview psbasemap psxyz"},
        {O, "-Z", "-p/", false, "psbasemap pscoast", GmtWhen::joins},
        // Segment headers: GMT 6 finds them by itself (and refuses -M).
        {O, "-M", "", true, "gmtconvert psclip psxy psxyz"},
        {O, "-m", "", false, "gmtconvert psclip psxy psxyz"},
        // Geographic grids: GMT 6 knows them by their -f.
        {O, "-M", "-fg", false, "grdgradient", GmtWhen::bare},
        {O, "-S", "-n", false, "grdimage"},
        {O, "-S", "-s", false, "grd2xyz", GmtWhen::bare},
        {O, "-Lg", "-n+bg", false, "grdgradient", GmtWhen::bare},
        // Pens: a comma between width and colour.
        {O, "-W", "-W", false, "grdcontour pscoast psxy psxyz", GmtWhen::pen_slash},
        {O, "-I", "-I", false, "pscoast", GmtWhen::pen_slash},
        {O, "-N", "-N", false, "pscoast", GmtWhen::pen_slash},
        {O, "-G", "-B+g", false, "psbasemap"},
        // The frame: one -B for each axis with +l, +p, +u, one for the frame
        // with its axes letters and +t.
        {O, "-B", "-B", false,
         "grdcontour grdimage grdvector grdview psbasemap psclip pscoast pscontour pshistogram psimage "
         "pslegend psmask psrose psscale pssolar psternary pstext pswiggle psxy psxyz",
         axes},
        // The colour bar: its place with +w, +h and its justification
        // (GMT 4 placed the top centre of a horizontal bar, the middle left
        // of a vertical one); the triangles -E are +e of -D.
        {O, "-D", "-Dx", false, "psscale", GmtWhen::bar},
        {O, "-E", "-D+e", false, "psscale", GmtWhen::joins},
        // sample1d: GMT 4's increment -I is -T; its column -T is -N.
        {O, "-I", "-T", false, "sample1d"},
        {O, "-T", "-N", false, "sample1d", GmtWhen::with_i},
        // Contour labels every <gap> (GMT 3's form, which GMT 6 refuses), the
        // points for their angle are +w of the label settings.
        {O, "-G", "-Gd", true, "grdcontour pscontour", GmtWhen::label_gap},
        {O, "-L", "", false, "blockmean", GmtWhen::bare,
         "GMT 3's, dropped in GMT 4; GMT 6 has no form for it"},
        // pstext: GMT 4's box (-W fill and "o" for its outline), text colour
        // (-G), outline (-S) and records x y size angle font justify text.
        {O, "-W", "-G", false, "pstext", text_box},
        {O, "-G", "", false, "pstext", text_box,
         "GMT 4's text colour; GMT 6 takes it in the font: -F+f<size>,<font>,<colour>"},
        {O, "-S", "", false, "pstext", text_box,
         "GMT 4's text outline; GMT 6 takes it in the font: -F+f<size>,<font>=<pen>"},
        {GmtChangeKind::records,
         "pstext",
         "",
         false,
         {},
         text_box,
         "GMT 4's records x y size angle font justify text; GMT 6 reads x y text, or with -F+f+a+j "
         "x y size,font angle justify text: join size and font in the records and add -F+f+a+j"},
        {M, "grdreformat", "grdconvert", false},
        {M, "ps2raster", "psconvert", false},
        {M, "minmax", "gmtinfo", false},
        {M, "gmtstitch", "gmtconnect", false},
        {M, "gmtdp", "gmtsimplify", false},
        {GmtChangeKind::prefix, "", "gmt ", false},
        // The annotation font size of GMT 3 and 4, which gmtset refuses.
        {S, "ANOT_FONT_SIZE", "FONT_ANNOT_PRIMARY", true},
        // The names GMT 6 translates at compatibility level 4, as it reports
        // them; those without a new form it ignores.
        {S, "ANNOT_FONT_PRIMARY", "FONT_ANNOT_PRIMARY", false},
        {S, "ANNOT_FONT_SECONDARY", "FONT_ANNOT_SECONDARY", false},
        {S, "ANNOT_FONT_SIZE_PRIMARY", "FONT_ANNOT_PRIMARY", false},
        {S, "ANNOT_FONT_SIZE_SECONDARY", "FONT_ANNOT_SECONDARY", false},
        {S, "ANNOT_MIN_ANGLE", "MAP_ANNOT_MIN_ANGLE", false},
        {S, "ANNOT_MIN_SPACING", "MAP_ANNOT_MIN_SPACING", false},
        {S, "ANNOT_OFFSET_PRIMARY", "MAP_ANNOT_OFFSET_PRIMARY", false},
        {S, "ANNOT_OFFSET_SECONDARY", "MAP_ANNOT_OFFSET_SECONDARY", false},
        {S, "BASEMAP_FRAME_RGB", "MAP_DEFAULT_PEN", false},
        {S, "BASEMAP_TYPE", "MAP_FRAME_TYPE", false},
        {S, "CHAR_ENCODING", "PS_CHAR_ENCODING", false},
        {S, "COLOR_IMAGE", "", false},
        {S, "DEGREE_SYMBOL", "MAP_DEGREE_SYMBOL", false},
        {S, "DOTS_PR_INCH", "", false},
        {S, "D_FORMAT", "FORMAT_FLOAT_OUT", false},
        {S, "ELLIPSOID", "PROJ_ELLIPSOID", false},
        {S, "FIELD_DELIMITER", "IO_COL_SEPARATOR", false},
        {S, "FRAME_PEN", "MAP_FRAME_PEN", false},
        {S, "FRAME_WIDTH", "MAP_FRAME_WIDTH", false},
        {S, "GLOBAL_X_SCALE", "PS_SCALE_X", false},
        {S, "GLOBAL_Y_SCALE", "PS_SCALE_Y", false},
        {S, "GRIDFILE_FORMAT", "IO_GRIDFILE_FORMAT", false},
        {S, "GRIDFILE_SHORTHAND", "IO_GRIDFILE_SHORTHAND", false},
        {S, "GRID_CROSS_SIZE_PRIMARY", "MAP_GRID_CROSS_SIZE_PRIMARY", false},
        {S, "GRID_CROSS_SIZE_SECONDARY", "MAP_GRID_CROSS_SIZE_SECONDARY", false},
        {S, "GRID_PEN_PRIMARY", "MAP_GRID_PEN_PRIMARY", false},
        {S, "GRID_PEN_SECONDARY", "MAP_GRID_PEN_SECONDARY", false},
        {S, "HEADER_FONT_SIZE", "FONT_TITLE", false},
        {S, "HEADER_OFFSET", "MAP_TITLE_OFFSET", false},
        {S, "HISTORY", "GMT_HISTORY", false},
        {S, "HSV_MAX_SATURATION", "COLOR_HSV_MAX_S", false},
        {S, "HSV_MAX_VALUE", "COLOR_HSV_MAX_V", false},
        {S, "HSV_MIN_SATURATION", "COLOR_HSV_MIN_S", false},
        {S, "HSV_MIN_VALUE", "COLOR_HSV_MIN_V", false},
        {S, "INPUT_CLOCK_FORMAT", "FORMAT_CLOCK_IN", false},
        {S, "INPUT_DATE_FORMAT", "FORMAT_DATE_IN", false},
        {S, "INTERPOLANT", "GMT_INTERPOLANT", false},
        {S, "LABEL_FONT", "FONT_LABEL", false},
        {S, "LABEL_FONT_SIZE", "FONT_LABEL", false},
        {S, "LABEL_OFFSET", "MAP_LABEL_OFFSET", false},
        {S, "LINE_STEP", "MAP_LINE_STEP", false},
        {S, "MAP_SCALE_FACTOR", "PROJ_SCALE_FACTOR", false},
        {S, "MEASURE_UNIT", "PROJ_LENGTH_UNIT", false},
        {S, "NAN_RECORDS", "IO_NAN_RECORDS", false},
        {S, "N_COPIES", "", false},
        {S, "N_HEADER_RECS", "IO_N_HEADER_RECS", false},
        {S, "OBLIQUE_ANNOTATION", "MAP_ANNOT_OBLIQUE", false},
        {S, "OUTPUT_CLOCK_FORMAT", "FORMAT_CLOCK_OUT", false},
        {S, "OUTPUT_DATE_FORMAT", "FORMAT_DATE_OUT", false},
        {S, "OUTPUT_DEGREE_FORMAT", "FORMAT_GEO_OUT", false},
        {S, "PAGE_COLOR", "PS_PAGE_COLOR", false},
        {S, "PAGE_ORIENTATION", "PS_PAGE_ORIENTATION", false},
        {S, "PAPER_MEDIA", "PS_MEDIA", false},
        {S, "PLOT_CLOCK_FORMAT", "FORMAT_CLOCK_MAP", false},
        {S, "PLOT_DATE_FORMAT", "FORMAT_DATE_MAP", false},
        {S, "PLOT_DEGREE_FORMAT", "FORMAT_GEO_MAP", false},
        {S, "POLAR_CAP", "MAP_POLAR_CAP", false},
        {S, "PS_COLOR", "PS_COLOR_MODEL", false},
        {S, "PS_COPIES", "", false},
        {S, "PS_DPI", "", false},
        {S, "PS_EPS", "", false},
        {S, "PS_IMAGE_FORMAT", "", false},
        {S, "PS_VERBOSE", "PS_COMMENTS", false},
        {S, "TICK_LENGTH", "MAP_TICK_LENGTH", false},
        {S, "TICK_PEN", "MAP_TICK_PEN", false},
        {S, "TIME_FORMAT_PRIMARY", "FORMAT_TIME_PRIMARY_MAP", false},
        {S, "TIME_FORMAT_SECONDARY", "FORMAT_TIME_SECONDARY_MAP", false},
        {S, "TIME_LANGUAGE", "GMT_LANGUAGE", false},
        {S, "TRANSPARENCY", "", false},
        {S, "UNIX_TIME", "MAP_LOGO", false},
        {S, "UNIX_TIME_FORMAT", "FORMAT_TIME_STAMP", false},
        {S, "UNIX_TIME_POS", "MAP_LOGO_POS", false},
        {S, "VECTOR_SHAPE", "MAP_VECTOR_SHAPE", false},
        {S, "VERBOSE", "GMT_VERBOSE", false},
        {S, "WANT_LEAP_SECONDS", "TIME_LEAP_SECONDS", false},
        {S, "XY_TOGGLE", "IO_LONLAT_TOGGLE", false},
        {S, "X_AXIS_LENGTH", "", false},
        {S, "X_ORIGIN", "MAP_ORIGIN_X", false},
        {S, "Y2K_OFFSET_YEAR", "TIME_Y2K_OFFSET_YEAR", false},
        {S, "Y_AXIS_LENGTH", "", false},
        {S, "Y_AXIS_TYPE", "MAP_ANNOT_ORTHO", false},
        {S, "Y_ORIGIN", "MAP_ORIGIN_Y", false},
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
        bool dropped = false;
        for (const auto& row : gmt4_changes()) {
            if (!row.run_rewritten) continue;
            if (const auto rewritten = option_rewrite(row, lower_case(module), argument, arguments)) {
                if (!rewritten->exact) break;
                changed = rewritten->text;
                dropped = changed.empty();
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
        if (!dropped) out.push_back(std::move(changed));
    }
    return out;
}

namespace {

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

bool same_name(std::string_view a, std::string_view b)
{
    return lower_case(a) == lower_case(b);
}

bool in_scope(const GmtChange& row, std::string_view module)
{
    if (row.modules.empty()) return true;
    std::size_t at = 0;
    while (at < row.modules.size()) {
        std::size_t end = row.modules.find(' ', at);
        if (end == std::string_view::npos) end = row.modules.size();
        if (row.modules.substr(at, end - at) == module) return true;
        at = end + 1;
    }
    return false;
}

// "3c", "0.5c/10c" with the unit c turned into s; empty when no part has it
// or a part is not a plain number with or without a unit.
std::string arc_seconds(std::string_view value)
{
    std::string out(value);
    bool changed = false;
    std::size_t at = 0;
    while (at <= value.size()) {
        std::size_t end = value.find('/', at);
        if (end == std::string_view::npos) end = value.size();
        const std::string_view part = value.substr(at, end - at);
        std::size_t digits = 0;
        while (digits < part.size() && ((part[digits] >= '0' && part[digits] <= '9') || part[digits] == '.'))
            ++digits;
        if (digits == 0 || part.size() > digits + 1) return {};
        if (part.size() == digits + 1) {
            if (part.back() == 'c') {
                out[end - 1] = 's';
                changed = true;
            } else if (std::string_view("dmse").find(part.back()) == std::string_view::npos) {
                return {};
            }
        }
        at = end + 1;
    }
    return changed ? out : std::string();
}

// "0.5p/0/0/0", "a0.5p/red", "1/0.8p/0/0/255" with a comma for the slash
// between the pen's width and its colour; empty when there is no such slash.
std::string pen_with_comma(std::string_view value)
{
    auto digits = [](std::string_view part) {
        return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    auto letters = [](std::string_view part) {
        return !part.empty() &&
               part.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string_view::npos;
    };
    std::size_t slash = value.rfind('/');
    if (slash == std::string_view::npos) return {};
    if (digits(value.substr(slash + 1))) {  // r/g/b: two more slashes back
        for (int i = 0; i < 2 && slash != std::string_view::npos; ++i) {
            const std::size_t before = slash == 0 ? std::string_view::npos : value.rfind('/', slash - 1);
            if (before == std::string_view::npos || !digits(value.substr(before + 1, slash - before - 1)))
                return {};
            slash = before;
        }
    } else if (!letters(value.substr(slash + 1))) {
        return {};
    }
    // The width: a number with a unit, or a plain number.
    std::size_t start = value.rfind('/', slash - (slash > 0));
    std::string_view width =
        value.substr(start == std::string_view::npos || slash == 0 ? 0 : start + 1,
                     slash - (start == std::string_view::npos || slash == 0 ? 0 : start + 1));
    while (!width.empty() &&
           std::string_view("abcdefghijklmnopqrstuvwxyz").find(width.front()) != std::string_view::npos)
        width.remove_prefix(1);  // a letter before the width, as grdcontour's -Wa
    if (!width.empty() && std::string_view("pcim").find(width.back()) != std::string_view::npos)
        width.remove_suffix(1);
    if (width.empty() || width.find_first_not_of("0123456789.") != std::string_view::npos) return {};
    std::string out(value);
    out[slash] = ',';
    return out;
}

bool in_set(char c, std::string_view set)
{
    return set.find(c) != std::string_view::npos;
}

// The value of the command's first option `letter` ("-I"), if it has one.
std::optional<std::string_view> option_value(const std::vector<std::string>& command, std::string_view letter)
{
    for (const auto& argument : command)
        if (argument.size() >= letter.size() && argument.compare(0, letter.size(), letter) == 0)
            return std::string_view(argument).substr(letter.size());
    return std::nullopt;
}

// GMT 4's frame (the value after -B): [p|s]xinfo[/yinfo[/zinfo]][:."title":][axes], each info
// intervals with :label:, :,prefix: and :=unit:. Nothing when the value is
// not in GMT 4's form (GMT 6's own forms, a lone %variable%).
std::optional<Rewritten> gmt4_axes(std::string_view value)
{
    std::string level;
    if (!value.empty() && (value[0] == 'p' || value[0] == 's')) {
        level = value.substr(0, 1);
        value.remove_prefix(1);
    }
    if (value.empty() || in_set(value[0], "xyz+")) return std::nullopt;
    // The axes letters at the end: WESNZ (and Z's corners 1234), "+" for the 3-D box.
    std::size_t end = value.size();
    const bool box = value.back() == '+';
    end -= box;
    std::size_t corners = end;
    while (corners > 0 && in_set(value[corners - 1], "1234")) --corners;
    std::size_t letters = corners;
    while (letters > 0 && in_set(value[letters - 1], "WESNZwesnz")) --letters;
    if (corners < end && (letters == corners || !in_set(value[corners - 1], "Zz"))) letters = corners = end;
    const std::string frame(value.substr(letters, end - letters));
    struct Axis {
        std::string intervals, modifiers;
    };
    std::vector<Axis> info(1);
    std::string title;
    bool gmt4 = !frame.empty() && letters > 0, exact = !box;
    for (std::size_t i = 0; i < letters;) {
        const char c = value[i];
        if (c == ':') {  // a piece up to the next ":" outside double quotes
            std::size_t j = i + 1;
            for (bool quoted = false; j < letters && (quoted || value[j] != ':'); ++j)
                quoted ^= value[j] == '"';
            if (j >= letters) return std::nullopt;
            std::string_view piece = value.substr(i + 1, j - i - 1);
            gmt4 = true;
            exact = exact && piece.find('+') == std::string_view::npos;
            if (piece.empty() || piece == "\"\"") {
                // an empty label
            } else if (in_set(piece[0], ".,=")) {
                const char kind = piece[0];
                piece.remove_prefix(1);
                if (kind == '.')
                    title.append(piece);
                else
                    info.back().modifiers.append(kind == ',' ? "+p" : "+u").append(piece);
            } else {
                info.back().modifiers.append("+l").append(piece);
            }
            i = j + 1;
        } else if (c == '/') {
            gmt4 = true;
            if (info.size() == 3) return std::nullopt;
            info.emplace_back();
            ++i;
        } else if (c == '%') {  // a %variable%, kept as it is
            const std::size_t j = value.find('%', i + 1);
            if (j == std::string_view::npos || j >= letters) return std::nullopt;
            info.back().intervals.append(value.substr(i, j + 1 - i));
            i = j + 1;
        } else if (in_set(c, "0123456789.-afgYyOoUuKkJjDdRrHhMmCclp*")) {
            info.back().intervals.push_back(c);
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (!gmt4) return std::nullopt;
    std::string out;
    for (std::size_t k = 0; k < info.size(); ++k) {
        if (info[k].intervals.empty() && info[k].modifiers.empty()) continue;
        out += (out.empty() ? "-B" : " -B") + level + (info.size() == 1 ? "" : std::string(1, "xyz"[k])) +
               info[k].intervals + info[k].modifiers;
    }
    if (!frame.empty() || !title.empty())
        out += (out.empty() ? "-B" : " -B") + frame + (title.empty() ? "" : "+t" + title);
    if (out.empty()) return std::nullopt;
    return Rewritten{out, exact};
}

// psscale's GMT 4 place (the value after -D): x/y/length/width[h].
std::optional<Rewritten> gmt4_bar(std::string_view value)
{
    if (value.find_first_of("+%") != std::string_view::npos) return std::nullopt;
    const bool horizontal = !value.empty() && value.back() == 'h';
    const std::string_view sizes = value.substr(0, value.size() - horizontal);
    std::vector<std::string_view> parts;
    for (std::size_t at = 0; at <= sizes.size();) {
        std::size_t slash = sizes.find('/', at);
        if (slash == std::string_view::npos) slash = sizes.size();
        parts.push_back(sizes.substr(at, slash - at));
        at = slash + 1;
    }
    if (parts.size() != 4) return std::nullopt;
    for (std::string_view part : parts) {
        if (!part.empty() && in_set(part.back(), "cimp")) part.remove_suffix(1);
        if (!part.empty() && part[0] == '-') part.remove_prefix(1);
        if (part.empty() || part.find_first_not_of("0123456789.") != std::string_view::npos)
            return std::nullopt;
    }
    const bool exact = parts[2][0] != '-' && parts[3][0] != '-';  // a reversed bar
    std::string out = "-Dx" + std::string(parts[0]) + "/" + std::string(parts[1]) + "+w" +
                      std::string(parts[2]) + "/" + std::string(parts[3]) + (horizontal ? "+h+jTC" : "+jML");
    return Rewritten{out, exact};
}

// pstext's GMT 4 box (the value after -W): [fill][o|O|c|C[pen]], the fill as
// r/g/b or grey; nothing for GMT 6's pens.
std::optional<Rewritten> gmt4_text_box(std::string_view value, const std::vector<std::string>& command)
{
    const std::size_t fill = value.find_first_not_of("0123456789./");
    const std::string_view colour = value.substr(0, std::min(fill, value.size()));
    const char shape = fill == std::string_view::npos ? '\0' : value[fill];
    // grey or r/g/b
    const auto slashes = std::count(colour.begin(), colour.end(), '/');
    if ((slashes != 0 && slashes != 2) || colour.find("//") != std::string_view::npos ||
        (!colour.empty() && (colour.front() == '/' || colour.back() == '/')))
        return std::nullopt;
    if (shape == '\0'
            ? colour.find('/') == std::string_view::npos
            : !in_set(shape, "oOcC") || (in_set(shape, "cC") && colour.find('/') == std::string_view::npos))
        return std::nullopt;
    const std::string_view pen = shape == '\0' ? std::string_view() : value.substr(fill + 1);
    if (!pen.empty() && !in_set(pen[0], "0123456789.")) return std::nullopt;
    std::string out = colour.empty() ? "" : "-G" + std::string(colour);
    if (shape != '\0') out += (out.empty() ? "-W" : " -W") + std::string(pen);
    // GMT 4's -G is the text colour: GMT 6's -G would be given twice; the
    // shapes other than the rectangle go into -C.
    return Rewritten{out, shape != 'O' && shape != 'c' && shape != 'C' && !option_value(command, "-G")};
}

// A pstext command in GMT 4's form: no -F, and GMT 4's box or -S without -G.
bool gmt4_text(const std::vector<std::string>& command)
{
    if (option_value(command, "-F")) return false;
    if (const auto box = option_value(command, "-W"); box && gmt4_text_box(*box, command)) return true;
    return option_value(command, "-S") && !option_value(command, "-G");
}

bool is_number(std::string_view text)
{
    return text.find_first_of("0123456789") != std::string_view::npos &&
           text.find_first_not_of("0123456789.-") == std::string_view::npos;
}

// The row of GMT 4's view point -E, GMT 6's -p.
const std::size_t view_row = [] {
    for (std::size_t i = 0; i < gmt4_changes().size(); ++i)
        if (gmt4_changes()[i].old_form == "-E" && gmt4_changes()[i].new_form == "-p") return i;
    return std::size_t(0);
}();

// The GMT 6 form of `argument` of `module` (in `command`, its arguments) by
// an option row; nothing when the row does not apply.
std::optional<Rewritten> option_rewrite(const GmtChange& row, std::string_view module,
                                        const std::string& argument, const std::vector<std::string>& command)
{
    if (row.kind != GmtChangeKind::option || argument.size() < 2 ||
        argument.compare(0, row.old_form.size(), row.old_form) != 0 || !in_scope(row, module))
        return std::nullopt;
    const std::string rest = argument.substr(row.old_form.size());
    std::string changed;
    switch (row.when) {
        case GmtWhen::bare:
            if (!rest.empty()) return std::nullopt;
            break;
        case GmtWhen::pen_slash:
        case GmtWhen::arc_seconds:
            if (rest.find('%') != std::string::npos) return std::nullopt;
            changed = row.when == GmtWhen::pen_slash ? pen_with_comma(rest) : arc_seconds(rest);
            if (changed.empty()) return std::nullopt;
            return Rewritten{std::string(row.new_form) + changed};
        case GmtWhen::axes:
            return gmt4_axes(rest);
        case GmtWhen::bar:
            return gmt4_bar(rest);
        case GmtWhen::label_gap: {
            const std::size_t slash = rest.find('/');
            const std::string gap = rest.substr(0, slash);
            if (gap.empty() || !is_number(in_set(gap.back(), "cimp") ? gap.substr(0, gap.size() - 1) : gap) ||
                (slash != std::string::npos &&
                 (slash + 1 == rest.size() ||
                  rest.find_first_not_of("0123456789", slash + 1) != std::string::npos)))
                return std::nullopt;
            if (slash == std::string::npos) return Rewritten{std::string(row.new_form) + gap};
            return Rewritten{std::string(row.new_form) + gap, false,
                             "+w" + rest.substr(slash + 1) + " among -A's label settings"};
        }
        case GmtWhen::with_i:
            if (!option_value(command, "-I")) return std::nullopt;
            break;
        case GmtWhen::joins: {
            // Into the option it joins, in GMT 6's form or GMT 4's (whose rewrite takes it along);
            // a z-level into a view point of azimuth and elevation alone.
            if (row.old_form == "-Z" && !is_number(rest)) return std::nullopt;
            const std::string_view into = row.new_form.substr(0, 2);
            auto target = option_value(command, into);
            if (!target && into == "-p" && in_scope(gmt4_changes()[view_row], module))
                target = option_value(command, "-E");
            const bool exact = target && target->find('%') == std::string_view::npos &&
                               rest.find('%') == std::string::npos &&
                               (into != "-p" || (std::count(target->begin(), target->end(), '/') == 1 &&
                                                 target->find('+') == std::string_view::npos));
            return Rewritten{{}, exact};
        }
        case GmtWhen::text_box:
            if (!gmt4_text(command)) return std::nullopt;
            if (row.old_form == "-W") return gmt4_text_box(rest, command);
            break;
        case GmtWhen::always:
            break;
    }
    if (!row.advice.empty()) return Rewritten{{}, false};
    return Rewritten{row.new_form.empty() ? std::string() : std::string(row.new_form) + rest};
}

// One line as cmd.exe reads it: the lines a "^" at their end joins, each
// character with its offset in the script.
struct LogicalLine {
    std::string chars;
    std::vector<std::size_t> at;
};

struct Word {
    std::string text;
    std::size_t begin = 0;  // offset of the first character in the line
    std::size_t end = 0;
};

const GmtChange& prefix_rule()
{
    for (const auto& row : gmt4_changes())
        if (row.kind == GmtChangeKind::prefix) return row;
    return gmt4_changes().front();
}

class Checker {
public:
    explicit Checker(std::string_view text) : text_(text)
    {
        line_starts_.push_back(0);
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n') line_starts_.push_back(i + 1);
        // The plain "set name=value" lines: a value that only one option
        // uses can be judged as that option's.
        for (const std::size_t start : line_starts_) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            if (end > start && text[end - 1] == '\r') --end;
            std::size_t at = start;
            while (at < end && (is_blank(text[at]) || text[at] == '@')) ++at;
            const std::string_view line = text.substr(at, end - at);
            const std::size_t equals = line.find('=');
            if (line.size() < 4 || lower_case(line.substr(0, 4)) != "set " ||
                equals == std::string_view::npos ||
                line.find_first_of("\"^&|<>()%") != std::string_view::npos)
                continue;
            const std::string_view name = line.substr(4, equals - 4);
            if (name.empty() || name.find_first_of(" \t") != std::string_view::npos) continue;
            auto& set = sets_[lower_case(name)];
            ++set.count;
            set.offset = at + equals + 1;
            set.value = line.substr(equals + 1);
        }
    }

    std::vector<GmtFinding> run()
    {
        LogicalLine line;
        std::size_t pos = 0;
        while (pos < text_.size()) {
            std::size_t end = text_.find('\n', pos);
            if (end == std::string_view::npos) end = text_.size();
            std::size_t stop = end;
            if (stop > pos && text_[stop - 1] == '\r') --stop;
            for (std::size_t i = pos; i < stop; ++i) {
                line.chars.push_back(text_[i]);
                line.at.push_back(i);
            }
            pos = end + 1;
            if (!line.chars.empty() && line.chars.back() == '^' && pos < text_.size()) {
                line.chars.pop_back();
                line.at.pop_back();
                continue;
            }
            check_line(line);
            line = {};
        }
        if (!line.chars.empty()) check_line(line);
        // psscale's -E puts "+e" at the end of a -D that may come before it.
        std::stable_sort(findings_.begin(), findings_.end(), [](const GmtFinding& a, const GmtFinding& b) {
            return a.line != b.line ? a.line < b.line : a.column < b.column;
        });
        return std::move(findings_);
    }

private:
    // A word up to a blank or a character cmd.exe reads apart; double quotes group.
    Word read_word(const LogicalLine& line, std::size_t& i) const
    {
        Word word;
        word.begin = i;
        bool quoted = false;
        while (i < line.chars.size()) {
            const char c = line.chars[i];
            if (c == '"')
                quoted = !quoted;
            else if (!quoted && (is_blank(c) || std::string_view("|&<>()").find(c) != std::string_view::npos))
                break;
            word.text.push_back(c);
            ++i;
        }
        word.end = i;
        return word;
    }

    void check_line(const LogicalLine& line)
    {
        const auto& s = line.chars;
        std::size_t i = 0;
        while (i < s.size()) {
            while (i < s.size() &&
                   (is_blank(s[i]) || std::string_view("@()|&;").find(s[i]) != std::string_view::npos))
                ++i;
            if (i >= s.size() || s[i] == ':') return;  // a label or a "::" comment
            std::vector<Word> words;
            Word first = read_word(line, i);
            const std::string name = lower_case(first.text);
            if (name == "rem") return;
            if (name.rfind("echo", 0) == 0 || name == "set" || name == "title") {
                // Text, not commands, up to a pipe or "&".
                bool quoted = false;
                while (i < s.size() && (quoted || (s[i] != '|' && s[i] != '&'))) quoted ^= s[i++] == '"';
                continue;
            }
            if (name != "do" && name != "else") words.push_back(std::move(first));
            while (i < s.size() && std::string_view("|&()").find(s[i]) == std::string_view::npos) {
                if (is_blank(s[i])) {
                    ++i;
                } else if (s[i] == '<' || s[i] == '>') {
                    // A redirection: "2>" loses its handle, the target is no word.
                    if (!words.empty() && words.back().end == i && words.back().text.size() == 1 &&
                        words.back().text[0] >= '0' && words.back().text[0] <= '9')
                        words.pop_back();
                    while (i < s.size() && (s[i] == '<' || s[i] == '>' || s[i] == '&' || is_blank(s[i]))) ++i;
                    read_word(line, i);
                } else {
                    words.push_back(read_word(line, i));
                }
            }
            if (!words.empty()) check_command(line, words);
        }
    }

    void add(const GmtChange& rule, const LogicalLine& line, const Word& word, std::size_t from,
             std::size_t length, std::string new_text, std::string message, bool note = false,
             bool mendable = true, bool with_blanks = false, int group = 0)
    {
        const std::size_t first = word.begin + from;
        // The span must be one piece of the script (not cut by a "^" line end).
        if (length > 0 && line.at[first + length - 1] - line.at[first] != length - 1) return;
        // An insertion after a word goes right behind it (at the end of the line, before a "^").
        const std::size_t offset = length == 0 && from > 0 ? line.at[first - 1] + 1 : line.at[first];
        add_at(rule, offset, length, std::move(new_text), std::move(message), note, mendable, with_blanks,
               group);
    }

    void add_at(const GmtChange& rule, std::size_t offset, std::size_t length, std::string new_text,
                std::string message, bool note = false, bool mendable = true, bool with_blanks = false,
                int group = 0)
    {
        GmtFinding f;
        f.offset = offset;
        f.length = length;
        const auto row = std::upper_bound(line_starts_.begin(), line_starts_.end(), f.offset) - 1;
        f.line = static_cast<int>(row - line_starts_.begin()) + 1;
        f.column = static_cast<int>(f.offset - *row) + 1;
        if (with_blanks)
            while (f.offset > *row && is_blank(text_[f.offset - 1])) --f.offset, ++f.length;
        f.old_text = std::string(text_.substr(f.offset, f.length));
        f.new_text = std::move(new_text);
        f.message = std::move(message);
        f.note = note;
        f.mendable = mendable;
        f.group = group;
        f.rule = static_cast<std::size_t>(&rule - gmt4_changes().data());
        findings_.push_back(std::move(f));
    }

    void check_command(const LogicalLine& line, const std::vector<Word>& words)
    {
        std::string name = lower_case(words[0].text);
        if (name.size() > 4 && name.substr(name.size() - 4) == ".exe") name.resize(name.size() - 4);
        std::size_t module_word = 0;
        if (name == "gmt") {
            if (words.size() < 2) return;
            module_word = 1;
        } else if (!is_gmt_module(name)) {
            return;
        }
        const Word& module_name = words[module_word];
        std::string module = module_word == 0 ? name : lower_case(module_name.text);
        if (module_word == 0)
            add(prefix_rule(), line, words[0], 0, 0, "gmt ",
                words[0].text +
                    " runs without \"gmt \" only where GMT's module links are installed; GMT 6: gmt " +
                    words[0].text,
                true);
        for (const auto& row : gmt4_changes())
            if (row.kind == GmtChangeKind::module && module == row.old_form) {
                add(row, line, module_name, 0, module_name.text.size(), std::string(row.new_form),
                    "renamed module " + module_name.text + "; GMT 6: " + std::string(row.new_form));
                module = row.new_form;
            }
        if (module == "set") module = "gmtset";
        std::vector<std::string> command;
        for (std::size_t k = module_word + 1; k < words.size(); ++k) command.push_back(words[k].text);
        for (const auto& row : gmt4_changes())
            if (row.kind == GmtChangeKind::records && module == row.old_form && gmt4_text(command))
                add(row, line, module_name, 0, module_name.text.size(), "",
                    std::string(row.old_form) + ": " + std::string(row.advice), false, false);
        words_ = &words;
        groups_.clear();
        for (std::size_t k = module_word + 1; k < words.size(); ++k)
            check_argument(line, module, words[k], command);
    }

    void check_argument(const LogicalLine& line, const std::string& module, const Word& word,
                        const std::vector<std::string>& command)
    {
        const std::string& w = word.text;
        const bool long_option = w.rfind("--", 0) == 0;
        if (long_option || module == "gmtset") {
            const std::size_t from = long_option ? 2 : 0;
            const std::string name =
                w.substr(from, w.find('=') == std::string::npos ? std::string::npos : w.find('=') - from);
            for (const auto& row : gmt4_changes()) {
                if (row.kind != GmtChangeKind::setting || !same_name(name, row.old_form)) continue;
                if (row.new_form.empty())
                    add(row, line, word, from, name.size(), "",
                        "GMT 4 parameter " + name + "; GMT 6 has none: remove it", false, false);
                else
                    add(row, line, word, from, name.size(), std::string(row.new_form),
                        "GMT 4 parameter " + name + "; GMT 6: " + std::string(row.new_form));
                return;
            }
            return;
        }
        for (const auto& row : gmt4_changes()) {
            const auto changed = option_rewrite(row, module, w, command);
            if (!changed) continue;
            std::string message = "obsolete option " + w + (row.advice.empty() ? "; GMT 6" : ": ");
            if (!row.advice.empty())
                message += row.advice;
            else if (row.when == GmtWhen::joins)
                message += ": " + std::string(row.new_form.substr(2)) + w.substr(2) + " at the end of " +
                           std::string(row.new_form.substr(0, 2));
            else if (changed->text.empty())
                message += " needs none: remove it";
            else
                message += ": " + changed->text + (changed->also.empty() ? "" : ", " + changed->also);
            std::string text = changed->text;
            bool mendable = changed->exact;
            int group = 0;
            if (row.when == GmtWhen::joins) {
                // It goes at the end of the option it joins: with that one's
                // rewrite if that is in GMT 4's form, else as an insertion there.
                const Word* target = target_of(row, module);
                const auto own = target ? own_rewrite(*target, module, command) : std::nullopt;
                mendable = mendable && target && (!own || own->exact);
                if (mendable) {
                    group = pair_group(*target, word);
                    if (!own)
                        add(row, line, *target, target->text.size(), 0, addition(row, word), message, false,
                            true, false, group);
                }
            } else if (mendable && !text.empty()) {
                // An option that joins this one, or sample1d's column -T that goes with its -I.
                for (const auto& other_row : gmt4_changes()) {
                    const bool joins = other_row.when == GmtWhen::joins &&
                                       text.rfind(other_row.new_form.substr(0, 2), 0) == 0;
                    const bool column = other_row.when == GmtWhen::with_i && row.old_form == "-I";
                    if ((!joins && !column) || !in_scope(other_row, module)) continue;
                    for (const Word& other : *words_) {
                        const auto other_changed = option_rewrite(other_row, module, other.text, command);
                        if (!other_changed || !other_changed->exact) continue;
                        group = pair_group(word, other);
                        if (joins) text += addition(other_row, other);
                        break;
                    }
                }
            }
            if (row.when == GmtWhen::with_i) {
                const auto i = std::find_if(words_->begin(), words_->end(),
                                            [](const Word& other) { return other.text.rfind("-I", 0) == 0; });
                const auto own = i == words_->end() ? std::nullopt : own_rewrite(*i, module, command);
                if (mendable && own && own->exact) group = pair_group(*i, word);
            }
            if (text != changed->text) message = "obsolete option " + w + "; GMT 6: " + text;
            add(row, line, word, 0, w.size(), text, message, false, mendable, text.empty(), group);
            return;
        }
        // An increment in a variable: "-I%step%" with "set step=10c/10c".
        if (w.size() < 5 || w[2] != '%' || w.back() != '%' || w.find('%', 3) != w.size() - 1) return;
        const auto value = sole_value(std::string_view(w).substr(3, w.size() - 4));
        if (!value) return;
        for (const auto& row : gmt4_changes()) {
            if (row.when != GmtWhen::arc_seconds) continue;
            const auto changed =
                option_rewrite(row, module, w.substr(0, 2) + std::string(value->second), command);
            if (!changed) continue;
            const std::string new_value = changed->text.substr(2);
            add_at(row, value->first, value->second.size(), new_value,
                   "increment " + std::string(value->second) + " for " + w +
                       " in GMT 4's arc seconds; GMT 6: " + new_value);
            return;
        }
    }

    // The option a joining row's option (psscale's -E) goes into (-D); for
    // -p also GMT 4's view point -E.
    const Word* target_of(const GmtChange& joins, const std::string& module) const
    {
        const std::string_view into = joins.new_form.substr(0, 2);
        for (const Word& word : *words_)
            if (word.text.rfind(into, 0) == 0) return &word;
        if (into == "-p" && in_scope(gmt4_changes()[view_row], module))
            for (const Word& word : *words_)
                if (word.text.rfind("-E", 0) == 0) return &word;
        return nullptr;
    }

    // The GMT 6 form of `word` by a row other than a joining one.
    std::optional<Rewritten> own_rewrite(const Word& word, const std::string& module,
                                         const std::vector<std::string>& command) const
    {
        for (const auto& row : gmt4_changes())
            if (row.when != GmtWhen::joins)
                if (auto changed = option_rewrite(row, module, word.text, command)) return changed;
        return std::nullopt;
    }

    static std::string addition(const GmtChange& joins, const Word& joining)
    {
        return std::string(joins.new_form.substr(2)) + joining.text.substr(2);
    }

    // The group of the findings of two words of the command, mended only together.
    int pair_group(const Word& a, const Word& b)
    {
        int& group = groups_[{std::min(a.begin, b.begin), std::max(a.begin, b.begin)}];
        if (group == 0) group = ++last_group_;
        return group;
    }

    // A value held by a variable that one option uses: its set line's value,
    // if the script sets it once in a plain "set" line and uses it nowhere else.
    std::optional<std::pair<std::size_t, std::string_view>> sole_value(std::string_view variable) const
    {
        const auto set = sets_.find(lower_case(variable));
        if (set == sets_.end() || set->second.count != 1) return std::nullopt;
        const std::string use = "%" + lower_case(variable) + "%";
        const std::string text = lower_case(text_);
        if (text.find(use) != text.rfind(use)) return std::nullopt;
        return std::make_pair(set->second.offset, set->second.value);
    }

    struct SetLine {
        int count = 0;
        std::size_t offset = 0;  // of the value
        std::string_view value;
    };

    std::string_view text_;
    std::vector<std::size_t> line_starts_;
    std::map<std::string, SetLine> sets_;
    const std::vector<Word>* words_ = nullptr;                   // of the command being checked
    std::map<std::pair<std::size_t, std::size_t>, int> groups_;  // of pairs of its words
    int last_group_ = 0;
    std::vector<GmtFinding> findings_;
};

}  // namespace

std::vector<GmtFinding> gmt6_check(std::string_view text)
{
    return Checker(text).run();
}

std::vector<const GmtFinding*> gmt6_mend_steps(std::string_view text, const std::vector<GmtFinding>& findings)
{
    std::vector<const GmtFinding*> order;
    for (const auto& f : findings)
        if (f.mendable) order.push_back(&f);
    // At one offset the replacement before the insertion in front of it.
    std::stable_sort(order.begin(), order.end(), [](const GmtFinding* a, const GmtFinding* b) {
        return a->offset != b->offset ? a->offset > b->offset : a->length > b->length;
    });
    std::vector<const GmtFinding*> steps;
    std::size_t limit = text.size();
    for (const GmtFinding* f : order) {
        if (f->offset > limit || f->length > limit - f->offset ||
            text.substr(f->offset, f->length) != f->old_text)
            continue;
        steps.push_back(f);
        limit = f->offset;
    }
    return steps;
}

std::string gmt6_mend(std::string_view text, const std::vector<GmtFinding>& findings)
{
    std::string out(text);
    for (const GmtFinding* f : gmt6_mend_steps(text, findings))
        out.replace(f->offset, f->length, f->new_text);
    return out;
}

}  // namespace mq::tools
