// Replacing text in text files: the special texts, line selection, the
// whole-file mode, KML placemarks byte for byte and the lines that stop a run.
#include "temp_folder.h"
#include "tools/replace_text.h"

#include <doctest/doctest.h>

#include <functional>
#include <vector>

using mq::tools::ReplaceSettings;

namespace {

struct Case {
    const char* name;
    std::string input;
    std::function<void(ReplaceSettings&)> set;
    std::string output;      // "<missing>": no output file
    const char* error;      // the error text contains this; empty: none
};

void row(ReplaceSettings& s, int i, const char* search, const char* fill)
{
    s.rows[static_cast<std::size_t>(i)] = {true, search, fill};
}

const std::string kKmlLines = "P1 a b c d e f g h 10.5 54.2\n"
                             "a b c d e f g h 10.6 54.2\n"
                             "a b c d e f g h 10.6 54.3\n"
                             "a b c d e f g h 10.5 54.3\n";
const std::string kPlacemark = "<Placemark> <name> P1</name> <LineString> <coordinates>\r\n"
                              "10.5,54.2,1\r\n10.6,54.2,1\r\n10.6,54.3,1\r\n10.5,54.3,1\r\n10.5,54.2,1\r\n"
                              "</coordinates> </LineString>  </Placemark>\r\n\r\n";

void kml_only(ReplaceSettings& s)
{
    s.take_each = false;
    s.kml = true;
}

const std::vector<Case>& cases()
{
    static const std::vector<Case> table = {
        {"defaults copy with CR LF", "a\nb\r\nc", [](ReplaceSettings&) {}, "a\r\nb\r\nc\r\n", ""},
        {"bytes kept", std::string("\xe9\xff\x00z\r\n\rx\n", 9), [](ReplaceSettings&) {},
         std::string("\xe9\xff\x00z\r\n\rx\r\n", 10), ""},
        {"every 3rd line", "1\n2\n3\n4\n5\n6\n7\n", [](ReplaceSettings& s) { s.take_each_count = "3"; },
         "3\r\n6\r\n", ""},
        {"TAB to comma", "a\tb\tc\n", [](ReplaceSettings& s) { row(s, 0, "TAB", ","); }, "a,b,c\r\n", ""},
        {"backslash t fills in a TAB", "a,b\n", [](ReplaceSettings& s) { row(s, 0, ",", "\\t"); }, "a\tb\r\n", ""},
        {"rows in order, unchecked row ignored", "a\n",
         [](ReplaceSettings& s) {
             row(s, 0, "a", "b");
             row(s, 2, "b", "cc");
             s.rows[1] = {false, "cc", "x"};
             row(s, 3, "c", "d");
         },
         "dd\r\n", ""},
        {"add to each line, every \\t a TAB", "x\\ty\n",
         [](ReplaceSettings& s) {
             s.add_to_each_line = true;
             s.add_text = ";\\tz";
         },
         "x\ty;\tz\r\n", ""},
        {"take line if empty exists", "a\nb\n", [](ReplaceSettings& s) { s.take_if = true; }, "a\r\nb\r\n", ""},
        {"take line if empty not exists", "a\nb\n",
         [](ReplaceSettings& s) {
             s.take_if = true;
             s.take_if_exists = false;
         },
         "", ""},
        {"take line if, after replacing, n not looked at", "ax\nb\ncx\n",
         [](ReplaceSettings& s) {
             row(s, 0, "c", "x");
             s.take_if = true;
             s.take_if_text = "x";
             s.take_each_count = "0";
             s.kml = true;
         },
         "ax\r\nxx\r\n", ""},
        {"take line if not", "ax\nb\ncx\n",
         [](ReplaceSettings& s) {
             s.take_if = true;
             s.take_if_text = "x";
             s.take_if_exists = false;
         },
         "b\r\n", ""},
        {"all selection off", "a\nb\n", [](ReplaceSettings& s) { s.take_each = false; }, "", ""},
        {"whole file CRLF to blank", "a\r\nb\r\nc\r\n",
         [](ReplaceSettings& s) {
             s.entire = true;
             s.entire_search = "CRLF";
             s.entire_fill = " ";
         },
         "a b c ", ""},
        {"whole file keeps bytes and adds no line end", "\xe9;\xe9;\n",
         [](ReplaceSettings& s) {
             s.entire = true;
             s.entire_search = ";";
             s.entire_fill = "TAB";
         },
         "\xe9\t\xe9\t\n", ""},
        {"kml placemark", kKmlLines, kml_only, kPlacemark, ""},
        {"kml after the kept line", kKmlLines + kKmlLines, [](ReplaceSettings& s) { s.kml = true; },
         "P1 a b c d e f g h 10.5 54.2\r\n" + kPlacemark + "P1 a b c d e f g h 10.5 54.2\r\n" + kPlacemark, ""},
        {"kml with too few lines left keeps the placemarks written", kKmlLines + "P2\nx\ny\n", kml_only,
         kPlacemark, "line 5: a placemark needs this line and three more, but only 2 follow"},
        {"kml line with too few fields", "P1 a b c d e f g h 10.5 54.2\na b c d e f g h 10.6 54.2\na b 10.6 54.3\nx\n",
         kml_only, "", "line 3: a placemark line needs 10 fields separated by single blanks, this one has 4"},
        {"kml double blank shifts the fields", "P1  b c d e f g h i 10.5 54.2\nb c d e f g h i 1 2\nb c d e f g h i 3 4\nb c d e f g h i 5 6\n",
         kml_only,
         "<Placemark> <name> P1</name> <LineString> <coordinates>\r\ni,10.5,1\r\n1,2,1\r\n3,4,1\r\n5,6,1\r\ni,10.5,1\r\n"
         "</coordinates> </LineString>  </Placemark>\r\n\r\n",
         ""},
        {"take each empty", "a\n", [](ReplaceSettings& s) { s.take_each_count = ""; }, "<missing>",
         "\"Take each\" needs a whole number of 1 or more, not ''"},
        {"take each 0", "a\n", [](ReplaceSettings& s) { s.take_each_count = "0"; }, "<missing>", "not '0'"},
    };
    return table;
}

}  // namespace

TEST_CASE("replace_vb: the special texts")
{
    using mq::tools::replace_vb;
    const std::pair<const char*, const char*> rows[] = {{"CRLF", "\r\n"}, {"TAB", "\t"},   {"CR", "\r"},
                                                        {"LF", "\n"},     {"tab", "tab"}, {" TAB", " TAB"},
                                                        {"\\t", "\\t"}};
    for (const auto& [text, meaning] : rows) CHECK(replace_vb(text) == meaning);
}

TEST_CASE("replace_in_file")
{
    for (const Case& c : cases()) {
        CAPTURE(c.name);
        mq::testing::TempFolder dir;
        const std::string in = dir.write("in.txt", c.input);
        ReplaceSettings settings;
        c.set(settings);
        const auto r = mq::tools::replace_in_file(in, dir.path("out.txt"), settings, {}, {});
        if (*c.error == '\0') {
            CHECK(r.ok());
        } else {
            REQUIRE(!r.ok());
            CHECK(r.error().text().find(c.error) != std::string::npos);
        }
        CHECK(dir.read("out.txt") == c.output);
    }
}

TEST_CASE("replace_in_file: whole-file matches across the reads")
{
    // Matches placed around the 1 MiB read size, one of them straddling it.
    const std::size_t block = 1 << 20;
    for (int shift : {-3, -2, -1, 0, 1}) {
        CAPTURE(shift);
        std::string input(static_cast<std::size_t>(static_cast<int>(block) + shift), 'x');
        input += "ABAB" + std::string(block, 'y') + "AB";
        input.replace(100, 2, "AB");
        std::string expected;
        for (std::size_t at = 0; at < input.size();) {
            if (input.compare(at, 2, "AB") == 0) {
                expected += '-';
                at += 2;
            } else {
                expected += input[at++];
            }
        }
        mq::testing::TempFolder dir;
        ReplaceSettings s;
        s.entire = true;
        s.entire_search = "AB";
        s.entire_fill = "-";
        REQUIRE(mq::tools::replace_in_file(dir.write("in.txt", input), dir.path("out.txt"), s, {}, {}).ok());
        CHECK(dir.read("out.txt") == expected);
    }
}

TEST_CASE("replace_in_file refuses an output that is the input")
{
    mq::testing::TempFolder dir;
    const std::string in = dir.write("in.txt", "a\n");
    const auto r = mq::tools::replace_in_file(in, in, ReplaceSettings{}, {}, {});
    REQUIRE(!r.ok());
    CHECK(r.error().message.find("output file is the input file") != std::string::npos);
    CHECK(dir.read("in.txt") == "a\n");
}
