// The UTM and Swiss grid routines against an independent implementation,
// PROJ's cs2cs, both ways.
#include "calc/swiss_grid.h"
#include "calc/utm_conversion.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <cmath>
#include <numbers>
#include <vector>

using mq::calc::UtmState;

namespace {

using Pairs = std::vector<std::pair<double, double>>;

// Runs cs2cs on "a b" lines; the first two numbers of each output line.
Pairs cs2cs(const QStringList& args, const Pairs& input)
{
    QByteArray lines;
    for (const auto& [a, b] : input) lines += QByteArray::number(a, 'f', 10) + ' ' + QByteArray::number(b, 'f', 10) + '\n';
    QProcess p;
    p.start("cs2cs", QStringList{"-f", "%.10f"} + args);
    p.write(lines);
    p.closeWriteChannel();
    if (!p.waitForFinished(30000)) return {};
    Pairs out;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
        if (const auto fields = line.simplified().split(' '); fields.size() >= 2)
            out.emplace_back(fields[0].toDouble(), fields[1].toDouble());
    return out;
}

// Rounded to the 4 decimals of the grid values handed to cs2cs.
double mm(double v) { return QByteArray::number(v, 'f', 4).toDouble(); }

}  // namespace

class TestProjAgreement : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("cs2cs").isEmpty()) QSKIP("cs2cs (PROJ) is not installed");
    }
    void utm();
    void swiss();
};

// Points within 3 degrees of their zone's central meridian, in four zones
// and both hemispheres.
void TestProjAgreement::utm()
{
    const QStringList geographic = {"+proj=longlat", "+datum=WGS84"};
    for (int zone : {1, 17, 32, 60})
        for (bool south : {false, true}) {
            Pairs points;
            for (double lat = 0.3; lat <= (south ? 80 : 84); lat += 8.2)
                for (double offset : {-2.99, -1.3, 0.0, 0.7, 2.99}) {
                    const double lon = (zone - 1) * 6 - 180 + 3 + offset;
                    if (lat >= 56 && lat < 64 && lon >= 3 && lon < 12) continue;  // the zone-32 exception
                    points.emplace_back(lon, south ? -lat : lat);
                }
            QStringList utm = {"+proj=utm", QString("+zone=%1").arg(zone), "+datum=WGS84"};
            if (south) utm << "+south";
            const Pairs projected = cs2cs(geographic + QStringList{"+to"} + utm, points);
            QCOMPARE(projected.size(), points.size());
            Pairs rounded;
            for (const auto& [e, n] : projected) rounded.emplace_back(mm(e), mm(n));
            const Pairs back = cs2cs(utm + QStringList{"+to"} + geographic, rounded);
            QCOMPARE(back.size(), points.size());
            const UtmState state{static_cast<std::int16_t>(zone), south ? "S" : "N"};
            for (std::size_t i = 0; i < points.size(); ++i) {
                const QByteArray where = QString("%1 %2").arg(points[i].first).arg(points[i].second).toUtf8();
                const auto ours = mq::calc::latlon_to_utm_position(points[i].first, points[i].second);
                QVERIFY2(ours.ok() && ours->zone == zone, where);
                QVERIFY2(std::fabs(ours->easting - projected[i].first) <= 0.01 &&
                             std::fabs(ours->northing - projected[i].second) <= 0.01,
                         where);
                const auto geo = mq::calc::utm_to_lonlat(rounded[i].first, rounded[i].second, state);
                QVERIFY2(geo.ok() && std::fabs(geo->longitude - back[i].first) <= 1e-7 &&
                             std::fabs(geo->latitude - back[i].second) <= 1e-7,
                         where);
            }
        }
}

// Points over Switzerland, every 40 km east and 25 km north, within 5 m of PROJ.
void TestProjAgreement::swiss()
{
    Pairs grid;   // east, north
    for (double y = 490000; y <= 830000; y += 40000)
        for (double x = 80000; x <= 290000; x += 25000) grid.emplace_back(y, x);
    // EPSG:21781 takes east, north; EPSG:4326 gives latitude, longitude.
    const Pairs proj_ll = cs2cs({"EPSG:21781", "EPSG:4326"}, grid);
    QCOMPARE(proj_ll.size(), grid.size());
    const Pairs proj_grid = cs2cs({"EPSG:4326", "EPSG:21781"}, proj_ll);
    QCOMPARE(proj_grid.size(), grid.size());
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const auto [plat, plon] = proj_ll[i];
        const auto ll = mq::calc::swiss_to_wgs84(grid[i].second, grid[i].first);
        const double dx = (ll.longitude - plon) * 111320.0 * std::cos(ll.latitude * std::numbers::pi / 180);
        const double dy = (ll.latitude - plat) * 111320.0;
        QVERIFY2(std::hypot(dx, dy) < 5, qPrintable(QString("%1 %2").arg(grid[i].first).arg(grid[i].second)));
        const auto g = mq::calc::wgs84_to_swiss(plon, plat);
        QVERIFY2(std::hypot(g.y - proj_grid[i].first, g.x - proj_grid[i].second) < 5,
                 qPrintable(QString("%1 %2").arg(plon).arg(plat)));
    }
}

QTEST_GUILESS_MAIN(TestProjAgreement)
#include "test_proj_agreement.moc"
