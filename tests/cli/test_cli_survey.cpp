// The UTM, footprint and grid-size subcommands of mapquill-tools, run as a
// user's script would, in a scratch folder holding in.txt.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestCliSurvey : public QObject {
    Q_OBJECT

private slots:
    void run_data();
    void run();
};

void TestCliSurvey::run_data()
{
    QTest::addColumn<QByteArray>("input");  // in.txt
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exit_code");
    QTest::addColumn<QString>("out");         // exact stdout; "*" prefix: contains the rest
    QTest::addColumn<QString>("err");         // stderr contains this; empty: stderr is empty
    QTest::addColumn<QByteArray>("written");  // out.txt afterwards; "*" + size for binary

    const QByteArray ping = "20.5 10.5 100\n";
    const QByteArray utm_line = "500000 5538630.703 12.5\n";
    const QStringList box{"--lat-min", "10", "--lat-max", "11", "--lon-min", "20", "--lon-max", "21"};
    const QStringList box54{"--lat-min", "54", "--lat-max", "54.1", "--lon-min", "10", "--lon-max", "10.1"};
    const QStringList zone{"--zone", "32", "--hemisphere", "N"};

    QTest::newRow("utm") << QByteArray() << QStringList{"utm", "--lon", "9", "--lat", "50"} << 0
                         << "32:500000:5538630.703\n"
                         << "" << QByteArray();
    QTest::newRow("utm negative colon values")
        << QByteArray() << QStringList{"utm", "--lon", "-10:30", "--lat", "-33:54:00"} << 0
        << "29:361310.106:6247919.039\n"
        << "" << QByteArray();
    QTest::newRow("utm letters") << QByteArray() << QStringList{"utm", "--lon", "x", "--lat", "1"} << 1 << ""
                                 << "longitude 'x' is not a coordinate" << QByteArray();
    QTest::newRow("utm no latitude") << QByteArray() << QStringList{"utm", "--lon", "9"} << 2 << ""
                                     << "--lat" << QByteArray();
    QTest::newRow("inverse") << QByteArray()
                             << QStringList{"utm-inverse", "--zone", "32",         "--hemisphere",
                                            "S",           "500000", "4461369.297"}
                             << 0 << "9:-49.9999999998337\n"
                             << "" << QByteArray();
    QTest::newRow("inverse lower-case hemisphere")
        << QByteArray() << (QStringList{"utm-inverse", "--zone", "32", "--hemisphere", "n", "1", "2"}) << 2
        << ""
        << "not in {N,S}" << QByteArray();
    QTest::newRow("file") << utm_line << (QStringList{"utm-file"} + zone + QStringList{"in.txt", "out.txt"})
                          << 0 << ""
                          << "" << QByteArray("9:00.000000\t50:00.000000\t12.5\r\n");
    QTest::newRow("file without delimiter")
        << utm_line + "5000005538630.703\n"
        << (QStringList{"utm-file"} + zone + QStringList{"in.txt", "out.txt"}) << 1 << ""
        << "in.txt, line 2: there is no TAB or blank as delimiter"
        << QByteArray("9:00.000000\t50:00.000000\t12.5\r\n");
    QTest::newRow("file onto itself")
        << utm_line << (QStringList{"utm-file"} + zone + QStringList{"in.txt", "./in.txt"}) << 1 << ""
        << "the output file is the input file" << QByteArray("<none>");
    QTest::newRow("footprint") << ping << (QStringList{"footprint", "in.txt", "out.txt"} + box) << 0 << "88\n"
                               << "" << QByteArray("*2112");
    QTest::newRow("footprint negative box")
        << QByteArray("-20 -10.5 100\n")
        << QStringList{"footprint", "in.txt", "out.txt",   "--lat-min", "-11",       "--lat-max", "-10",
                       "--lon-min", "-20:30", "--lon-max", "-19",       "--spacing", "2"}
        << 0 << "*\n"
        << "" << QByteArray();
    QTest::newRow("footprint zero spacing")
        << ping << (QStringList{"footprint", "in.txt", "out.txt", "--spacing", "0"} + box) << 1 << ""
        << "greater than 0" << QByteArray("<none>");
    QTest::newRow("gridsize") << QByteArray() << (QStringList{"gridsize", "--spacing", "1"} + box54) << 0
                              << "X: 6524 / Y: 11112\n"
                              << "" << QByteArray();
    QTest::newRow("gridsize empty edge")
        << QByteArray() << QStringList{"gridsize", "--spacing", "1", "--lat-min", "", "--lat-max",
                                       "1",        "--lon-min", "0", "--lon-max", "1"}
        << 1 << ""
        << "--lat-min: '' is not a coordinate" << QByteArray();
}

void TestCliSurvey::run()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, args);
    QFETCH(int, exit_code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QByteArray, written);
    QTemporaryDir dir;
    QFile in(dir.filePath("in.txt"));
    QVERIFY(in.open(QIODevice::WriteOnly));
    in.write(input);
    in.close();
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.start(MQ_TOOLS_PATH, args);
    QVERIFY(tool.waitForFinished(10000));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    const QString stdout_text = QString::fromUtf8(tool.readAllStandardOutput());
    const QString stderr_text = QString::fromUtf8(tool.readAllStandardError());
    QCOMPARE(tool.exitCode(), exit_code);
    if (out.startsWith('*'))
        QVERIFY2(stdout_text.contains(out.mid(1)), qPrintable(stdout_text));
    else
        QCOMPARE(stdout_text, out);
    if (err.isEmpty())
        QCOMPARE(stderr_text, QString());
    else
        QVERIFY2(stderr_text.contains(err), qPrintable(stderr_text));
    if (exit_code == 1) QCOMPARE(stderr_text.count('\n'), 1);
    QFile result(dir.filePath("out.txt"));
    if (written == "<none>")
        QVERIFY(!result.exists());
    else if (written.startsWith('*'))
        QCOMPARE(result.size(), written.mid(1).toLongLong());
    else if (!written.isEmpty())
        QVERIFY(result.open(QIODevice::ReadOnly) && result.readAll() == written);
    QCOMPARE(QFile(dir.filePath("in.txt")).size(), qint64(input.size()));  // the input is never touched
}

QTEST_GUILESS_MAIN(TestCliSurvey)
#include "test_cli_survey.moc"
