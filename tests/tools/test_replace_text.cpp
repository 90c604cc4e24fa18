// Replacing text in text files: the special texts, line selection, the
// whole-file mode, KML placemarks byte for byte and the lines that stop a run.
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

void kml_only(S& s)
{
    s.take_each = false;
    s.kml = true;
}

void entire(S& s, const char* search, const char* fill)
{
    s.entire = true;
    s.entire_search = search;
    s.entire_fill = fill;
}

const std::string kL1 = "P1 a b c d e f g h 10.5 54.2\n", kL2 = "a b c d e f g h 10.6 54.2\n",
                  kL3 = "a b c d e f g h 10.6 54.3\n", kL4 = "a b c d e f g h 10.5 54.3\n";
const std::string kKmlLines = kL1 + kL2 + kL3 + kL4;
const std::string kPlacemark = "<Placemark> <name> P1</name> <LineString> <coordinates>\r\n"
                               "10.5,54.2,1\r\n10.6,54.2,1\r\n10.6,54.3,1\r\n10.5,54.3,1\r\n10.5,54.2,1\r\n"
                               "</coordinates> </LineString>  </Placemark>\r\n\r\n";

}  // namespace

TEST_CASE("replace_vb: the special texts")
{
    const std::pair<const char*, const char*> rows[] = {{"CRLF", "\r\n"}, {"TAB", "\t"}, {"CR", "\r"}, {"LF", "\n"},
                                                        {"tab", "tab"}, {" TAB", " TAB"}, {"\\t", "\\t"}};
    for (const auto& [text, meaning] : rows) CHECK(mq::tools::replace_vb(text) == meaning);
}

TEST_CASE("replace_in_file")
{
    struct Case {
        const char* name;
        std::string input;
        std::function<void(S&)> set;
        std::string output;   // "<missing>": no output file
        std::string error;    // the error text contains this; empty: none
    };
    const Case cases[] = {
        {"defaults copy with CR LF", "a\nb\r\nc", [](S&) {}, "a\r\nb\r\nc\r\n", ""},
        {"bytes kept", std::string("\xe9\xff\x00z\r\n\rx\n", 9), [](S&) {},
         std::string("\xe9\xff\x00z\r\n\rx\r\n", 10), ""},
        {"every 3rd line", "1\n2\n3\n4\n5\n6\n7\n", [](S& s) { s.take_each_count = "3"; }, "3\r\n6\r\n", ""},
        {"TAB to comma", "a\tb\tc\n", [](S& s) { row(s, 0, "TAB", ","); }, "a,b,c\r\n", ""},
        {"backslash t fills in a TAB", "a,b\n", [](S& s) { row(s, 0, ",", "\\t"); }, "a\tb\r\n", ""},
        {"rows in order, unchecked row ignored", "a\n",
         [](S& s) {
             row(s, 0, "a", "b"), row(s, 1, "b", "x", false), row(s, 2, "b", "cc"), row(s, 3, "c", "d");
         },
         "dd\r\n", ""},
        {"add to each line, every \\t a TAB", "x\\ty\n",
         [](S& s) { s.add_to_each_line = true, s.add_text = ";\\tz"; }, "x\ty;\tz\r\n", ""},
        {"take line if empty exists", "a\nb\n", [](S& s) { s.take_if = true; }, "a\r\nb\r\n", ""},
        {"take line if empty not exists", "a\nb\n", [](S& s) { s.take_if = true, s.take_if_exists = false; },
         "", ""},
        {"take line if, after replacing, n not looked at", "ax\nb\ncx\n",
         [](S& s) {
             row(s, 0, "c", "x"), s.take_if = s.kml = true, s.take_if_text = "x", s.take_each_count = "0";
         },
         "ax\r\nxx\r\n", ""},
        {"take line if not", "ax\nb\ncx\n",
         [](S& s) { s.take_if = true, s.take_if_text = "x", s.take_if_exists = false; }, "b\r\n", ""},
        {"all selection off", "a\nb\n", [](S& s) { s.take_each = false; }, "", ""},
        {"whole file CRLF to blank", "a\r\nb\r\nc\r\n", [](S& s) { entire(s, "CRLF", " "); }, "a b c ", ""},
        {"whole file keeps bytes and adds no line end", "\xe9;\xe9;\n", [](S& s) { entire(s, ";", "TAB"); },
         "\xe9\t\xe9\t\n", ""},
        {"kml placemark", kKmlLines, kml_only, kPlacemark, ""},
        {"kml after the kept line", kKmlLines + kKmlLines, [](S& s) { s.kml = true; },
         "P1 a b c d e f g h 10.5 54.2\r\n" + kPlacemark + "P1 a b c d e f g h 10.5 54.2\r\n" + kPlacemark,
         ""},
        {"kml with too few lines left keeps the placemarks written", kKmlLines + "P2\nx\ny\n", kml_only,
         kPlacemark, "line 5: a placemark needs this line and three more, but only 2 follow"},
        {"kml line with too few fields",
         "P1 a b c d e f g h 10.5 54.2\na b c d e f g h 10.6 54.2\na b 10.6 54.3\nx\n", kml_only, "",
         "line 3: a placemark line needs 10 fields separated by single blanks, this one has 4"},
        {"kml double blank shifts the fields",
         "P1  b c d e f g h 7 10.5 54.2\nb c d e f g h i 1 2\nb c d e f g h i 3 4\nb c d e f g h i 5 6\n",
         kml_only,
         "<Placemark> <name> P1</name> <LineString> <coordinates>\r\n7,10.5,1\r\n1,2,1\r\n3,4,1\r\n5,6,1\r\n"
         "7,10.5,1\r\n</coordinates> </LineString>  </Placemark>\r\n\r\n",
         ""},
        {"kml corner not a number", kL1 + kL2 + "a b c d e f g h nan 54.3\n" + kL4, kml_only, "",
         "in.txt, line 3: field 8 (longitude) of a placemark line is not a number: 'nan'"},
        {"kml corner beyond a double", "P 1 2 3 4 5 6 7 8 10 1e999\n" + kL2 + kL3 + kL4, kml_only, "",
         "line 1: field 10 (latitude) of a placemark line is not a number: '1e999'"},
        {"kml corner of letters", kL1 + "a b c d e f g h foo 54.2\n" + kL3 + kL4, kml_only, "",
         "line 2: field 8 (longitude) of a placemark line is not a number: 'foo'"},
        {"kml empty corner", kL1 + kL2 + kL3 + "a b c d e f g h 10.5 \n", kml_only, "",
         "line 4: field 9 (latitude) of a placemark line is not a number: ''"},
        {"kml document", kKmlLines, [](S& s) { kml_only(s), s.kml_document = true; },
         std::string(mq::tools::kKmlDocumentStart) + kPlacemark + std::string(mq::tools::kKmlDocumentEnd),
         ""},
        {"kml document closed after a bad line", kKmlLines + "P2\n",
         [](S& s) { kml_only(s), s.kml_document = true; },
         std::string(mq::tools::kKmlDocumentStart) + kPlacemark + std::string(mq::tools::kKmlDocumentEnd),
         "line 5: a placemark needs"},
        {"kml document without take each only", kKmlLines, [](S& s) { s.kml = s.kml_document = true; },
         "<missing>", "a complete KML document holds only placemarks"},
        {"take each empty", "a\n", [](S& s) { s.take_each_count = ""; }, "<missing>",
         "\"Take each\" needs a whole number of 1 or more, not ''"},
        {"take each 0", "a\n", [](S& s) { s.take_each_count = "0"; }, "<missing>", "not '0'"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        TempFolder dir;
        S settings;
        c.set(settings);
        const std::string in = dir.write("in.txt", c.input);
        const auto r = mq::tools::replace_in_file(in, dir.path("out.txt"), settings, {}, {});
        CHECK(matched(error_text(r), c.error) == c.error);
        CHECK(dir.read("out.txt") == c.output);
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
        entire(s, "AB", "-");
        REQUIRE(mq::tools::replace_in_file(dir.write("in.txt", input), dir.path("out.txt"), s, {}, {}).ok());
        CHECK(dir.read("out.txt") == expected);
    }
}

TEST_CASE("replace_in_file refuses an output that is the input")
{
    TempFolder dir;
    const std::string in = dir.write("in.txt", "a\n");
    const std::string message = "output file is the input file";
    CHECK(matched(error_text(mq::tools::replace_in_file(in, in, S{}, {}, {})), message) == message);
    CHECK(dir.read("in.txt") == "a\n");
}
