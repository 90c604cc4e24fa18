// The file and survey subcommands of mapquill-tools run as a user's script
// would, in a scratch folder holding in.txt and the tile N45E010.hgt: exit
// status, stdout, stderr and out.txt are checked, and in.txt is never touched.
#include "platform/test_files.h"
#include "tools/tile_fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

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
    void kml_is_xml_data();
    void kml_is_xml();
    void keeps_an_existing_output_data();
    void keeps_an_existing_output();
#ifdef Q_OS_UNIX
    void ended_by_a_signal_data();
    void ended_by_a_signal();
#endif
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
    const QByteArray corners =
        "P1 a b c d e f g h 10.5 54.2\na b c d e f g h 10.6 54.2\n"
        "a b c d e f g h 10.6 54.3\na b c d e f g h 10.5 54.3\n";
    const QByteArray placemark =
        "<Placemark> <name> P1</name> <LineString> <coordinates>\r\n"
        "10.5,54.2,1\r\n10.6,54.2,1\r\n10.6,54.3,1\r\n10.5,54.3,1\r\n10.5,54.2,1\r\n"
        "</coordinates> </LineString>  </Placemark>\r\n\r\n";
    row("replace kml document", corners, rp + QStringList{"--kml-document"}, 0, "", "",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">\r\n"
        "<Document>\r\n" +
            placemark + "</Document>\r\n</kml>\r\n");
    row("replace kml document with every", corners, rp + QStringList{"--kml-document", "--every", "1"}, 2, "",
        "--kml-document holds only placemarks", none);
    row("replace kml corner nan", QByteArray(corners).replace("10.6 54.3", "nan 54.3"),
        rp + QStringList{"--kml", "--no-every"}, 1, "",
        "in.txt, line 3: field 8 (longitude) of a placemark line is not a number: 'nan'", "");
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
    row("utm-file byte-order mark", "\xEF\xBB\xBF" + utm_line, utm_file, 0, "", "",
        "9:00.000000\t50:00.000000\t12.5\r\n");
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
    row("srtm lower-case tile name", "", {"srtm", "n45e010.hgt", "out.txt"}, 1, "",
        "srtm: tile names are upper case, as N45E010.hgt;", none);
    // No height is kept, so GMT's surface fails (as it does where GMT is missing): the run stops there
    // and the records stay.
    row("srtm failed gridding", "", {"srtm", "N45E010.hgt", "out.txt", "--make-grid", "--min-z", "9999"}, 1,
        "*0 records written to out.txt\nYour grid will be saved as: ",
        "srtm: the gridding failed at line 5 of the batch file (", "");
    row("bin2ascii tail", doubles({0, 0, 0}) + "12345", QStringList{"bin2ascii"} + io, 0,
        "1 record written to out.txt; 5 bytes left over at the end (less than one record)\n", "", "0\t0\t0\r\n");
    row("bin2ascii onto itself", doubles({10, 45.5, -120}), {"bin2ascii", "in.txt", "./in.txt"}, 1, "",
        "the output file is the input file", none);
    const QStringList track{"track", "out.txt", "--x1", "-10:30", "--x2", "-9:30", "--y1", "-0:30", "--y2", "0,5"};
    row("track negative colon values", "", track + QStringList{"--samples", "1"}, 0,
        "2 positions written to out.txt\n", "", "-10.5\t-0.5\r\n-9.5\t0.5\r\n");
    row("track zero samples", "", track + QStringList{"--samples", "0"}, 1, "", "at least 1", none);
    row("track empty name", "", QStringList{"track", ""} + track.mid(2), 1, "",
        "track: cannot create the file: its name is empty", none);
    row("track missing y2", "", track.mid(0, 8), 2, "", "--y2", none);
    row("run-batch missing", "", {"run-batch", "none.bat"}, 1, "", "cannot open", none);
#ifndef Q_OS_WIN   // no program "false" there
    row("run-batch failing line", "echo off\r\nfalse\r\n", {"run-batch", "in.txt"}, 1, "*Log: ",
        "in.txt, line 2: the program failed (see ", none);
#endif
    row("run-batch CR-only line ends", "echo off\rfalse\r", {"run-batch", "in.txt"}, 1, "",
        "in.txt, line 1: the line holds a CR before its end", none);
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

// Placemark names that are not plain XML text: the placemarks alone (inside
// a document of the reader's own) and the complete document read back as
// XML with the names intact, and the document opens in GDAL when it is there.
void TestCliFiles::kml_is_xml_data()
{
    QTest::addColumn<QByteArray>("name");  // as it stands in the input
    QTest::addColumn<QString>("read");     // as an XML reader gives it
    QTest::newRow("plain") << QByteArray("P1") << "P1";
    QTest::newRow("markup") << QByteArray("A&B<C>") << "A&B<C>";
    QTest::newRow("quotes") << QByteArray("\"Q\"'s") << "\"Q\"'s";
    QTest::newRow("entity text") << QByteArray("&amp;") << "&amp;";
    QTest::newRow("Windows-1252") << QByteArray("Z\xfcrich\x80") << QString::fromUtf8("Z\u00fcrich\u20ac");
    QTest::newRow("UTF-8") << QByteArray("Z\xc3\xbcrich") << QString::fromUtf8("Z\u00fcrich");
}

void TestCliFiles::kml_is_xml()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, read);
    QByteArray input;
    for (int i = 0; i < 2; ++i)  // two placemarks
        input += name +
                 " a b c d e f g h 10.5 54.2\na b c d e f g h 10.6 54.2\n"
                 "a b c d e f g h 10.6 54.3\na b c d e f g h 10.5 54.3\n";
    QVERIFY(write_file(dir_.filePath("in.txt"), input));
    auto replace = [this](const QStringList& args) {
        QProcess tool;
        tool.setWorkingDirectory(dir_.path());
        tool.start(MQ_TOOLS_PATH, QStringList{"replace", "in.txt"} + args);
        return tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit &&
               tool.exitCode() == 0;
    };
    QVERIFY(replace({"out.kml", "--kml-document"}));
    QVERIFY(replace({"out.txt", "--kml", "--no-every"}));
    const QByteArray pasted = "<Document>" + read_file(dir_.filePath("out.txt")) + "</Document>";
    for (const QByteArray& xml : {read_file(dir_.filePath("out.kml")), pasted}) {
        QXmlStreamReader reader(xml);
        QStringList names;
        while (!reader.atEnd())
            if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"name")
                names << reader.readElementText();
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QCOMPARE(names, QStringList({" " + read, " " + read}));
    }

    const QString ogrinfo = QStandardPaths::findExecutable("ogrinfo");
    if (ogrinfo.isEmpty()) QSKIP("ogrinfo (GDAL) is not installed");
    QProcess gdal;
    gdal.start(ogrinfo, {"-ro", "-al", "-q", dir_.filePath("out.kml")});
    QVERIFY(gdal.waitForFinished(60000));
    const QString shown = QString::fromUtf8(gdal.readAllStandardOutput() + gdal.readAllStandardError());
    QVERIFY2(gdal.exitCode() == 0, qPrintable(shown));
    QCOMPARE(shown.count("(10.5 54.2 1,10.6 54.2 1,10.6 54.3 1,10.5 54.3 1,10.5 54.2 1)"), 2);
    QCOMPARE(shown.count("Name (String) = " + QString(" ") + read + "\n"), 2);
}

void TestCliFiles::keeps_an_existing_output_data()
{
    // A run that fails half-way leaves an existing output as it was; what it
    // wrote goes beside it (replacing an older such file), and the message
    // says so on the same line.
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("args");  // "OUT" stands for the output
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("partial");
    QTest::addColumn<QByteArray>("kept");  // the partial file; "<size>N": its size
    QTest::addColumn<QString>("err");      // the end of the one line on stderr
    auto row = [](const char* name, const QByteArray& input, const QStringList& args, const char* output,
                  const char* partial, const QByteArray& kept, const QString& records) {
        QTest::newRow(name) << input << args << QString(output) << QString(partial) << kept
                            << ". Stopped after " + records + ", kept in " + partial + "; " + output +
                                   " is unchanged.\n";
    };
    row("utm-file", "500000 5538630.703 12.5\n5000005538630.703\n",
        {"utm-file", "--zone", "32", "--hemisphere", "N", "in.txt", "OUT"}, "out.txt", "out.partial.txt",
        "9:00.000000\t50:00.000000\t12.5\r\n", "1 record");
    row("swiss", "200000,600000,12.5\n200000;600000;1\n", {"swiss", "in.txt", "OUT"}, "out.xyz",
        "out.partial.xyz", "7.43863722\t46.95108111\t12.5\r\n", "1 record");
    row("footprint", "20.5 10.5 100\n20.5 x 100\n",
        {"footprint", "in.txt", "OUT", "--lat-min", "10", "--lat-max", "11", "--lon-min", "20", "--lon-max",
         "21"},
        "out.bin", "out.partial.bin", "<size>2112", "88 records");
    row("replace, a name without extension", "a b\nc\n", {"replace", "in.txt", "OUT", "--kml"}, "out",
        "out.partial", "a b\r\n", "1 record");
}

void TestCliFiles::keeps_an_existing_output()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, args);
    QFETCH(QString, output);
    QFETCH(QString, partial);
    QFETCH(QByteArray, kept);
    QFETCH(QString, err);
    QVERIFY(write_file(dir_.filePath("in.txt"), input));
    QVERIFY(write_file(dir_.filePath(output), "IMPORTANT\r\n"));
    QVERIFY(write_file(dir_.filePath(partial), "an older run's records"));
    args.replaceInStrings("OUT", output);
    QProcess tool;
    tool.setWorkingDirectory(dir_.path());
    tool.start(MQ_TOOLS_PATH, args);
    QVERIFY(tool.waitForFinished(60000));
    const QString stderr_text = QString::fromUtf8(tool.readAllStandardError()).remove('\r');
    QCOMPARE(tool.exitCode(), 1);
    QVERIFY2(stderr_text.startsWith("mapquill-tools " + args[0] + ": in.txt, line "),
             qPrintable(stderr_text));
    QVERIFY2(stderr_text.endsWith(err), qPrintable(stderr_text));
    QCOMPARE(stderr_text.count('\n'), 1);
    QCOMPARE(read_file(dir_.filePath(output)), QByteArray("IMPORTANT\r\n"));
    const QByteArray bytes = read_file(dir_.filePath(partial));
    if (kept.startsWith("<size>"))
        QCOMPARE(bytes.size(), kept.mid(6).toLongLong());
    else
        QCOMPARE(bytes, kept);
    QFile::remove(dir_.filePath(output));
    QFile::remove(dir_.filePath(partial));
}

#ifdef Q_OS_UNIX
void TestCliFiles::ended_by_a_signal_data()
{
    // A long run ended by a signal once its hidden new file holds data.
    // Ctrl+C (INT) stops it as the Stop button of a window does; every other
    // signal ends it at once, and neither leaves a hidden file behind.
    QTest::addColumn<int>("signal_number");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("existing");  // out.txt holds "OLD" before
    const QStringList replace{"replace", "big.txt", "out.txt"};
    for (const auto& [name, number] : {std::pair{"HUP", SIGHUP},
                                       {"PIPE", SIGPIPE},
                                       {"TERM", SIGTERM},
                                       {"ALRM", SIGALRM},
                                       {"USR1", SIGUSR1},
                                       {"INT", SIGINT}})
        QTest::newRow(name) << int(number) << replace << true;
    QTest::newRow("INT, new output") << int(SIGINT) << replace << false;
    QTest::newRow("INT, track") << int(SIGINT)
                                << QStringList{"track", "out.txt", "--x1", "0", "--x2",      "1",
                                               "--y1",  "0",       "--y2", "1", "--samples", "2000000000"}
                                << true;
    QTest::newRow("INT, bin2ascii") << int(SIGINT) << QStringList{"bin2ascii", "big.bin", "out.txt"} << true;
}

void TestCliFiles::ended_by_a_signal()
{
    QFETCH(int, signal_number);
    QFETCH(QStringList, args);
    QFETCH(bool, existing);
    QDir folder(dir_.path());
    if (!folder.exists("big.txt"))
        QVERIFY(write_file(dir_.filePath("big.txt"),
                           QByteArray("some line of text to copy, 0123456789\n").repeated(2000000)));
    if (!folder.exists("big.bin"))
        QVERIFY(write_file(dir_.filePath("big.bin"), doubles({10.5, 45.25, -120.125}).repeated(2000000)));
    QFile::remove(dir_.filePath("out.txt"));
    QFile::remove(dir_.filePath("out.partial.txt"));
    if (existing) QVERIFY(write_file(dir_.filePath("out.txt"), "OLD"));
    const QStringList before = folder.entryList(QDir::Files | QDir::Hidden);
    QProcess tool;
    tool.setWorkingDirectory(dir_.path());
    tool.start(MQ_TOOLS_PATH, args);
    QVERIFY(tool.waitForStarted());
    // Wait for the hidden new file to hold data, then send the signal.
    QElapsedTimer waited;
    waited.start();
    for (bool writing = false; !writing; QTest::qWait(2)) {
        for (const QFileInfo& file : folder.entryInfoList({".out.txt.*"}, QDir::Files | QDir::Hidden))
            writing = writing || file.size() > 0;
        QVERIFY2(tool.state() == QProcess::Running && waited.elapsed() < 20000,
                 "the run ended before the signal");
    }
    ::kill(static_cast<pid_t>(tool.processId()), signal_number);
    QVERIFY(tool.waitForFinished(20000));
    QCOMPARE(tool.exitStatus(), QProcess::CrashExit);
    const QString stderr_text = QString::fromUtf8(tool.readAllStandardError());
    QStringList after = folder.entryList(QDir::Files | QDir::Hidden);
    const bool stopped = signal_number == SIGINT;
    if (stopped) after.removeOne(existing ? "out.partial.txt" : "out.txt");
    if (!existing) after.removeOne("out.txt");
    QCOMPARE(after, before);  // no hidden file is left
    if (existing) QCOMPARE(read_file(dir_.filePath("out.txt")), QByteArray("OLD"));
    if (!stopped) {
        QCOMPARE(stderr_text, QString());
        return;
    }
    // The lines written up to the stop are kept whole, and counted.
    const QByteArray kept = read_file(dir_.filePath(existing ? "out.partial.txt" : "out.txt"));
    QVERIFY(kept.endsWith("\r\n"));
    const QString note = existing ? ", kept in out.partial.txt; out.txt is unchanged." : ".";
    QCOMPARE(stderr_text, "mapquill-tools " + args[0] + ": Stopped after " +
                              QString::number(kept.count('\n')) + " records" + note + "\n");
}
#endif

QTEST_GUILESS_MAIN(TestCliFiles)
#include "test_cli_files.moc"
