// Replacing text in text files: the special texts, the window's own settings,
// placemark names and whole-file matches across reads (the conversions
// themselves are in data/tool_cases.txt).
#include "temp_folder.h"
#include "tools/replace_text.h"
#include "tools/tile_fixture.h"

#include <doctest/doctest.h>

#include <functional>

using mq::tools::ReplaceSettings;
using S = ReplaceSettings;
using namespace mq::testing;

namespace {

void row(S& s, int i, const char* search, const char* fill, bool on = true)
{
    s.rows[std::size_t(i)] = {on, search, fill};
}

}  // namespace

TEST_CASE("replace_vb: the special texts")
{
    const std::pair<const char*, const char*> rows[] = {{"CRLF", "\r\n"}, {"TAB", "\t"}, {"CR", "\r"}, {"LF", "\n"},
                                                        {"tab", "tab"}, {" TAB", " TAB"}, {"\\t", "\\t"}};
    for (const auto& [text, meaning] : rows) CHECK(mq::tools::replace_vb(text) == meaning);
}

TEST_CASE("replace_in_file: what only the window can ask for")
{
    const std::tuple<const char*, std::function<void(S&)>, std::string> cases[] = {
        {"a\n", [](S& s) { row(s, 0, "a", "b"), row(s, 1, "b", "x", false), row(s, 2, "b", "c"); }, "c\r\n"},
        // Take line if ignores the count of take each and turns kml off.
        {"ax\nb\ncx\n", [](S& s) { s.take_if = s.kml = true, s.take_if_text = "x", s.take_each_count = "0"; },
         "ax\r\ncx\r\n"},
        {"a\n", [](S& s) { s.take_each_count = "0"; }, "<missing>"},
        {"P1\n", [](S& s) { s.kml = s.kml_document = true; }, "<missing>"},   // not with take each
    };
    for (const auto& [input, set, output] : cases) {
        CAPTURE(input);
        TempFolder dir;
        S settings;
        set(settings);
        (void)mq::tools::replace_in_file(dir.write("in.txt", input), dir.path("out.txt"), settings, {}, {});
        CHECK(dir.read("out.txt") == output);
    }
}

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
