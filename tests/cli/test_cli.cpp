// mapquill-tools run as a user's script would: arguments in, stdout, stderr
// and the exit status out.
#include <QProcess>
#include <QTest>

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void run_data();
    void run();
};

void TestCli::run_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exit_code");
    QTest::addColumn<QString>("out");   // exact stdout; "*" prefix: stdout contains the rest
    QTest::addColumn<QString>("err");   // stderr contains this; empty: stderr is empty

    QTest::newRow("detected decimal") << QStringList{"latlon", "45.5125"} << 0 << "45:30.7500\n" << "";
    QTest::newRow("detected seconds") << QStringList{"latlon", "10:30:45"} << 0 << "10.5125000\n" << "";
    QTest::newRow("negative value is not an option")
        << QStringList{"latlon", "-10:30.5"} << 0 << "-10.5083330\n" << "";
    QTest::newRow("negative decimal") << QStringList{"latlon", "-.5"} << 0 << "-00:30.0000\n" << "";
    QTest::newRow("conversion given") << QStringList{"latlon", "10:30.75", "--conversion", "5"} << 0
                                      << "10:30:45.00\n" << "";
    QTest::newRow("conversion with =") << QStringList{"latlon", "--conversion=3", "10.9999999"} << 0
                                       << "10:59:60.00\n" << "";
    QTest::newRow("undecided notation uses 0") << QStringList{"latlon", "45"} << 0 << "45.0000000\n" << "";
    QTest::newRow("exponent") << QStringList{"latlon", "1.5e1"} << 0 << "15.0000000\n" << "";
    QTest::newRow("value after --") << QStringList{"latlon", "--", "-e"} << 1 << "" << "not a number";
    QTest::newRow("no result") << QStringList{"latlon", "45", "--conversion", "2"} << 1 << ""
                               << "needs a value with a decimal point";
    QTest::newRow("letters") << QStringList{"latlon", "abc"} << 1 << "" << "no result for 'abc'";
    QTest::newRow("point not in minutes") << QStringList{"latlon", "45.5:30", "--conversion", "5"} << 1 << ""
                                          << "minutes";
    QTest::newRow("missing text") << QStringList{"latlon"} << 2 << "" << "TEXT is missing";
    QTest::newRow("two texts") << QStringList{"latlon", "1", "2"} << 2 << "" << "only one TEXT";
    QTest::newRow("conversion out of range") << QStringList{"latlon", "1.5", "--conversion", "6"} << 2 << ""
                                             << "from 0 to 5";
    QTest::newRow("conversion missing value") << QStringList{"latlon", "1.5", "--conversion"} << 2 << ""
                                              << "needs a value";
    QTest::newRow("unknown option") << QStringList{"latlon", "-x"} << 2 << "" << "unknown option '-x'";
    QTest::newRow("latlon help") << QStringList{"latlon", "--help"} << 0 << "*dd:mm:ss.ss ---> dd:mm.mmm" << "";

    QTest::newRow("grid amount") << QStringList{"gridstep", "--min", "10", "--max", "12", "--amount", "4"} << 0
                                 << "Delta Max - Min: 02:00:00.00 / 02:0.0000 / 2.00000000\n"
                                    "Amount of steps: 4\n"
                                    "Size of steps: 00:30:00.00 / 00:30.0000 / 0.50000000\n"
                                 << "";
    QTest::newRow("grid negative size") << QStringList{"gridstep", "--min", "-10:30", "--max=-9:30", "--size", "0:1"}
                                        << 0
                                        << "Delta Max - Min: 01:00:00.00 / 01:0.0000 / 1.00000000\n"
                                           "Amount of steps: 60\n"
                                           "Size of steps: 00:01:00.00 / 00:1.0000 / 0.01666667\n"
                                        << "";
    QTest::newRow("grid step of 0") << QStringList{"gridstep", "--min", "0", "--max", "1", "--size", "0"} << 1 << ""
                                    << "greater than 0";
    QTest::newRow("grid amount too large")
        << QStringList{"gridstep", "--min", "0", "--max", "1", "--amount", "32768"} << 1 << "" << "32767";
    QTest::newRow("grid letters") << QStringList{"gridstep", "--min", "x", "--max", "1", "--amount", "2"} << 1 << ""
                                  << "minimum 'x'";
    QTest::newRow("grid both modes") << QStringList{"gridstep", "--min", "0", "--max", "1", "--amount", "2",
                                                    "--size", "1"}
                                     << 2 << "" << "either --amount or --size";
    QTest::newRow("grid no max") << QStringList{"gridstep", "--min", "0", "--amount", "2"} << 2 << ""
                                 << "--min and --max";
    QTest::newRow("grid twice") << QStringList{"gridstep", "--min", "0", "--min", "1"} << 2 << "" << "twice";
    QTest::newRow("grid help") << QStringList{"gridstep", "-h"} << 0 << "*--amount N" << "";

    QTest::newRow("overview") << QStringList{"--help"} << 0 << "*gridstep" << "";
    QTest::newRow("help for a tool") << QStringList{"help", "latlon"} << 0 << "*usage: mapquill-tools latlon" << "";
    QTest::newRow("no tool") << QStringList{} << 2 << "" << "usage:";
    QTest::newRow("unknown tool") << QStringList{"utmx"} << 2 << "" << "unknown tool 'utmx'";
}

void TestCli::run() {
    QFETCH(QStringList, args);
    QFETCH(int, exit_code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess tool;
    tool.start(MQ_TOOLS_PATH, args);
    QVERIFY(tool.waitForFinished(10000));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    const QString stdout_text = QString::fromUtf8(tool.readAllStandardOutput());
    const QString stderr_text = QString::fromUtf8(tool.readAllStandardError());
    QCOMPARE(tool.exitCode(), exit_code);
    if (out.startsWith('*')) QVERIFY2(stdout_text.contains(out.mid(1)), qPrintable(stdout_text));
    else QCOMPARE(stdout_text, out);
    if (err.isEmpty()) QCOMPARE(stderr_text, QString());
    else QVERIFY2(stderr_text.contains(err), qPrintable(stderr_text));
    // Messages about bad input are one line.
    if (exit_code == 1) QCOMPARE(stderr_text.count('\n'), 1);
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
