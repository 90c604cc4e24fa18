// Finding module names and options in script lines, and reading GMT's
// module list and texts that are no usage. The real texts of the installed
// GMT are read in tests/app/test_gmt_help.cpp.
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
        {"for %%f in (*.grd) do grd#info %%f", "grdinfo"},
        {"if exist a.grd (psxy# a)", "psxy"},
        {"echo grd#image", ""},  // an argument, not a command
        {"rem gmt grd#image", ""},
        {"gmt grdimage a.grd -#JM", ""},
        {"grdimage x.gr#d", ""},
        {"gmt #", ""},
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
        {"type a.txt && gmt gmtin", {module, 18, "gmtin", ""}},
        {"for %%f in (*.grd) do grd", {module, 22, "grd", ""}},
        {"grdimage a.grd -", {option, 15, "-", "grdimage"}},
        {"gmt coast -R0/1/0/1 -J", {option, 20, "-J", "coast"}},
        {"@gmt.exe psxy -", {option, 14, "-", "psxy"}},
        {"do gmt plot -W", {option, 12, "-W", "plot"}},
        {"gmt grdimage a.grd -R0/1", {}},  // the option's value
        {"echo grd", {}},
        {"grdimage a.grd", {}},
        {"-", {}},  // no module before it
        {"gmt -", {}},
    };
    for (const Case& c : cases) {
        CAPTURE(c.before);
        CHECK(completion_context(c.before) == c.expected);
    }
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
        "\tGMT - The Generic Mapping Tools\n\nModule name:     Purpose of core module:\n"
        "-----------------------------------\r\n"
        "coast            Plot continents\r\n"
        "colorbar         Plot a scale bar\n"
        "plot             Plot lines\n"
        "psconvert        Convert [E]PS files\n"
        "not a module line\n\n"
        "x2sys_init       Not in a list\n";
    const std::string classic = "pscoast\r\npsconvert\npsscale\npsxy\npsxyz\nblockmean\n\nbad name!\n";
    const std::vector<GmtModule> expected = {
        {"blockmean", ""},
        {"coast", "Plot continents"},
        {"colorbar", "Plot a scale bar"},
        {"plot", "Plot lines"},
        {"pscoast", "Plot continents"},
        {"psconvert", "Convert [E]PS files"},
        {"psscale", "Plot a scale bar"},
        {"psxy", "Plot lines"},
        {"psxyz", ""},  // plot3d is not listed
    };
    CHECK(parse_gmt_modules(help, classic) == expected);
    CHECK(parse_gmt_modules("ERROR: something\n", "").empty());
}
