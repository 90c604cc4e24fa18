// The file subcommands of mapquill-tools (srtm, bin2ascii, track, run-batch)
// run on generated files: exit status, stdout, stderr and the file written.
#include "platform/test_files.h"
#include "tools/tile_fixture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using mq::testing::doubles;
using mq::testing::read_file;
using mq::testing::write_file;

class TestCliGrids : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void run_data();
    void run();

private:
    QTemporaryDir dir_;
};

void TestCliGrids::initTestCase()
{
    QVERIFY(dir_.isValid());
    QVERIFY(write_file(dir_.filePath("N45E010.hgt"), QByteArray::fromStdString(mq::testing::make_tile(1201, [](int, int) { return 100; }))));
    QVERIFY(write_file(dir_.filePath("short.hgt"), QByteArray(1000, '\0')));
    QVERIFY(write_file(dir_.filePath("ex.bin"), QByteArray::fromStdString(doubles({10, 45.5, -120, 10.1, 45.5, -121}))));
    QVERIFY(write_file(dir_.filePath("tail.bin"), QByteArray::fromStdString(doubles({0, 0, 0})) + "12345"));
}

void TestCliGrids::run_data()
{
    // "@" stands for the test's folder.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exit_code");
    QTest::addColumn<QString>("out");          // exact stdout; "*" prefix: stdout contains the rest
    QTest::addColumn<QString>("err");          // stderr contains this; empty: stderr is empty
    QTest::addColumn<QString>("file");         // a file written, or empty
    QTest::addColumn<QByteArray>("starts");    // its first bytes

    QTest::newRow("srtm defaults") << QStringList{"srtm", "@/N45E010.hgt", "@/a.xyz"} << 0
                                   << "1442401 records written to @/a.xyz\n" << "" << "@/a.xyz"
                                   << QByteArray::fromStdString(doubles({10, 46, 100, 10.0008333333, 46, 100}));
    QTest::newRow("srtm text, little endian, negative corner")
        << QStringList{"srtm", "@/N45E010.hgt", "@/b.txt", "--format", "ascii", "--byte-order", "little",
                       "--south", "-12", "--west", "-077", "--max-z=30000"}
        << 0 << "1442401 records written to @/b.txt\n" << "" << "@/b.txt"
        << QByteArray("-77\t-11\t25600\r\n-76.9991666667\t-11\t25600\r\n");
    QTest::newRow("srtm short tile") << QStringList{"srtm", "@/short.hgt", "@/d.xyz", "--south", "1", "--west", "2"}
                                     << 1 << "" << "the tile has 1000 bytes; a tile of 1201 x 1201 samples has 2884802"
                                     << "" << QByteArray();
    QTest::newRow("srtm bad format") << QStringList{"srtm", "@/N45E010.hgt", "@/d.xyz", "--format", "csv"} << 2 << ""
                                     << "--format" << "" << QByteArray();

    QTest::newRow("bin2ascii tail") << QStringList{"bin2ascii", "@/tail.bin", "@/tail.txt"} << 0
                                    << "1 record written to @/tail.txt; 5 bytes left over at the end (less than one record)\n"
                                    << "" << "@/tail.txt" << QByteArray("0\t0\t0\r\n");
    QTest::newRow("bin2ascii onto itself") << QStringList{"bin2ascii", "@/ex.bin", "@/./ex.bin"} << 1 << ""
                                           << "the output file is the input file" << "@/ex.bin"
                                           << QByteArray::fromStdString(doubles({10, 45.5, -120}));

    QTest::newRow("track negative colon values") << QStringList{"track", "@/u.txt", "--x1", "-10:30", "--x2", "-9:30",
                                                                "--y1", "-0:30", "--y2", "0,5", "--samples", "1"}
                                                 << 0 << "2 positions written to @/u.txt\n" << "" << "@/u.txt"
                                                 << QByteArray("-10.5\t-0.5\r\n-9.5\t0.5\r\n");
    QTest::newRow("track zero samples") << QStringList{"track", "@/w.txt", "--x1", "0", "--x2", "1", "--y1", "0",
                                                       "--y2", "1", "--samples", "0"}
                                        << 1 << "" << "at least 1" << "" << QByteArray();
    QTest::newRow("track missing y2") << QStringList{"track", "@/w.txt", "--x1", "0", "--x2", "1", "--y1", "0"} << 2
                                      << "" << "--y2" << "" << QByteArray();

    QTest::newRow("run-batch missing") << QStringList{"run-batch", "@/none.bat"} << 1 << "" << "cannot open" << ""
                                       << QByteArray();
}

void TestCliGrids::run()
{
    QFETCH(QStringList, args);
    QFETCH(int, exit_code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QString, file);
    QFETCH(QByteArray, starts);
    const QString folder = dir_.path();
    for (QString& a : args) a.replace('@', folder);
    out.replace('@', folder);
    file.replace('@', folder);
    QProcess tool;
    tool.start(MQ_TOOLS_PATH, args);
    QVERIFY(tool.waitForFinished(60000));
    const QString stdout_text = QString::fromUtf8(tool.readAllStandardOutput());
    const QString stderr_text = QString::fromUtf8(tool.readAllStandardError());
    QCOMPARE(tool.exitCode(), exit_code);
    if (out.startsWith('*')) QVERIFY2(stdout_text.contains(out.mid(1)), qPrintable(stdout_text));
    else QCOMPARE(stdout_text, out);
    if (err.isEmpty()) QCOMPARE(stderr_text, QString());
    else QVERIFY2(stderr_text.contains(err), qPrintable(stderr_text));
    if (exit_code == 1) QCOMPARE(stderr_text.count('\n'), 1);
    if (!file.isEmpty()) {
        const QByteArray bytes = read_file(file);
        QVERIFY2(bytes.startsWith(starts), bytes.left(80).constData());
        if (starts.isEmpty()) QCOMPARE(bytes.size(), 0);
    }
}

QTEST_GUILESS_MAIN(TestCliGrids)
#include "test_cli_grids.moc"
