// The UTM routines, the coordinate reader and the degrees-and-minutes writer,
// and their agreement with an independent implementation (PROJ's cs2cs).
#include "calc/coordinate_text.h"
#include "calc/utm_conversion.h"
#include "common/number_rules.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <cmath>

using mq::calc::UtmState;

class TestUtm : public QObject {
    Q_OBJECT

private slots:
    void forward_data();
    void forward();
    void inverse_data();
    void inverse();
    void round_trip();
    void central_meridian_overflow_data();
    void central_meridian_overflow();
    void coord_to_decimal_data();
    void coord_to_decimal();
    void dec2degmm_data();
    void dec2degmm();
    void dec2degmm_follows_the_number_rules();
    void agrees_with_cs2cs();
};

void TestUtm::forward_data()
{
    QTest::addColumn<double>("lon");
    QTest::addColumn<double>("lat");
    QTest::addColumn<QString>("expected");  // full text, or "zone:" prefix when ending in ":"
    QTest::newRow("on the central meridian") << 9.0 << 50.0 << "32:500000:5538630.703";
    QTest::newRow("south gets the false northing") << 9.0 << -50.0 << "32:500000:4461369.297";
    QTest::newRow("origin") << 0.0 << 0.0 << "31:166021.443:0";
    QTest::newRow("190 is -170") << 190.0 << 10.0 << "2:";
    QTest::newRow("180 is -180") << 180.0 << 10.0 << "1:";
    QTest::newRow("-180 stays") << -180.0 << 10.0 << "1:";
    QTest::newRow("exception zone") << 5.0 << 60.0 << "32:";
    QTest::newRow("exception ends at 64") << 5.0 << 64.0 << "31:";
    QTest::newRow("exception ends at 12") << 12.0 << 60.0 << "33:";
    QTest::newRow("no exception at 72..84") << 10.0 << 78.0 << "32:";
    QTest::newRow("no latitude check") << 9.0 << 95.0 << "32:";
}

void TestUtm::forward()
{
    QFETCH(double, lon);
    QFETCH(double, lat);
    QFETCH(QString, expected);
    const auto text = mq::calc::latlon_to_utm(lon, lat);
    QVERIFY(text.ok());
    const QString got = QString::fromStdString(text.value());
    if (expected.endsWith(':'))
        QVERIFY2(got.startsWith(expected), qPrintable(got));
    else
        QCOMPARE(got, expected);
    if (lon == 190.0) QCOMPARE(text.value(), mq::calc::latlon_to_utm(-170, lat).value());
}

void TestUtm::inverse_data()
{
    QTest::addColumn<QString>("hemisphere");
    QTest::addColumn<double>("northing");
    QTest::addColumn<double>("lat");
    QTest::newRow("north") << "N" << 5538630.703 << 50.0;
    QTest::newRow("south") << "S" << 4461369.297 << -50.0;
    QTest::newRow("lower-case n is south") << "n" << 4461369.297 << -50.0;
    QTest::newRow("empty is south") << "" << 4461369.297 << -50.0;
}

void TestUtm::inverse()
{
    QFETCH(QString, hemisphere);
    QFETCH(double, northing);
    QFETCH(double, lat);
    const auto text = mq::calc::utm_to_latlon(500000, northing, UtmState{32, hemisphere.toStdString()});
    QVERIFY(text.ok());
    const QStringList parts = QString::fromStdString(text.value()).split(':');
    QCOMPARE(parts.size(), 2);
    QCOMPARE(parts[0], QString("9"));  // longitude first
    QVERIFY2(std::fabs(parts[1].toDouble() - lat) < 1e-8, qPrintable(parts[1]));
}

void TestUtm::round_trip()
{
    for (double lat : {-79.5, -33.9, -0.001, 0.5, 45.25, 83.9})
        for (double offset : {-2.9, -0.4, 0.0, 1.7, 2.9}) {
            const double lon = 9 + offset;
            const auto p = mq::calc::latlon_to_utm_position(lon, lat);
            QVERIFY(p.ok());
            const UtmState state{static_cast<std::int16_t>(p->zone), lat < 0 ? "S" : "N"};
            const auto back = mq::calc::utm_to_lonlat(p->easting, p->northing, state);
            QVERIFY(back.ok());
            QVERIFY2(std::fabs(back->longitude - lon) < 1e-6 && std::fabs(back->latitude - lat) < 1e-6,
                     qPrintable(QString("%1 %2").arg(lon).arg(lat)));
        }
}

void TestUtm::central_meridian_overflow_data()
{
    QTest::addColumn<int>("zone");
    QTest::addColumn<int>("meridian");  // -99999: overflow
    QTest::newRow("zone 0") << 0 << -183;
    QTest::newRow("zone 61") << 61 << 183;
    QTest::newRow("highest") << 5462 << 32589;
    QTest::newRow("above") << 5463 << -99999;
    QTest::newRow("lowest") << -5430 << -32763;
    QTest::newRow("below") << -5431 << -99999;
    QTest::newRow("16-bit end") << 32767 << -99999;
}

void TestUtm::central_meridian_overflow()
{
    QFETCH(int, zone);
    QFETCH(int, meridian);
    const auto m = mq::calc::utm_central_meridian(zone);
    if (meridian == -99999) {
        QVERIFY(!m.ok());
        QVERIFY(!mq::calc::utm_to_latlon(500000, 0, UtmState{static_cast<std::int16_t>(zone), "N"}).ok());
    } else {
        QVERIFY(m.ok());
        QCOMPARE(m.value(), meridian);
    }
}

void TestUtm::coord_to_decimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");  // NaN: an error
    const double bad = std::nan("");
    QTest::newRow("degrees:minutes") << "12:30" << 12.5;
    QTest::newRow("negative") << "-12:30" << -12.5;
    QTest::newRow("negative zero degrees") << "-0:30" << -0.5;
    QTest::newRow("seconds") << "-33:54:00" << -33.9;
    QTest::newRow("whole") << "12" << 12.0;
    QTest::newRow("decimal") << "45.5" << 45.5;
    QTest::newRow("minutes of 9:30") << "9:30" << 9.5;
    QTest::newRow("parts after the third ignored") << "1:30:0:99" << 1.5;
    QTest::newRow("empty") << "" << bad;
    QTest::newRow("letters") << "ab" << bad;
    QTest::newRow("empty minutes") << "12:" << bad;
    QTest::newRow("two points") << "1.2.3" << bad;
}

void TestUtm::coord_to_decimal()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    const auto r = mq::calc::coord_to_decimal(text.toStdString());
    if (std::isnan(value)) {
        QVERIFY(!r.ok());
        QVERIFY(QString::fromStdString(r.error().message).contains("'" + text + "'"));
    } else {
        QVERIFY(r.ok());
        QVERIFY2(std::fabs(r.value() - value) < 1e-12, qPrintable(QString::number(r.value(), 'g', 17)));
    }
}

void TestUtm::dec2degmm_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");  // empty: no result
    QTest::newRow("half") << "9.5"
                          << "9:30.000000";
    QTest::newRow("two minute digits") << "9.05"
                                       << "9:03.000000";
    QTest::newRow("negative") << "-33.9"
                              << "-33:54.000000";
    QTest::newRow("negative below one") << "-0.5"
                                        << "-0:30.000000";
    QTest::newRow("whole") << "12"
                           << "12:00.000000";
    QTest::newRow("carry into degrees") << "9.99999999999"
                                        << "10:00.000000";
    QTest::newRow("exponent form") << "1.5E-07"
                                   << "0:00.000009";
    QTest::newRow("tiny negative has no sign") << "-1E-12"
                                               << "0:00.000000";
    QTest::newRow("not a number") << "x"
                                  << "";
}

void TestUtm::dec2degmm()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const auto r = mq::calc::dec2degmm(std::string_view(text.toStdString()));
    if (expected.isEmpty())
        QVERIFY(!r);
    else
        QCOMPARE(QString::fromStdString(r.value()), expected);
}

// The allocation-free writer against the shared rules it stands for: the
// minutes formatted with "00.000000", the angle read back from its general
// text. Values on and near the halves of the sixth decimal included.
void TestUtm::dec2degmm_follows_the_number_rules()
{
    std::uint64_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(seed >> 11) / 9007199254740992.0;
    };
    for (int i = 0; i < 50000; ++i) {
        double degrees = (next() - 0.5) * 360;
        if (i % 3 == 0) degrees = std::trunc(degrees) + (std::round(next() * 6e7) + 0.5) / 1e6 / 60;
        const double read_back = mq::calc::through_general_text(degrees);
        QCOMPARE(read_back, mq::numbers::read_number(mq::numbers::general_text(degrees)).value());
        const double magnitude = std::fabs(read_back);
        double whole = std::floor(magnitude);
        std::string minutes = mq::numbers::format_pattern((magnitude - whole) * 60, "00.000000");
        if (minutes == "60.000000") {
            whole += 1;
            minutes = "00.000000";
        }
        const bool sign = read_back < 0 && (whole > 0 || minutes != "00.000000");
        const QString expected = QString(sign ? "-" : "") +
                                 QString::fromStdString(mq::numbers::general_text(whole)) + ":" +
                                 QString::fromStdString(minutes);
        QCOMPARE(QString::fromStdString(mq::calc::dec2degmm(read_back).value()), expected);
    }
}

// Points within 3 degrees of their zone's central meridian, both ways, in
// four zones and both hemispheres.
void TestUtm::agrees_with_cs2cs()
{
    const QString cs2cs = QStandardPaths::findExecutable("cs2cs");
    if (cs2cs.isEmpty()) QSKIP("cs2cs (PROJ) is not installed");
    auto run = [&](const QString& from, const QString& to, const QByteArray& input) {
        QProcess p;
        p.start(cs2cs, QStringList{"-f", "%.10f"} + from.split(' ') + QStringList{"+to"} + to.split(' '));
        p.write(input);
        p.closeWriteChannel();
        p.waitForFinished(30000);
        QList<QList<double>> rows;
        for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
            if (const auto fields = line.simplified().split(' '); fields.size() >= 2)
                rows.append({fields[0].toDouble(), fields[1].toDouble()});
        return rows;
    };
    const QString geographic = "+proj=longlat +datum=WGS84";
    for (int zone : {1, 17, 32, 60})
        for (bool south : {false, true}) {
            QList<QPair<double, double>> points;
            QByteArray input;
            for (double lat = 0.3; lat <= (south ? 80 : 84); lat += 8.2)
                for (double offset : {-2.99, -1.3, 0.0, 0.7, 2.99}) {
                    const double lon = (zone - 1) * 6 - 180 + 3 + offset;
                    if (lat >= 56 && lat < 64 && lon >= 3 && lon < 12) continue;  // the zone-32 exception
                    points.append({lon, south ? -lat : lat});
                    input += QByteArray::number(lon, 'g', 17) + ' ' +
                             QByteArray::number(points.last().second, 'g', 17) + '\n';
                }
            const QString utm =
                QString("+proj=utm +zone=%1 %2+datum=WGS84").arg(zone).arg(south ? "+south " : "");
            const auto projected = run(geographic, utm, input);
            QCOMPARE(projected.size(), points.size());
            QByteArray utm_input;
            for (const auto& row : projected)
                utm_input +=
                    QByteArray::number(row[0], 'f', 4) + ' ' + QByteArray::number(row[1], 'f', 4) + '\n';
            const auto back = run(utm, geographic, utm_input);
            QCOMPARE(back.size(), points.size());
            const UtmState state{static_cast<std::int16_t>(zone), south ? "S" : "N"};
            for (qsizetype i = 0; i < points.size(); ++i) {
                const auto ours = mq::calc::latlon_to_utm_position(points[i].first, points[i].second);
                QVERIFY(ours.ok() && ours->zone == zone);
                QVERIFY2(std::fabs(ours->easting - projected[i][0]) <= 0.01 &&
                             std::fabs(ours->northing - projected[i][1]) <= 0.01,
                         qPrintable(QString("%1 %2").arg(points[i].first).arg(points[i].second)));
                const auto geo =
                    mq::calc::utm_to_lonlat(QByteArray::number(projected[i][0], 'f', 4).toDouble(),
                                            QByteArray::number(projected[i][1], 'f', 4).toDouble(), state);
                QVERIFY(geo.ok());
                QVERIFY2(std::fabs(geo->longitude - back[i][0]) <= 1e-7 &&
                             std::fabs(geo->latitude - back[i][1]) <= 1e-7,
                         qPrintable(QString("%1 %2").arg(points[i].first).arg(points[i].second)));
            }
        }
}

QTEST_GUILESS_MAIN(TestUtm)
#include "test_utm.moc"
