// Swiss grid files to WGS 84 and back: the conversion of whole files, the
// delimiter choices, the column orders and the lines that stop a run.
#include "tools/swiss_file.h"
#include "tools/file_fixture.h"

#include <QTest>

using mq::tools::SwissFileOptions;

class TestSwissFile : public QObject {
    Q_OBJECT

private slots:
    void convert_data();
    void convert();
    void refuses_before_writing();
    void stop_keeps_rows_written();
};

void TestSwissFile::convert_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("delimiter");   // as chosen in the delimiter box
    QTest::addColumn<bool>("yx");
    QTest::addColumn<bool>("to_swiss");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("error");       // error text contains this; empty: none

    const QByteArray origin = "7.43863722\t46.95108111\t12.5\r\n";
    QTest::newRow("origin") << QByteArray("200000,600000,12.5\n") << "," << false << false << origin << "";
    QTest::newRow("columns swapped") << QByteArray("600000,200000,12.5\r\n") << "," << true << false << origin << "";
    QTest::newRow("two lines, last without line end")
        << QByteArray("200000,600000,12.5\r\n100000,700000,-3") << "," << false << false
        << origin + "8.73049933\t46.04412678\t-3\r\n" << "";
    QTest::newRow("semicolon typed") << QByteArray("200000;600000;12.5\n") << ";" << false << false << origin << "";
    QTest::newRow("Space, two blanks give an empty third field")
        << QByteArray("200000 600000  12.5\n") << "Space" << false << false
        << QByteArray("7.43863722\t46.95108111\t\r\n") << "";
    QTest::newRow("Space, two blanks give an empty Y")
        << QByteArray("200000  600000 12.5\n") << "Space" << false << false << QByteArray()
        << "line 1: field 2 (Y) is not a number: ''";
    QTest::newRow("fourth field dropped, bytes of the third kept")
        << QByteArray("200000,600000,\xe9t\xe9,x\n") << "," << false << false
        << QByteArray("7.43863722\t46.95108111\t\xe9t\xe9\r\n") << "";
    QTest::newRow("empty input") << QByteArray() << "," << false << false << QByteArray() << "";
    QTest::newRow("empty lines skipped") << QByteArray("\r\n200000,600000,12.5\n\n") << "," << false << false
                                         << origin << "";
    QTest::newRow("too few fields, earlier rows kept")
        << QByteArray("200000,600000,12.5\n200000,600000\n200000,600000,1\n") << "," << false << false << origin
        << "line 2: the line has fewer than three fields";
    QTest::newRow("X not a number") << QByteArray("2OOOOO,600000,1\n") << "," << false << false << QByteArray()
                                    << "line 1: field 1 (X) is not a number: '2OOOOO'";
    QTest::newRow("empty delimiter") << QByteArray("200000,600000,1\n") << "" << false << false << QByteArray()
                                     << "fewer than three fields";

    const QByteArray bern = "600000.35\t199999.83\t5\r\n";
    QTest::newRow("to Swiss") << QByteArray("7.43863722,46.95108111,5\n") << "," << false << true << bern << "";
    QTest::newRow("to Swiss, latitude first") << QByteArray("46.95108111,7.43863722,5\n") << "," << true << true
                                              << bern << "";
    QTest::newRow("to Swiss, latitude out of range") << QByteArray("7.4,95,5\n") << "," << false << true
                                                     << QByteArray() << "line 1: longitude or latitude out of range";
}

void TestSwissFile::convert()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, delimiter);
    QFETCH(bool, yx);
    QFETCH(bool, to_swiss);
    QFETCH(QByteArray, output);
    QFETCH(QString, error);

    mq::testing::FileFixture files;
    const std::string in = files.write("in.txt", input);
    SwissFileOptions options{mq::tools::swiss_delimiter(delimiter.toStdString()), yx, to_swiss};
    const auto r = mq::tools::convert_swiss_file(in, files.path("out.txt"), options, {}, {});
    if (error.isEmpty()) {
        QVERIFY2(r.ok(), r.ok() ? "" : r.error().text().c_str());
    } else {
        QVERIFY(!r.ok());
        QVERIFY2(QString::fromStdString(r.error().text()).contains(error), r.error().text().c_str());
        QVERIFY(r.error().file == in);
    }
    QCOMPARE(files.read("out.txt"), output);
}

void TestSwissFile::refuses_before_writing()
{
    mq::testing::FileFixture files;
    const std::string in = files.write("in.txt", "200000,600000,1\n");
    const auto same = mq::tools::convert_swiss_file(in, in, {}, {}, {});
    QVERIFY(!same.ok());
    QVERIFY(same.error().message.find("output file is the input file") != std::string::npos);
    QCOMPARE(files.read("in.txt"), QByteArray("200000,600000,1\n"));

    const auto missing = mq::tools::convert_swiss_file(files.path("none.txt"), files.path("out.txt"), {}, {}, {});
    QVERIFY(!missing.ok());
    QVERIFY(missing.error().message.find("cannot open") != std::string::npos);
    QVERIFY(!files.exists("out.txt"));
}

void TestSwissFile::stop_keeps_rows_written()
{
    mq::testing::FileFixture files;
    const std::string in = files.write("in.txt", "200000,600000,1\n200000,600000,2\n200000,600000,3\n");
    std::int64_t last_count = 0;
    int asked = 0;
    const auto r = mq::tools::convert_swiss_file(
        in, files.path("out.txt"), {}, [&](const mq::tools::Progress& p) { last_count = p.count; },
        [&] { return ++asked > 2; });
    QVERIFY(r.ok());
    QVERIFY(r->stopped);
    QCOMPARE(r->rows, std::int64_t{2});
    QCOMPARE(last_count, std::int64_t{2});
    QCOMPARE(files.read("out.txt"), QByteArray("7.43863722\t46.95108111\t1\r\n7.43863722\t46.95108111\t2\r\n"));
}

QTEST_GUILESS_MAIN(TestSwissFile)
#include "test_swiss_file.moc"
