// The file subcommands of mapquill-tools (swiss, replace) run on real files:
// the words IN and OUT in the arguments stand for a temporary input and
// output file.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestCliFiles : public QObject {
    Q_OBJECT

private slots:
    void run_data();
    void run();
};

void TestCliFiles::run_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("exit_code");
    QTest::addColumn<QByteArray>("output");   // "<missing>": no output file
    QTest::addColumn<QString>("err");         // stderr contains this; empty: stderr is empty

    const QByteArray swiss = "200000,600000,12.5\r\n100000,700000,-3\n";
    const QByteArray wgs = "7.43863722\t46.95108111\t12.5\r\n8.73049933\t46.04412678\t-3\r\n";
    QTest::newRow("swiss defaults") << QStringList{"swiss", "IN", "OUT"} << swiss << 0 << wgs << "";
    QTest::newRow("swiss yx, semicolon") << QStringList{"swiss", "IN", "OUT", "--order", "yx", "--delimiter", ";"}
                                         << QByteArray("600000;200000;12.5\n") << 0
                                         << QByteArray("7.43863722\t46.95108111\t12.5\r\n") << "";
    QTest::newRow("swiss dash delimiter") << QStringList{"swiss", "IN", "OUT", "--delimiter", "-"}
                                          << QByteArray("200000-600000-1\n") << 0
                                          << QByteArray("7.43863722\t46.95108111\t1\r\n") << "";
    QTest::newRow("swiss to swiss") << QStringList{"swiss", "IN", "OUT", "--to-swiss", "--delimiter", "TAB"}
                                    << QByteArray("7.43863722\t46.95108111\t12.5\n") << 0
                                    << QByteArray("600000.35\t199999.83\t12.5\r\n") << "";
    QTest::newRow("swiss bad line keeps rows") << QStringList{"swiss", "IN", "OUT"}
                                               << QByteArray("200000,600000,12.5\n200000;600000;1\n") << 1
                                               << QByteArray("7.43863722\t46.95108111\t12.5\r\n")
                                               << "line 2: the line has fewer than three fields";
    QTest::newRow("swiss bad order") << QStringList{"swiss", "IN", "OUT", "--order", "xz"} << swiss << 2
                                     << QByteArray("<missing>") << "--order";

    const QByteArray lines = "a\tb\n-x-\r\nc\n";
    QTest::newRow("replace rows, dash texts, append")
        << QStringList{"replace", "IN", "OUT", "--replace", "TAB", ",", "--replace", "-", "\\t", "--append", "-;"}
        << lines << 0 << QByteArray("a,b-;\r\n\tx\t-;\r\nc-;\r\n") << "";
    QTest::newRow("replace take-if-not") << QStringList{"replace", "IN", "OUT", "--take-if-not", "-x"} << lines << 0
                                         << QByteArray("a\tb\r\nc\r\n") << "";
    QTest::newRow("replace take-if empty") << QStringList{"replace", "IN", "OUT", "--take-if", ""} << lines << 0
                                           << QByteArray("a\tb\r\n-x-\r\nc\r\n") << "";
    QTest::newRow("replace every 2") << QStringList{"replace", "IN", "OUT", "--every", "2"} << lines << 0
                                     << QByteArray("-x-\r\n") << "";
    QTest::newRow("replace entire") << QStringList{"replace", "IN", "OUT", "--entire", "LF", "|"} << lines << 0
                                    << QByteArray("a\tb|-x-\r|c|") << "";
    QTest::newRow("replace kml short") << QStringList{"replace", "IN", "OUT", "--no-every", "--kml"} << lines << 1
                                       << QByteArray() << "line 1: a placemark needs this line and three more";
    QTest::newRow("replace every 0") << QStringList{"replace", "IN", "OUT", "--every", "0"} << lines << 2
                                     << QByteArray("<missing>") << "--every needs a whole number";
    QTest::newRow("replace five rows") << QStringList{"replace", "IN", "OUT", "--replace", "a", "b", "--replace", "a",
                                                      "b", "--replace", "a", "b", "--replace", "a", "b", "--replace",
                                                      "a", "b"}
                                       << lines << 2 << QByteArray("<missing>") << "more than four times";
    QTest::newRow("replace one text") << QStringList{"replace", "IN", "OUT", "--replace", "a"} << lines << 2
                                      << QByteArray("<missing>") << "--replace needs 2 texts";
    QTest::newRow("replace entire with line options")
        << QStringList{"replace", "IN", "OUT", "--entire", "a", "b", "--kml"} << lines << 2 << QByteArray("<missing>")
        << "--entire works on the whole file";
    QTest::newRow("replace both take-ifs") << QStringList{"replace", "IN", "OUT", "--take-if", "a", "--take-if-not", "b"}
                                           << lines << 2 << QByteArray("<missing>") << "either --take-if";
    QTest::newRow("replace every and no-every") << QStringList{"replace", "IN", "OUT", "--every", "2", "--no-every"}
                                                << lines << 2 << QByteArray("<missing>") << "excludes";
    QTest::newRow("replace help") << QStringList{"replace", "--help"} << lines << 0 << QByteArray("<missing>") << "";
}

void TestCliFiles::run()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, exit_code);
    QFETCH(QByteArray, output);
    QFETCH(QString, err);

    QTemporaryDir dir;
    const QString in = dir.filePath("in.txt");
    const QString out = dir.filePath("out.txt");
    {
        QFile f(in);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(input);
    }
    for (QString& a : args) {
        if (a == "IN") a = in;
        if (a == "OUT") a = out;
    }
    QProcess tool;
    tool.start(MQ_TOOLS_PATH, args);
    QVERIFY(tool.waitForFinished(10000));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    const QString stderr_text = QString::fromUtf8(tool.readAllStandardError());
    QVERIFY2(tool.exitCode() == exit_code, qPrintable(stderr_text));
    if (err.isEmpty()) QCOMPARE(stderr_text, QString());
    else QVERIFY2(stderr_text.contains(err), qPrintable(stderr_text));
    if (exit_code != 0) QCOMPARE(stderr_text.count('\n'), 1);
    QFile written(out);
    QCOMPARE(written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray("<missing>"), output);
    QVERIFY(tool.readAllStandardOutput().isEmpty() == !args.contains("--help"));
}

QTEST_GUILESS_MAIN(TestCliFiles)
#include "test_cli_files.moc"
