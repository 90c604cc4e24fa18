// Replacing text in text files: the special texts, line selection, the
// whole-file mode, KML placemarks byte for byte and the lines that stop a run.
#include "tools/file_fixture.h"
#include "tools/replace_text.h"

#include <QTest>

#include <functional>
#include <vector>

using mq::tools::ReplaceSettings;

namespace {

struct Case {
    const char* name;
    QByteArray input;
    std::function<void(ReplaceSettings&)> set;
    QByteArray output;      // "<missing>": no output file
    const char* error;      // the error text contains this; empty: none
};

void row(ReplaceSettings& s, int i, const char* search, const char* fill)
{
    s.rows[static_cast<std::size_t>(i)] = {true, search, fill};
}

const QByteArray kKmlLines = "P1 a b c d e f g h 10.5 54.2\n"
                             "a b c d e f g h 10.6 54.2\n"
                             "a b c d e f g h 10.6 54.3\n"
                             "a b c d e f g h 10.5 54.3\n";
const QByteArray kPlacemark = "<Placemark> <name> P1</name> <LineString> <coordinates>\r\n"
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
        {"bytes kept", QByteArray("\xe9\xff\x00z\r\n\rx\n", 9), [](ReplaceSettings&) {},
         QByteArray("\xe9\xff\x00z\r\n\rx\r\n", 10), ""},
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

class TestReplaceText : public QObject {
    Q_OBJECT

private slots:
    void special_texts();
    void replace_data();
    void replace();
    void whole_file_match_across_reads();
    void same_file_refused();
};

void TestReplaceText::special_texts()
{
    using mq::tools::replace_vb;
    QCOMPARE(replace_vb("CRLF"), std::string("\r\n"));
    QCOMPARE(replace_vb("TAB"), std::string("\t"));
    QCOMPARE(replace_vb("CR"), std::string("\r"));
    QCOMPARE(replace_vb("LF"), std::string("\n"));
    QCOMPARE(replace_vb("tab"), std::string("tab"));
    QCOMPARE(replace_vb(" TAB"), std::string(" TAB"));
    QCOMPARE(replace_vb("\\t"), std::string("\\t"));
}

void TestReplaceText::replace_data()
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < cases().size(); ++i) QTest::newRow(cases()[i].name) << static_cast<int>(i);
}

void TestReplaceText::replace()
{
    QFETCH(int, index);
    const Case& c = cases()[static_cast<std::size_t>(index)];
    mq::testing::FileFixture files;
    const std::string in = files.write("in.txt", c.input);
    ReplaceSettings settings;
    c.set(settings);
    const auto r = mq::tools::replace_in_file(in, files.path("out.txt"), settings, {}, {});
    if (*c.error == '\0') {
        QVERIFY2(r.ok(), r.ok() ? "" : r.error().text().c_str());
    } else {
        QVERIFY(!r.ok());
        QVERIFY2(r.error().text().find(c.error) != std::string::npos, r.error().text().c_str());
    }
    QCOMPARE(files.read("out.txt"), c.output);
}

void TestReplaceText::whole_file_match_across_reads()
{
    // Matches placed around the 1 MiB read size, one of them straddling it.
    const int block = 1 << 20;
    for (int shift : {-3, -2, -1, 0, 1}) {
        QByteArray input(block + shift, 'x');
        input += "ABAB";
        input += QByteArray(block, 'y');
        input += "AB";
        input.replace(100, 2, "AB");
        QByteArray expected = input;
        expected.replace("AB", "-");
        mq::testing::FileFixture files;
        ReplaceSettings s;
        s.entire = true;
        s.entire_search = "AB";
        s.entire_fill = "-";
        const auto r = mq::tools::replace_in_file(files.write("in.txt", input), files.path("out.txt"), s, {}, {});
        QVERIFY(r.ok());
        QVERIFY2(files.read("out.txt") == expected, qPrintable(QString("shift %1").arg(shift)));
    }
}

void TestReplaceText::same_file_refused()
{
    mq::testing::FileFixture files;
    const std::string in = files.write("in.txt", "a\n");
    const auto r = mq::tools::replace_in_file(in, in, ReplaceSettings{}, {}, {});
    QVERIFY(!r.ok());
    QVERIFY(r.error().message.find("output file is the input file") != std::string::npos);
    QCOMPARE(files.read("in.txt"), QByteArray("a\n"));
}

QTEST_GUILESS_MAIN(TestReplaceText)
#include "test_replace_text.moc"
