// The UTM file conversion: what it writes, where it stops and what it keeps.
#include "tools/utm_file.h"

#include "platform/test_files.h"

#include <QTemporaryDir>
#include <QTest>

using mq::testing::read_file;
using mq::testing::write_file;
using mq::tools::UtmFileFailure;

Q_DECLARE_METATYPE(UtmFileFailure)

class TestUtmFile : public QObject {
    Q_OBJECT

private slots:
    void convert_data();
    void convert();
    void paths_data();
    void paths();
    void stop_keeps_what_was_written();
};

void TestUtmFile::convert_data()
{
    QTest::addColumn<QString>("hemisphere");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<UtmFileFailure>("failure");
    QTest::addColumn<QString>("message");  // Error::text() of the failure

    const QByteArray line1 = "9:00.000000\t50:00.000000\t12.5\r\n";
    QTest::newRow("TABs") << "N" << QByteArray("500000\t5538630.703\t12.5\n") << line1 << UtmFileFailure::None
                          << "";
    QTest::newRow("blanks for TABs, CR LF, later fields ignored")
        << "N" << QByteArray("500000 5538630.703 12.5 x\r\n") << line1 << UtmFileFailure::None << "";
    QTest::newRow("comment line") << "N" << QByteArray("# header\n500000 5538630.703 12.5\n") << line1
                                  << UtmFileFailure::None << "";
    QTest::newRow("south") << "S" << QByteArray("500000 4461369.297 -3\n")
                           << QByteArray("9:00.000000\t-50:00.000000\t-3\r\n") << UtmFileFailure::None << "";
    QTest::newRow("empty line") << "N" << QByteArray("500000 5538630.703 12.5\n\n500000 5538630.703 1\n")
                                << line1 << UtmFileFailure::NoDelimiter
                                << "in.txt, line 2: there is no TAB or blank as delimiter in the line";
    QTest::newRow("no delimiter") << "N" << QByteArray("500000 5538630.703 12.5\n5000005538630.703\n")
                                  << line1 << UtmFileFailure::NoDelimiter
                                  << "in.txt, line 2: there is no TAB or blank as delimiter in the line";
    QTest::newRow("two blanks: empty field")
        << "N" << QByteArray("500000  5538630.703 12.5\n") << QByteArray() << UtmFileFailure::BadLine
        << "in.txt, line 1: field 2 is not a number";
    QTest::newRow("letters") << "N" << QByteArray("500000 5538630.703 1\nabc 1 2\n")
                             << QByteArray("9:00.000000\t50:00.000000\t1\r\n") << UtmFileFailure::BadLine
                             << "in.txt, line 2: field 1 is not a number";
    QTest::newRow("two fields") << "N" << QByteArray("500000 5538630.703\n") << QByteArray()
                                << UtmFileFailure::BadLine << "in.txt, line 1: field 3 is missing";
}

void TestUtmFile::convert()
{
    QFETCH(QString, hemisphere);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, output);
    QFETCH(UtmFileFailure, failure);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    write_file("in.txt", input);
    const auto r = mq::tools::convert_utm_file("in.txt", "out.txt", {32, hemisphere.toStdString()}, {}, {});
    QCOMPARE(r.failure, failure);
    QCOMPARE(QString::fromStdString(r.error.text()), failure == UtmFileFailure::None ? QString() : message);
    QCOMPARE(read_file("out.txt"), output);
    QCOMPARE(r.written, output.count('\n'));
}

void TestUtmFile::paths_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::addColumn<int>("zone");
    QTest::addColumn<UtmFileFailure>("failure");
    QTest::addColumn<QString>("message");  // part of Error::text()
    QTest::newRow("missing input") << "none.txt"
                                   << "out.txt" << 32 << UtmFileFailure::CannotRead << "none.txt";
    QTest::newRow("input folder missing") << "no/in.txt"
                                          << "out.txt" << 32 << UtmFileFailure::WrongPath << "folder";
    QTest::newRow("output folder missing") << "in.txt"
                                           << "no/out.txt" << 32 << UtmFileFailure::WrongPath << "folder";
    QTest::newRow("output is the input") << "in.txt"
                                         << "./in.txt" << 32 << UtmFileFailure::SameFile << "input file";
    QTest::newRow("zone overflow") << "in.txt"
                                   << "out.txt" << 6000 << UtmFileFailure::BadZone << "zone 6000";
}

void TestUtmFile::paths()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QFETCH(int, zone);
    QFETCH(UtmFileFailure, failure);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    const QByteArray data = "500000 5538630.703 12.5\n";
    write_file("in.txt", data);
    write_file("out.txt", "old");
    const auto r = mq::tools::convert_utm_file(in.toStdString(), out.toStdString(),
                                               {static_cast<std::int16_t>(zone), "N"}, {}, {});
    QCOMPARE(r.failure, failure);
    QVERIFY2(QString::fromStdString(r.error.text()).contains(message), r.error.text().c_str());
    QCOMPARE(read_file("in.txt"), data);
    QCOMPARE(read_file("out.txt"), QByteArray("old"));  // nothing written
}

void TestUtmFile::stop_keeps_what_was_written()
{
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    QByteArray data;
    for (int i = 0; i < 2500; ++i) data += "500000 5538630.703 " + QByteArray::number(i) + "\n";
    write_file("in.txt", data);
    std::int64_t last = 0;
    int asked = 0;
    const auto r = mq::tools::convert_utm_file(
        "in.txt", "out.txt", {32, "N"}, [&](const mq::tools::Progress& p) { last = p.count; },
        [&] { return ++asked > 1200; });
    QVERIFY(r.ok());
    QVERIFY(r.stopped);
    QCOMPARE(r.written, 1200);
    QCOMPARE(last, 1200);
    const QByteArray written = read_file("out.txt");
    QCOMPARE(written.count('\n'), 1200);
    QVERIFY(written.endsWith("\t1199\r\n"));
}

QTEST_GUILESS_MAIN(TestUtmFile)
#include "test_utm_file.moc"
