// Replacing text in text files: placemark names and
// whole-file matches across reads (the conversions themselves are in
// data/tool_cases.txt, the window's own settings in data/window_runs.txt).
#include "temp_folder.h"
#include "tools/replace_text.h"
#include "tools/tile_fixture.h"

#include <doctest/doctest.h>

using mq::tools::ReplaceSettings;
using S = ReplaceSettings;
using namespace mq::testing;

TEST_CASE("kml_name: XML text in UTF-8")
{
    const std::pair<std::string, std::string> rows[] = {
        {"P1", "P1"},
        {"A&B<C>", "A&amp;B&lt;C&gt;"},
        {"\"q\"'s", "&quot;q&quot;&apos;s"},
        {"&amp;", "&amp;amp;"},
        {"caf\xc3\xa9", "caf\xc3\xa9"},                        // UTF-8 kept
        {"Z\xfcrich\x80&", "Z\xc3\xbcrich\xe2\x82\xac&amp;"},  // Windows-1252
        {"\xc3", "\xc3\x83"},                                  // cut short: not UTF-8
        {std::string("a\0b\x01\tc\r\n", 8),
         "a\xef\xbf\xbd"
         "b\xef\xbf\xbd\tc\r\n"},                                    // controls
        {"x\xef\xbf\xbe\xef\xbf\xbf", "x\xef\xbf\xbd\xef\xbf\xbd"},  // U+FFFE, U+FFFF
    };
    for (const auto& [name, xml] : rows) {
        CAPTURE(name);
        CHECK(mq::tools::kml_name(name) == xml);
    }
}

TEST_CASE("replace_in_file: whole-file matches across the reads")
{
    // Matches placed around the 1 MiB read size, one of them straddling it.
    const std::size_t block = 1 << 20;
    for (int shift : {-3, -2, -1, 0, 1}) {
        CAPTURE(shift);
        std::string input(std::size_t(int(block) + shift), 'x');
        input += "ABAB" + std::string(block, 'y') + "AB";
        input.replace(100, 2, "AB");
        std::string expected;
        for (std::size_t at = 0; at < input.size();) {
            const bool match = input.compare(at, 2, "AB") == 0;
            expected += match ? '-' : input[at];
            at += match ? 2 : 1;
        }
        TempFolder dir;
        S s;
        s.entire = true, s.entire_search = "AB", s.entire_fill = "-";
        REQUIRE(mq::tools::replace_in_file(dir.write("in.txt", input), dir.path("out.txt"), s, {}, {}).ok());
        CHECK(dir.read("out.txt") == expected);
    }
}
