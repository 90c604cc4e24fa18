// The Map dock: the run's pictures, their conversion by gmt psconvert (a
// scripted one, and once the real one), the zoom and the one-line reasons.
#include "app/core/gmt_location.h"
#include "app/map_dock.h"
#include "platform/qt_platform.h"
#include "platform/scripted_platform.h"
#include "platform/test_files.h"

#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

using mq::app::MapDock;
using mq::testing::ScriptedPlatform;

namespace {

QImage filled(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A dock over the scripted platform and a script folder.
struct Fixture {
    ScriptedPlatform platform;
    QTemporaryDir folder;
    QString gmt = QStringLiteral("gmt");
    std::unique_ptr<MapDock> dock =
        std::make_unique<MapDock>(platform.services(), nullptr, [this] { return gmt; });

    Fixture()
    {
        dock->resize(400, 300);
        dock->show();
    }
    QString path(const QString& name) const { return folder.filePath(name); }
    void write(const QString& name, const QByteArray& bytes = "%!PS") const
    {
        mq::testing::write_file(path(name), bytes);
    }
    void writeImage(const QString& name, const QImage& image) const { QVERIFY(image.save(path(name))); }
    // A run that writes the given files.
    void run(const std::function<void()>& writes, const QString& script = {}) const
    {
        dock->runStarted(folder.path());
        writes();
        dock->runFinished(script);
    }
    QStringList listed() const
    {
        QStringList names;
        auto* list = dock->findChild<QComboBox*>(QStringLiteral("pictureList"));
        for (int i = 0; i < list->count(); ++i) names << list->itemText(i);
        return names;
    }
    void pick(int index) const
    {
        emit dock->findChild<QComboBox*>(QStringLiteral("pictureList"))->activated(index);
    }
    void click(const char* button) const { dock->findChild<QToolButton*>(QLatin1String(button))->click(); }
    bool enabled(const char* button) const
    {
        return dock->findChild<QToolButton*>(QLatin1String(button))->isEnabled();
    }
    // The last psconvert ends: it writes `image` (unless null) where it was told to.
    void endConversion(const QImage& image, int exitCode = 0, const QString& lastError = {})
    {
        const auto& call = platform.programs.started.back();
        const QString dir = call.arguments.filter(QRegularExpression(QStringLiteral("^-D"))).value(0).mid(2);
        const QString name = call.arguments.filter(QRegularExpression(QStringLiteral("^-F"))).value(0).mid(2);
        if (!image.isNull()) QVERIFY(image.save(QDir(dir).filePath(name + QStringLiteral(".png"))));
        call.ended({exitCode, lastError});
    }
};

}  // namespace

class TestMapDock : public QObject {
    Q_OBJECT

private slots:
    void convertsTheNamedMapFirst()
    {
        Fixture f;
        f.writeImage(QStringLiteral("old.png"), filled(10, 10, Qt::red));
        QCOMPARE(f.dock->windowTitle(), QStringLiteral("Map"));
        QCOMPARE(f.dock->objectName(), QStringLiteral("MapDock"));
        f.run(
            [&] {
                f.write(QStringLiteral("map.ps"));
                f.writeImage(QStringLiteral("later.png"), filled(30, 20, Qt::blue));
                f.write(QStringLiteral("notes.txt"));
            },
            QStringLiteral("set ps_file=map\r\n"));
        QCOMPARE(f.listed(), (QStringList{"map.ps", "later.png"}));

        QCOMPARE(int(f.platform.programs.started.size()), 1);
        const auto& call = f.platform.programs.started.back();
        QCOMPARE(call.program, QStringLiteral("gmt"));
        const QString temp = call.workingDir;
        QCOMPARE(
            call.arguments.mid(0, 5),
            (QStringList{"psconvert", QDir::toNativeSeparators(f.path("map.ps")), "-A", "-E150", "-Tg"}));
        QCOMPARE(call.arguments.value(5), QStringLiteral("-D") + QDir::toNativeSeparators(temp));
        QVERIFY(call.arguments.value(6).startsWith(QStringLiteral("-F")));
        QVERIFY(QDir(temp) != QDir(f.folder.path()));
        QCOMPARE(f.dock->status(), QStringLiteral("Making the picture of map.ps ..."));
        QVERIFY(f.dock->picture().isNull());

        f.endConversion(filled(50, 40, Qt::green));
        QCOMPARE(f.dock->picture().size(), QSize(50, 40));
        QCOMPARE(f.dock->status(), QStringLiteral("map.ps (50 \u00d7 40)"));
        f.pick(1);
        QCOMPARE(f.dock->picture().pixelColor(0, 0), QColor(Qt::blue));
        f.pick(0);  // converted once per run
        QCOMPARE(f.dock->picture().size(), QSize(50, 40));
        QCOMPARE(int(f.platform.programs.started.size()), 1);

        // The next run: the picture stays while it runs, then the list is the new run's.
        f.dock->runStarted(f.folder.path());
        QCOMPARE(f.dock->picture().size(), QSize(50, 40));
        f.dock->runFinished({});
        QCOMPARE(f.listed(), QStringList());
        QVERIFY(f.dock->picture().isNull());
        QCOMPARE(f.dock->status(), QStringLiteral("The run wrote no picture."));
        QVERIFY(QDir(temp).entryList(QDir::Files).isEmpty());  // the last run's PNGs are gone
    }

    void saysWhyInOneLine_data()
    {
        QTest::addColumn<QString>("gmt");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("lastError");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("why");
        const QString missing = QString::fromStdString(mq::app::gmt_missing_text());
        QTest::newRow("GMT missing") << "" << true << 0 << ""
                                     << "m.ps" << missing;
        QTest::newRow("cannot start") << "/no/gmt" << false << 0 << ""
                                      << "m.eps"
                                      << "gmt could not be started: " + QDir::toNativeSeparators("/no/gmt");
        QTest::newRow("psconvert failed")
            << "gmt" << true << 72 << "psconvert [ERROR]: Cannot find file m.pdf\n"
            << "m.pdf"
            << "gmt psconvert could not convert m.pdf: psconvert [ERROR]: Cannot find file m.pdf";
        QTest::newRow("failed silently") << "gmt" << true << 1 << ""
                                         << "m.ps"
                                         << "gmt psconvert could not convert m.ps: exit code 1";
        QTest::newRow("no picture made") << "gmt" << true << 0 << ""
                                         << "m.ps"
                                         << "gmt psconvert could not convert m.ps: it wrote no picture";
        QTest::newRow("unreadable PNG") << "gmt" << true << 0 << ""
                                        << "bad.PNG"
                                        << "Cannot read bad.PNG: ";
        QTest::newRow("no picture") << "gmt" << true << 0 << ""
                                    << ""
                                    << "The run wrote no picture.";
    }
    void saysWhyInOneLine()
    {
        QFETCH(QString, gmt);
        QFETCH(bool, starts);
        QFETCH(int, exitCode);
        QFETCH(QString, lastError);
        QFETCH(QString, file);
        QFETCH(QString, why);
        Fixture f;
        f.gmt = gmt;
        f.platform.programs.succeed = starts;
        f.run([&] {
            if (!file.isEmpty()) f.write(file, "not a picture");
        });
        if (!f.platform.programs.started.empty() && starts) f.endConversion({}, exitCode, lastError);
        QVERIFY2(f.dock->status().startsWith(why), qPrintable(f.dock->status()));
        QVERIFY(!f.dock->status().contains(QLatin1Char('\n')));
        QVERIFY(f.dock->picture().isNull());
        QVERIFY(!f.enabled("zoomIn") && !f.enabled("zoomFit"));
    }

    void lateConversionsShowNothing()
    {
        Fixture f;
        f.run([&] { f.write(QStringLiteral("a.ps")); });
        f.run([&] {});  // a newer run ends first
        f.endConversion(filled(5, 5, Qt::red));
        QVERIFY(f.dock->picture().isNull());
        QCOMPARE(f.dock->status(), QStringLiteral("The run wrote no picture."));
        f.run([&] { f.write(QStringLiteral("b.ps")); });
        f.dock.reset();  // the dock closed before psconvert ended
        f.endConversion({});
    }

    void zooms()
    {
        Fixture f;
        f.run([&] { f.writeImage(QStringLiteral("wide.jpg"), filled(800, 400, Qt::white)); });
        QCOMPARE(f.dock->picture().size(), QSize(800, 400));
        auto* canvas = f.dock->findChild<QWidget*>(QStringLiteral("picture"));
        QVERIFY(f.dock->fitsWindow());
        const double fit = f.dock->zoom();
        QVERIFY(fit > 0.2 && fit < 1);
        QVERIFY(canvas->width() <= f.dock->width());
        f.click("zoomIn");
        QVERIFY(!f.dock->fitsWindow());
        QCOMPARE(f.dock->zoom(), fit * MapDock::kZoomStep);
        f.click("zoomActual");
        QCOMPARE(f.dock->zoom(), 1.0);
        QCOMPARE(canvas->size(), QSize(800, 400));
        f.click("zoomOut");
        QCOMPARE(f.dock->zoom(), 1.0 / MapDock::kZoomStep);
        for (int i = 0; i < 30; ++i) f.click("zoomOut");
        QCOMPARE(f.dock->zoom(), MapDock::kMinZoom);
        QVERIFY(!f.enabled("zoomOut") && f.enabled("zoomIn"));
        f.click("zoomFit");
        QVERIFY(f.dock->fitsWindow());
        f.dock->resize(800, 600);  // fitting follows the dock's size
        QTRY_VERIFY(f.dock->zoom() > fit);
    }

    // The real gmt psconvert on a map made by gmt psbasemap.
    void convertsWithGmt()
    {
        const QString gmt = QStandardPaths::findExecutable(QStringLiteral("gmt"));
        if (gmt.isEmpty()) QSKIP("GMT is not installed");
        mq::platform::QtPrograms programs;
        ScriptedPlatform scripted;
        mq::platform::Services services = scripted.services();
        services.programs = &programs;
        QTemporaryDir folder;
        MapDock dock(services, nullptr, [&] { return gmt; });
        dock.resize(420, 360);
        dock.show();

        dock.runStarted(folder.path());
        QProcess basemap;
        basemap.setWorkingDirectory(folder.path());
        basemap.setStandardOutputFile(folder.filePath(QStringLiteral("coast.ps")));
        basemap.start(gmt, {"psbasemap", "-R0/10/0/10", "-JX8c", "-Ba2g2", "-B+gyellow", "-P"});
        QVERIFY(basemap.waitForFinished(60000));
        QCOMPARE(basemap.exitCode(), 0);
        const QStringList made = QDir(folder.path()).entryList(QDir::Files);
        dock.runFinished(QStringLiteral("set ps_file=coast\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(!dock.picture().isNull() || !dock.status().startsWith("Making"), 60000);
        QVERIFY2(!dock.picture().isNull(), qPrintable(dock.status()));

        const QImage& image = dock.picture();
        bool varied = false;
        for (int y = 0; y < image.height() && !varied; y += 3)
            for (int x = 0; x < image.width() && !varied; x += 3)
                varied = image.pixel(x, y) != image.pixel(0, 0);
        QVERIFY(varied);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), made);  // nothing beside the user's file
        if (const QString shot = qEnvironmentVariable("MQ_MAP_DOCK_SHOT"); !shot.isEmpty())
            dock.grab().save(shot);
    }
};

QTEST_MAIN(TestMapDock)
#include "test_map_dock.moc"
