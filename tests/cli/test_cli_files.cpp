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

    row("srtm defaults", "", {"srtm", "N45E010.hgt", "out.txt"}, 0, "1442401 records written to out.txt\n", "",
        "<prefix>" + doubles({10, 46, 100, 10.0008333333, 46, 100}));
    row("srtm text, little endian, negative corner", "",
        {"srtm", "N45E010.hgt", "out.txt", "--format", "ascii", "--byte-order", "little", "--south", "-12",
         "--west", "-077", "--max-z=30000"},
        0, "1442401 records written to out.txt\n", "", "<prefix>-77\t-11\t25600\r\n-76.9991666667\t-11\t25600\r\n");
    row("srtm short tile", QByteArray(1000, '\0'), QStringList{"srtm"} + io + QStringList{"--south", "1", "--west", "2"},
        1, "", "the tile has 1000 bytes; a tile of 1201 x 1201 samples has 2884802", none);
    // No height is kept, so GMT's surface fails (as it does where GMT is missing): the run stops there
    // and the records stay.
    row("srtm failed gridding", "", {"srtm", "N45E010.hgt", "out.txt", "--make-grid", "--min-z", "9999"}, 1,
        "*0 records written to out.txt\nYour grid will be saved as: ",
        "srtm: the gridding failed at line 5 of the batch file (", "");
#ifndef Q_OS_WIN   // no program "false" there
    row("run-batch failing line", "echo off\r\nfalse\r\n", {"run-batch", "in.txt"}, 1, "*Log: ",
        "in.txt, line 2: the program failed (see ", none);
#endif
    const QByteArray old_script = "gmtset PAPER_MEDIA\t= a4\r\nREM psxy -H0\r\ngmt psxy a -H0 > x.ps\r\n";
    row("gmt6-check findings", old_script, {"gmt6-check", "in.txt"}, 1,
        "in.txt:1:1: note: gmtset runs without \"gmt \" only where GMT's module links are installed; GMT 6: "
        "gmt gmtset\nin.txt:1:8: error: GMT 4 parameter PAPER_MEDIA; GMT 6: PS_MEDIA\n"
        "in.txt:3:12: error: obsolete option -H0; GMT 6: -h0\n",
        "mapquill-tools gmt6-check: in.txt: 3 places to mend for GMT 6", none);
    row("gmt6-check --fix", old_script, {"gmt6-check", "in.txt", "--fix"}, 0, "", "",
        "gmt gmtset PS_MEDIA\t= a4\r\nREM psxy -H0\r\ngmt psxy a -h0 > x.ps\r\n");
    row("gmt6-check --fix leaves", "gmt set N_COPIES 2 PS_DPI 300\n", {"gmt6-check", "--fix", "in.txt"}, 1,
        "*in.txt:1:20: error: GMT 4 parameter PS_DPI; GMT 6 has none: remove it\n", "2 places left",
        "gmt set N_COPIES 2 PS_DPI 300\n");
    row("gmt6-check nothing", "gmt psxy a -h0\n", {"gmt6-check", "in.txt"}, 0, "", "", none);
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
    const bool in_place = args.contains("--fix");   // gmt6-check --fix writes in.txt itself
    const QByteArray bytes = read_file(dir_.filePath(in_place ? "in.txt" : "out.txt"));
    if (written.startsWith("<prefix>")) QVERIFY(bytes.startsWith(written.mid(8)));
    else if (written.startsWith("<size>")) QCOMPARE(bytes.size(), written.mid(6).toLongLong());
    else QCOMPARE(bytes, written);
    if (!in_place) QCOMPARE(read_file(dir_.filePath("in.txt")), input);
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
