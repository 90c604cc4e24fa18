// The file and survey subcommands of mapquill-tools run as a user's script
// would, in a scratch folder holding in.txt and the tile N45E010.hgt: exit
// status, stdout, stderr and out.txt are checked, and in.txt is never touched.
#include "platform/test_files.h"
#include "tools/tile_fixture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using mq::testing::read_file;
using mq::testing::write_file;

namespace {

QByteArray doubles(std::initializer_list<double> values)
{
    return QByteArray::fromStdString(mq::testing::doubles(values));
}

}  // namespace

class TestCliFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void run_data();
    void run();
    // Under Wine a finished tool may hold its working folder a moment longer.
    void cleanupTestCase() { QTRY_VERIFY_WITH_TIMEOUT(dir_.remove(), 10000); }

private:
    QTemporaryDir dir_;
};

void TestCliFiles::initTestCase()
{
    QVERIFY(dir_.isValid());
    const auto tile = mq::testing::make_tile(1201, [](int, int) { return 100; });
    QVERIFY(write_file(dir_.filePath("N45E010.hgt"), QByteArray::fromStdString(tile)));
}

void TestCliFiles::run_data()
{
    QTest::addColumn<QByteArray>("input");     // in.txt
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exit_code");
    QTest::addColumn<QString>("out");          // exact stdout; "*" prefix: stdout contains the rest
    QTest::addColumn<QString>("err");          // stderr contains this; empty: stderr is empty
    QTest::addColumn<QByteArray>("written");   // out.txt; "<prefix>": starts with the rest; "<size>": its size
    auto row = [](const char* name, const QByteArray& input, const QStringList& args, int code, const char* out,
                  const char* err, const QByteArray& written) {
        QTest::newRow(name) << input << args << code << QString::fromUtf8(out) << QString::fromUtf8(err) << written;
    };
    const QByteArray none = "<missing>";
    const QStringList io{"in.txt", "out.txt"};

    const QByteArray swiss = "200000,600000,12.5\r\n100000,700000,-3\n";
    const QByteArray origin = "7.43863722\t46.95108111\t12.5\r\n";
    const QStringList sw = QStringList{"swiss"} + io;
    row("swiss defaults", swiss, sw, 0, "", "", origin + "8.73049933\t46.04412678\t-3\r\n");
    row("swiss yx, semicolon", "600000;200000;12.5\n", sw + QStringList{"--order", "yx", "--delimiter", ";"}, 0, "",
        "", origin);
    row("swiss dash delimiter", "200000-600000-12.5\n", sw + QStringList{"--delimiter", "-"}, 0, "", "", origin);
    row("swiss to swiss", origin, sw + QStringList{"--to-swiss", "--delimiter", "TAB"}, 0, "", "",
        "600000.35\t199999.83\t12.5\r\n");
    row("swiss bad line keeps rows", "200000,600000,12.5\n200000;600000;1\n", sw, 1, "",
        "line 2: the line has fewer than three fields", origin);
    row("swiss bad order", swiss, sw + QStringList{"--order", "xz"}, 2, "", "--order", none);

    const QByteArray lines = "a\tb\n-x-\r\nc\n";
    const QStringList rp = QStringList{"replace"} + io;
    row("replace rows, dash texts, append", lines,
        rp + QStringList{"--replace", "TAB", ",", "--replace", "-", "\\t", "--append", "-;"}, 0, "", "",
        "a,b-;\r\n\tx\t-;\r\nc-;\r\n");
    row("replace take-if-not", lines, rp + QStringList{"--take-if-not", "-x"}, 0, "", "", "a\tb\r\nc\r\n");
    row("replace take-if empty", lines, rp + QStringList{"--take-if", ""}, 0, "", "", "a\tb\r\n-x-\r\nc\r\n");
    row("replace every 2", lines, rp + QStringList{"--every", "2"}, 0, "", "", "-x-\r\n");
    row("replace entire", lines, rp + QStringList{"--entire", "LF", "|"}, 0, "", "", "a\tb|-x-\r|c|");
    row("replace kml short", lines, rp + QStringList{"--no-every", "--kml"}, 1, "",
        "line 1: a placemark needs this line and three more", "");
    row("replace every 0", lines, rp + QStringList{"--every", "0"}, 2, "", "--every needs a whole number", none);
    QStringList five = rp;
    for (int i = 0; i < 5; ++i) five << "--replace" << "a" << "b";
    row("replace five rows", lines, five, 2, "", "more than four times", none);
    row("replace one text", lines, rp + QStringList{"--replace", "a"}, 2, "", "--replace needs 2 texts", none);
    row("replace entire with line options", lines, rp + QStringList{"--entire", "a", "b", "--kml"}, 2, "",
        "--entire works on the whole file", none);
    row("replace both take-ifs", lines, rp + QStringList{"--take-if", "a", "--take-if-not", "b"}, 2, "",
        "either --take-if", none);
    row("replace every and no-every", lines, rp + QStringList{"--every", "2", "--no-every"}, 2, "", "excludes", none);
    row("replace help", lines, {"replace", "--help"}, 0, "*Copies a text file while replacing texts", "", none);

    const QByteArray ping = "20.5 10.5 100\n";
    const QByteArray utm_line = "500000 5538630.703 12.5\n";
    const QStringList box{"--lat-min", "10", "--lat-max", "11", "--lon-min", "20", "--lon-max", "21"};
    const QStringList utm_file = QStringList{"utm-file", "--zone", "32", "--hemisphere", "N"} + io;
    row("utm", "", {"utm", "--lon", "9", "--lat", "50"}, 0, "32:500000:5538630.703\n", "", none);
    row("utm negative colon values", "", {"utm", "--lon", "-10:30", "--lat", "-33:54:00"}, 0,
        "29:361310.106:6247919.039\n", "", none);
    row("utm letters", "", {"utm", "--lon", "x", "--lat", "1"}, 1, "", "longitude 'x' is not a coordinate", none);
    row("utm no latitude", "", {"utm", "--lon", "9"}, 2, "", "--lat", none);
    row("inverse", "", {"utm-inverse", "--zone", "32", "--hemisphere", "S", "500000", "4461369.297"}, 0,
        "9:-49.9999999998337\n", "", none);
    row("inverse lower-case hemisphere", "", {"utm-inverse", "--zone", "32", "--hemisphere", "n", "1", "2"}, 2, "",
        "not in {N,S}", none);
    row("utm-file", utm_line, utm_file, 0, "", "", "9:00.000000\t50:00.000000\t12.5\r\n");
    row("utm-file without delimiter", utm_line + "5000005538630.703\n", utm_file, 1, "",
        "in.txt, line 2: there is no TAB or blank as delimiter", "9:00.000000\t50:00.000000\t12.5\r\n");
    row("utm-file onto itself", utm_line, QStringList{utm_file.mid(0, 6)} << "./in.txt", 1, "",
        "the output file is the input file", none);
    row("footprint", ping, QStringList{"footprint"} + io + box, 0, "88\n", "", "<size>2112");
    row("footprint negative box", "-20 -10.5 100\n",
        QStringList{"footprint"} + io +
            QStringList{"--lat-min", "-11", "--lat-max", "-10", "--lon-min", "-20:30", "--lon-max", "-19",
                        "--spacing", "2"},
        0, "64\n", "", "<size>384");
    row("footprint zero spacing", ping, QStringList{"footprint"} + io + box + QStringList{"--spacing", "0"}, 1, "",
        "greater than 0", none);
    row("gridsize", "", {"gridsize", "--spacing", "1", "--lat-min", "54", "--lat-max", "54.1", "--lon-min", "10",
                         "--lon-max", "10.1"},
        0, "X: 6524 / Y: 11112\n", "", none);
    row("gridsize empty edge", "", {"gridsize", "--spacing", "1", "--lat-min", "", "--lat-max", "1", "--lon-min", "0",
                                    "--lon-max", "1"},
        1, "", "--lat-min: '' is not a coordinate", none);

    row("srtm defaults", "", {"srtm", "N45E010.hgt", "out.txt"}, 0, "1442401 records written to out.txt\n", "",
        "<prefix>" + doubles({10, 46, 100, 10.0008333333, 46, 100}));
    row("srtm text, little endian, negative corner", "",
        {"srtm", "N45E010.hgt", "out.txt", "--format", "ascii", "--byte-order", "little", "--south", "-12",
         "--west", "-077", "--max-z=30000"},
        0, "1442401 records written to out.txt\n", "", "<prefix>-77\t-11\t25600\r\n-76.9991666667\t-11\t25600\r\n");
    row("srtm short tile", QByteArray(1000, '\0'), QStringList{"srtm"} + io + QStringList{"--south", "1", "--west", "2"},
        1, "", "the tile has 1000 bytes; a tile of 1201 x 1201 samples has 2884802", none);
    row("srtm bad format", "", {"srtm", "N45E010.hgt", "out.txt", "--format", "csv"}, 2, "", "--format", none);
    row("bin2ascii tail", doubles({0, 0, 0}) + "12345", QStringList{"bin2ascii"} + io, 0,
        "1 record written to out.txt; 5 bytes left over at the end (less than one record)\n", "", "0\t0\t0\r\n");
    row("bin2ascii onto itself", doubles({10, 45.5, -120}), {"bin2ascii", "in.txt", "./in.txt"}, 1, "",
        "the output file is the input file", none);
    const QStringList track{"track", "out.txt", "--x1", "-10:30", "--x2", "-9:30", "--y1", "-0:30", "--y2", "0,5"};
    row("track negative colon values", "", track + QStringList{"--samples", "1"}, 0,
        "2 positions written to out.txt\n", "", "-10.5\t-0.5\r\n-9.5\t0.5\r\n");
    row("track zero samples", "", track + QStringList{"--samples", "0"}, 1, "", "at least 1", none);
    row("track missing y2", "", track.mid(0, 8), 2, "", "--y2", none);
    row("run-batch missing", "", {"run-batch", "none.bat"}, 1, "", "cannot open", none);
    row("run-batch failing line", "echo off\r\nfalse\r\n", {"run-batch", "in.txt"}, 1, "*Log: ",
        "in.txt, line 2: the program failed (see ", none);
}

void TestCliFiles::run()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, args);
    QFETCH(int, exit_code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QByteArray, written);
    QVERIFY(write_file(dir_.filePath("in.txt"), input));
    QFile::remove(dir_.filePath("out.txt"));
    QProcess tool;
    tool.setWorkingDirectory(dir_.path());
    tool.start(MQ_TOOLS_PATH, args);
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    const QString stdout_text = QString::fromUtf8(tool.readAllStandardOutput());
    const QString stderr_text = QString::fromUtf8(tool.readAllStandardError());
    QVERIFY2(tool.exitCode() == exit_code, qPrintable(stderr_text));
    if (out.startsWith('*')) QVERIFY2(stdout_text.contains(out.mid(1)), qPrintable(stdout_text));
    else QCOMPARE(stdout_text, out);
    if (err.isEmpty()) QCOMPARE(stderr_text, QString());
    else QVERIFY2(stderr_text.contains(err), qPrintable(stderr_text));
    if (exit_code != 0) QCOMPARE(stderr_text.count('\n'), 1);
    const QByteArray bytes = read_file(dir_.filePath("out.txt"));
    if (written.startsWith("<prefix>")) QVERIFY(bytes.startsWith(written.mid(8)));
    else if (written.startsWith("<size>")) QCOMPARE(bytes.size(), written.mid(6).toLongLong());
    else QCOMPARE(bytes, written);
    QCOMPARE(read_file(dir_.filePath("in.txt")), input);
}

QTEST_GUILESS_MAIN(TestCliFiles)
#include "test_cli_files.moc"
