// The Swiss grid formulas: published reference points, the inverse, round
// trips, and agreement with PROJ's rigorous CH1903 transformation.
#include "calc/swiss_grid.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <cmath>
#include <numbers>
#include <vector>

using mq::calc::swiss_to_wgs84;
using mq::calc::wgs84_to_swiss;

namespace {

constexpr double kMetresPerDegree = 111320.0;

// Distance in metres between two nearby WGS 84 points.
double metres_apart(double lon1, double lat1, double lon2, double lat2)
{
    const double dx = (lon1 - lon2) * kMetresPerDegree * std::cos(lat1 * std::numbers::pi / 180);
    const double dy = (lat1 - lat2) * kMetresPerDegree;
    return std::hypot(dx, dy);
}

struct Grid {
    double y;   // east
    double x;   // north
};

// Points over Switzerland, every 40 km east and 25 km north.
std::vector<Grid> swiss_points()
{
    std::vector<Grid> points;
    for (double y = 490000; y <= 830000; y += 40000)
        for (double x = 80000; x <= 290000; x += 25000) points.push_back({y, x});
    return points;
}

// Runs cs2cs on "a b" lines; the first two numbers of each output line.
std::vector<std::pair<double, double>> cs2cs(const QStringList& args, const QByteArray& input)
{
    QProcess p;
    p.start("cs2cs", QStringList{"-f", "%.9f"} + args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(20000)) return {};
    std::vector<std::pair<double, double>> out;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const auto fields = line.simplified().split(' ');
        if (fields.size() >= 2) out.emplace_back(fields[0].toDouble(), fields[1].toDouble());
    }
    return out;
}

}  // namespace

class TestSwissGrid : public QObject {
    Q_OBJECT

private slots:
    void to_wgs84_data();
    void to_wgs84();
    void inverse_at_origin();
    void round_trip();
    void agrees_with_proj();
};

void TestSwissGrid::to_wgs84_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("lon");
    QTest::addColumn<double>("lat");
    QTest::newRow("projection origin") << 200000.0 << 600000.0 << 7.43863722 << 46.95108111;
    QTest::newRow("south east") << 100000.0 << 700000.0 << 8.73049933 << 46.04412678;
}

void TestSwissGrid::to_wgs84()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, lon);
    QFETCH(double, lat);
    const auto r = swiss_to_wgs84(x, y);
    QCOMPARE(r.lon, lon);
    QCOMPARE(r.lat, lat);
}

void TestSwissGrid::inverse_at_origin()
{
    const auto g = wgs84_to_swiss(7.43863722, 46.95108111);
    QVERIFY2(std::abs(g.y - 600000) < 1 && std::abs(g.x - 200000) < 1,
             qPrintable(QString("%1 %2").arg(g.y, 0, 'f', 3).arg(g.x, 0, 'f', 3)));
}

void TestSwissGrid::round_trip()
{
    for (const Grid& p : swiss_points()) {
        const auto ll = swiss_to_wgs84(p.x, p.y);
        const auto back = wgs84_to_swiss(ll.lon, ll.lat);
        QVERIFY2(std::hypot(back.y - p.y, back.x - p.x) < 5,
                 qPrintable(QString("%1 %2 came back as %3 %4").arg(p.y).arg(p.x).arg(back.y).arg(back.x)));
    }
}

void TestSwissGrid::agrees_with_proj()
{
    if (QStandardPaths::findExecutable("cs2cs").isEmpty()) QSKIP("cs2cs (PROJ) is not installed");
    const auto points = swiss_points();
    QByteArray grid_lines;
    for (const Grid& p : points) grid_lines += QByteArray::number(p.y, 'f', 3) + ' ' + QByteArray::number(p.x, 'f', 3) + '\n';
    // EPSG:21781 takes east, north; EPSG:4326 gives latitude, longitude.
    const auto proj_ll = cs2cs({"EPSG:21781", "EPSG:4326"}, grid_lines);
    QCOMPARE(proj_ll.size(), points.size());

    QByteArray geo_lines;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const auto ll = swiss_to_wgs84(points[i].x, points[i].y);
        const auto [plat, plon] = proj_ll[i];
        const double off = metres_apart(ll.lon, ll.lat, plon, plat);
        QVERIFY2(off < 5, qPrintable(QString("%1 %2 is %3 m off").arg(points[i].y).arg(points[i].x).arg(off)));
        geo_lines += QByteArray::number(plat, 'f', 9) + ' ' + QByteArray::number(plon, 'f', 9) + '\n';
    }

    // The inverse against PROJ's inverse of the same geographic points.
    const auto proj_grid = cs2cs({"EPSG:4326", "EPSG:21781"}, geo_lines);
    QCOMPARE(proj_grid.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const auto [plat, plon] = proj_ll[i];
        const auto g = wgs84_to_swiss(plon, plat);
        const double off = std::hypot(g.y - proj_grid[i].first, g.x - proj_grid[i].second);
        QVERIFY2(off < 5, qPrintable(QString("%1 %2 is %3 m off").arg(plon).arg(plat).arg(off)));
    }
}

QTEST_GUILESS_MAIN(TestSwissGrid)
#include "test_swiss_grid.moc"
