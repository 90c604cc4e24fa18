// Reading GMT's module list and usage texts, and finding module names and
// options in script lines. The real texts of an installed GMT are read in
// tests/app/test_gmt_help.cpp.
#include "app/core/gmt_usage.h"

#include <doctest/doctest.h>

#include <string>

using namespace mq::app;

namespace {

// A line with '#' marking the caret, split into the line and the caret.
std::pair<std::string, std::size_t> with_caret(std::string line)
{
    const std::size_t caret = line.find('#');
    line.erase(caret, 1);
    return {line, caret};
}

}  // namespace

TEST_CASE("the module name under the caret, where a command starts")
{
    struct Case {
        std::string line, name;  // name empty: none
        bool prefixed = false;
    };
    const Case cases[] = {
        {"grd#image a.grd -JM15c", "grdimage"},
        {"grdimage# a.grd", "grdimage"},  // just behind the name
        {"gmt ps#coast -R0/1/0/1", "pscoast", true},
        {"g#mt pscoast", "pscoast", true},  // on gmt itself: the module behind it
        {"  @gmt.exe grd#info a.nc", "grdinfo", true},
        {"\"C:\\programs\\gmt6\\bin\\gmt.exe\" plo#t x", "plot", true},
        {"/usr/bin/gmt #begin map", "begin", true},
        {"gmtinfo a.txt | gmt math# -", "math", true},
        {"a && grd#cut x", "grdcut"},
        {"for %%f in (*.grd) do grd#info %%f", "grdinfo"},
        {"if exist a.grd (psxy# a)", "psxy"},
        {"then surf#ace x", "surface"},
        {"echo grd#image", ""},  // an argument, not a command
        {"rem gmt grd#image", ""},
        {"gmt grdimage a.grd -#JM", ""},
        {"grdimage x.gr#d", ""},
        {"gmt #", ""},
        {"#", ""},
        {"x.grd#image", ""},
        {"g#mt", ""},
    };
    for (const Case& c : cases) {
        CAPTURE(c.line);
        const auto [line, caret] = with_caret(c.line);
        const auto found = module_at(line, caret);
        CHECK(found.has_value() == !c.name.empty());
        if (!found || c.name.empty()) continue;
        CHECK(found->name == c.name);
        CHECK(line.substr(found->start, found->name.size()) == c.name);
        CHECK(found->prefixed == c.prefixed);
    }
}

TEST_CASE("what is being written: a module name or an option")
{
    using enum CompletionKind;
    struct Case {
        std::string before;
        CompletionContext expected;
    };
    const Case cases[] = {
        {"grd", {module, 0, "grd", ""}},
        {"gmt gr", {module, 4, "gr", ""}},
        {"  @ps", {module, 3, "ps", ""}},
        {"type a.txt | gmt gmtin", {module, 17, "gmtin", ""}},
        {"for %%f in (*.grd) do grd", {module, 22, "grd", ""}},
        {"grdimage a.grd -", {option, 15, "-", "grdimage"}},
        {"gmt coast -R0/1/0/1 -J", {option, 20, "-J", "coast"}},
        {"@gmt.exe psxy -", {option, 14, "-", "psxy"}},
        {"do gmt plot -W", {option, 12, "-W", "plot"}},
        {"gmt grdimage a.grd -R0/1", {}},  // the option's value
        {"echo grd", {}},
        {"grdimage a.grd", {}},
        {"a.grd-", {}},
        {"-", {}},  // no module before it
        {"gmt -", {}},
        {"", {}},
        {"gmt 2", {}},
    };
    for (const Case& c : cases) {
        CAPTURE(c.before);
        CHECK(completion_context(c.before) == c.expected);
    }
}

TEST_CASE("a usage text: purpose, synopsis and options")
{
    // Shaped as GMT 6.4 prints it, with a wrapped header, synopsis and option.
    const std::string text =
        "\ngmt demo [core] 6.4.0 [64-bit] - Make a demo grid from\r\n"
        "  tables\n\n"
        "usage: gmt demo <table> -G<outgrid> [-A<az>] [-K] [-X<dx>] [-Y<dy>] [-f[i|\xE2\x8F\x8E\n"
        "  \xE2\x80\xA6o]<colinfo>]\n"
        "  [--PAR=<value>]\n\n"
        "  REQUIRED ARGUMENTS:\n\n"
        "  <table> is one or more data files.\n"
        "  -G<outgrid>\n"
        "     Set name of the output grid file. Append modifiers:\n"
        "       +d Divide.\n"
        "  -Gz Another form of -G.\n\n"
        "  OPTIONAL ARGUMENTS:\n\n"
        "  -A<az>[+a<angle>|\xE2\x8F\x8E\n"
        "     \xE2\x80\xA6n]\n"
        "     Set the azimuth (e.g., 45). Give [0]. And more\n"
        "     on a second line.\n"
        "  -K Allow for more plot code to be appended later.\n"
        "  -X<dx> -Y<dy>\n"
        "     Shift origin of plot.\n"
        "  -f[i|o]<colinfo> Indicate content of columns.\n"
        "  -:[i|o] Swap 1st and 2nd column.\n"
        "  -^ (or -) Print short synopsis message.\n"
        "  -? (or no arguments) Print this usage message.\n"
        "  --PAR=<value> Temporarily override GMT default setting(s).\n";
    const auto usage = parse_gmt_usage(text);
    REQUIRE(usage.ok());
    CHECK(usage->module == "demo");
    CHECK(usage->purpose == "Make a demo grid from tables");
    CHECK(usage->synopsis ==
          "gmt demo <table> -G<outgrid> [-A<az>] [-K] [-X<dx>] [-Y<dy>] [-f[i|o]<colinfo>] [--PAR=<value>]");
    const std::vector<GmtOption> expected = {
        {"-G", "-G<outgrid>", "Set name of the output grid file."},
        {"-A", "-A<az>[+a<angle>|n]", "Set the azimuth (e.g., 45)."},
        {"-K", "-K", "Allow for more plot code to be appended later."},
        {"-X", "-X<dx>", "Shift origin of plot."},
        {"-Y", "-Y<dy>", "Shift origin of plot."},
        {"-f", "-f[i|o]<colinfo>", "Indicate content of columns."},
        {"-:", "-:[i|o]", "Swap 1st and 2nd column."},
    };
    CHECK(usage->options == expected);
}

TEST_CASE("texts that are no usage")
{
    const char* const texts[] = {
        "",
        "\n\n",
        "\nERROR: No module named foo was found.  This could mean one of four cases:\n"
        "  1. There actually is no such module; please check your spelling.\n",
        "gmt demo [core] 6.4.0 - A purpose\n\nbut no usage line\n",
        "gmt ? - odd\n\nusage: gmt ?\n",
        "\xE2\x8F\x8E",
        "gmt demo - x\xE2\x8F\x8E",
    };
    for (const char* text : texts) {
        CAPTURE(text);
        CHECK_FALSE(parse_gmt_usage(text).ok());
    }
}

TEST_CASE("the module list: gmt --help and the classic names")
{
    const std::string help =
        "\n\tGMT - The Generic Mapping Tools, Version 6.4.0\n\n"
        "===  GMT core: The main modules  ===\n\n"
        "Module name:     Purpose of core module:\n"
        "----------------------------------------------------------------\r\n"
        "basemap          Plot base maps and frames\r\n"
        "coast            Plot continents, countries, shorelines\n"
        "colorbar         Plot gray scale or color scale bar\n"
        "plot             Plot lines, polygons, and symbols in 2-D\n"
        "psconvert        Convert [E]PS file(s) to other formats\n"
        "not a module line\n\n"
        "Module name:     Purpose of seis module:\n"
        "----------------------------------------------------------------\n"
        "meca             Plot focal mechanisms\n"
        "x2sys_init       Initialize a new x2sys track database\n";
    const std::string classic =
        "psbasemap\npscoast\r\npsconvert\npsmeca\npsscale\npsxy\npsxyz\nblockmean\n\n"
        "bad name!\n";
    const std::vector<GmtModule> expected = {
        {"basemap", "Plot base maps and frames"},
        {"blockmean", ""},  // a classic name without a purpose
        {"coast", "Plot continents, countries, shorelines"},
        {"colorbar", "Plot gray scale or color scale bar"},
        {"meca", "Plot focal mechanisms"},
        {"plot", "Plot lines, polygons, and symbols in 2-D"},
        {"psbasemap", "Plot base maps and frames"},
        {"pscoast", "Plot continents, countries, shorelines"},
        {"psconvert", "Convert [E]PS file(s) to other formats"},  // once
        {"psmeca", "Plot focal mechanisms"},
        {"psscale", "Plot gray scale or color scale bar"},
        {"psxy", "Plot lines, polygons, and symbols in 2-D"},
        {"psxyz", ""},  // plot3d is not listed
        {"x2sys_init", "Initialize a new x2sys track database"},
    };
    CHECK(parse_gmt_modules(help, classic) == expected);
    CHECK(parse_gmt_modules("", "").empty());
    CHECK(parse_gmt_modules("ERROR: something\n", "").empty());
}
