// The insonified-area calculator: footprint records, the box, the line
// reader's separators and bad input, the stop, and the grid size.
#include "tools/footprint.h"

#include "platform/test_files.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <cstring>

using mq::testing::read_file;
using mq::testing::write_file;
using mq::tools::GeoBox;

Q_DECLARE_METATYPE(GeoBox)

namespace {

const GeoBox kBox{10, 11, 20, 21};

}  // namespace

class TestFootprint : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir_.isValid() && QDir::setCurrent(dir_.path())); }
    void one_ping_gives_88_records();
    void pings_data();
    void pings();
    void bad_settings_data();
    void bad_settings();
    void stop_keeps_what_was_written();
    void grid_size_data();
    void grid_size();

private:
    QTemporaryDir dir_;
};

void TestFootprint::one_ping_gives_88_records()
{
    write_file("pings.txt", "20.5 10.5 100\n");
    const auto r = mq::tools::calc_footprint_file("pings.txt", "out.bin", kBox, 6.46, 1, {}, {});
    QVERIFY(r.status.ok());
    QCOMPARE(r.summary.records, 88);
    QCOMPARE(r.summary.distinct_points, 88);
    QCOMPARE(mq::tools::area_text(r.summary.area), std::string("88"));
    const QByteArray bytes = read_file("out.bin");
    QCOMPARE(bytes.size(), 88 * 24);
    // Every record: little-endian doubles, within the 5.643 m radius, value 1.
    const double metres_per_degree = 60 * 1852.0;
    for (int i = 0; i < 88; ++i) {
        double v[3];
        std::memcpy(v, bytes.constData() + i * 24, 24);
        QCOMPARE(v[2], 1.0);
        const double dy = (v[1] - 10.5) * metres_per_degree;
        const double dx = (v[0] - 20.5) * metres_per_degree * std::cos(10.5 * 3.14159265358979 / 180);
        QVERIFY(std::hypot(dx, dy) <= 5.6431);
    }
    // The first record is the north-west point of the first row that has one.
    double first[2];
    std::memcpy(first, bytes.constData(), 16);
    QVERIFY(first[0] < 20.5 && first[1] > 10.5);
}

void TestFootprint::pings_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("pings");
    QTest::addColumn<int>("records");
    QTest::addColumn<QString>("error");  // Error::text(); empty when none
    QTest::addColumn<double>("spacing");
    QTest::newRow("depth sign does not matter") << QByteArray("20.5 10.5 -100\n") << 1 << 88 << "" << 1.0;
    QTest::newRow("edges in, outside out")
        << QByteArray("20 10 100\r\n21 11 100\n21.0001 10.5 100\n20.5 9.9999 100\n") << 2 << 176 << "" << 1.0;
    QTest::newRow("separators") << QByteArray("20.5,10.5,100\n20.5  10.5  100\n20.5\t10.5\t100\n") << 3 << 264
                                << "" << 1.0;
    QTest::newRow("empty and blank lines skipped")
        << QByteArray("\n20.5 10.5 100\n \t\r\n") << 1 << 88 << "" << 1.0;
    QTest::newRow("three blanks: empty field") << QByteArray("20.5 10.5 100\n20.5   10.5 100\n") << 1 << 88
                                               << "pings.txt, line 2: field 2 is not a number" << 1.0;
    QTest::newRow("two fields")
        << QByteArray("20.5 10.5\n") << 0 << 0
        << "pings.txt, line 1: a ping needs three fields: longitude, latitude and depth" << 1.0;
    QTest::newRow("letters") << QByteArray("20.5 10.5 deep\n") << 0 << 0
                             << "pings.txt, line 1: field 3 is not a number" << 1.0;
    QTest::newRow("spacing below the coordinates' precision")
        << QByteArray("20.5 10.5 1e-9\n") << 1 << 4
        << "pings.txt, line 1: the point spacing is too small for the coordinates" << 1e-12;
    QTest::newRow("huge depth")
        << QByteArray("20.5 10.5 1e300\n") << 1 << 0
        << "pings.txt, line 1: the footprint of this ping is too large for a point spacing of 1 m" << 1.0;
}

void TestFootprint::pings()
{
    QFETCH(QByteArray, input);
    QFETCH(int, pings);
    QFETCH(int, records);
    QFETCH(QString, error);
    QFETCH(double, spacing);
    write_file("pings.txt", input);
    const auto r = mq::tools::calc_footprint_file("pings.txt", "out.bin", kBox, 6.46, spacing, {}, {});
    QCOMPARE(QString::fromStdString(r.status.ok() ? std::string() : r.status.error().text()), error);
    QCOMPARE(r.summary.pings, pings);
    QCOMPARE(r.summary.records, records);
    QCOMPARE(read_file("out.bin").size(), records * 24);  // records before a bad line stay
}

void TestFootprint::bad_settings_data()
{
    QTest::addColumn<double>("spacing");
    QTest::addColumn<double>("lat_max");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("error");
    QTest::newRow("zero spacing") << 0.0 << 11.0 << "out.bin"
                                  << "greater than 0";
    QTest::newRow("negative spacing") << -1.0 << 11.0 << "out.bin"
                                      << "greater than 0";
    QTest::newRow("spacing not a number") << std::nan("") << 11.0 << "out.bin"
                                          << "greater than 0";
    QTest::newRow("spacing too fine") << 1e-300 << 11.0 << "out.bin"
                                      << "too large for a point spacing of 1E-300 m";
    QTest::newRow("mean latitude beyond 90") << 1.0 << 200.0 << "out.bin"
                                             << "between -90 and 90";
    QTest::newRow("output is the input") << 1.0 << 11.0 << "./pings.txt"
                                         << "the output file is the input file";
    QTest::newRow("missing input") << 1.0 << 11.0 << "out.bin"
                                   << "none.txt";
}

void TestFootprint::bad_settings()
{
    QFETCH(double, spacing);
    QFETCH(double, lat_max);
    QFETCH(QString, output);
    QFETCH(QString, error);
    write_file("pings.txt", "20.5 10.5 100\n");
    const std::string input =
        QTest::currentDataTag() == QByteArray("missing input") ? "none.txt" : "pings.txt";
    GeoBox box = kBox;
    box.lat_max = lat_max;
    const auto r = mq::tools::calc_footprint_file(input, output.toStdString(), box, 6.46, spacing, {}, {});
    QVERIFY(!r.status.ok());
    QVERIFY2(QString::fromStdString(r.status.error().text()).contains(error),
             r.status.error().text().c_str());
    QCOMPARE(read_file("pings.txt"), QByteArray("20.5 10.5 100\n"));
}

void TestFootprint::stop_keeps_what_was_written()
{
    QByteArray input;
    for (int i = 0; i < 25; ++i) input += "20.5 10.5 100\n";
    input += "30 30 100\n";
    write_file("pings.txt", input);
    std::int64_t shown = 0;
    auto progress = [&](const mq::tools::Progress& p) { shown = p.count; };
    const auto all = mq::tools::calc_footprint_file("pings.txt", "out.bin", kBox, 6.46, 1, progress, {});
    QVERIFY(all.status.ok() && !all.summary.stopped);
    QCOMPARE(shown, 20);  // the last in-box ping whose line number is a multiple of 10
    QCOMPARE(all.summary.lines, 26);

    int asked = 0;
    const auto stopped = mq::tools::calc_footprint_file("pings.txt", "out.bin", kBox, 6.46, 1, {},
                                                        [&] { return asked++ >= 3; });
    QVERIFY(stopped.status.ok());
    QVERIFY(stopped.summary.stopped);
    QVERIFY(stopped.summary.pings >= 1 && stopped.summary.pings < 25);
    QCOMPARE(read_file("out.bin").size(), stopped.summary.records * 24);
}

void TestFootprint::grid_size_data()
{
    QTest::addColumn<GeoBox>("box");
    QTest::addColumn<QString>("spacing");
    QTest::addColumn<QString>("expected");  // the label text, or part of the error
    QTest::newRow("0.1 degree at 54") << GeoBox{54, 54.1, 10, 10.1} << "1"
                                      << "X: 6524 / Y: 11112";
    QTest::newRow("equator uses mean of absolutes") << GeoBox{-10, 10, 0, 1} << "1000"
                                                    << "X: 109 / Y: 2222";
    QTest::newRow("spacing 2.5 rounds to 2") << GeoBox{54, 54.1, 10, 10.1} << "2.5"
                                             << "X: 3262 / Y: 5556";
    QTest::newRow("rounds to 0") << GeoBox{54, 54.1, 10, 10.1} << "0.4"
                                 << "at least 1";
    QTest::newRow("zero") << GeoBox{54, 54.1, 10, 10.1} << "0"
                          << "at least 1";
    QTest::newRow("negative") << GeoBox{54, 54.1, 10, 10.1} << "-5"
                              << "at least 1";
    QTest::newRow("not a number") << GeoBox{54, 54.1, 10, 10.1} << "x"
                                  << "not a number";
    QTest::newRow("empty") << GeoBox{54, 54.1, 10, 10.1} << ""
                           << "not a number";
}

void TestFootprint::grid_size()
{
    QFETCH(GeoBox, box);
    QFETCH(QString, spacing);
    QFETCH(QString, expected);
    const auto r = mq::tools::calc_grid_size(box, spacing.toStdString());
    if (expected.startsWith("X:")) {
        QVERIFY(r.ok());
        QCOMPARE(QString::fromStdString(mq::tools::grid_size_text(r.value())), expected);
    } else {
        QVERIFY(!r.ok());
        QVERIFY2(QString::fromStdString(r.error().message).contains(expected), r.error().message.c_str());
    }
}

QTEST_GUILESS_MAIN(TestFootprint)
#include "test_footprint.moc"
