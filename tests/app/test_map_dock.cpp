// The Map dock: the run's pictures, their conversion by gmt psconvert (a
// scripted one, and once the real one), the zoom and the one-line reasons.
#include "app/core/gmt_location.h"
#include "app/map_dock.h"
#include "platform/qt_platform.h"
#include "platform/scripted_platform.h"
#include "platform/test_files.h"

#include <QComboBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

using mq::app::MapDock;

namespace {

QImage filled(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A dock over the scripted platform, and the script's folder.
struct Fixture {
    mq::testing::ScriptedPlatform platform;
    QTemporaryDir folder;
    QString gmt = QStringLiteral("gmt");
    std::unique_ptr<MapDock> dock =
        std::make_unique<MapDock>(platform.services(), nullptr, [this] { return gmt; });
    QComboBox* list = dock->findChild<QComboBox*>(QStringLiteral("pictureList"));

    Fixture() { dock->show(); }
    QString path(const QString& name) const { return folder.filePath(name); }
    // A run that writes the files `made` names: PNG and JPEG as pictures, others as text.
    void run(const QStringList& made, const QString& script = {}) const
    {
        dock->runStarted(folder.path());
        for (const QString& name : made) {
            if (name.endsWith(QLatin1String(".png")) || name.endsWith(QLatin1String(".jpg")))
                QVERIFY(filled(800, 400, Qt::blue).save(path(name)));
            else
                mq::testing::write_file(path(name), "%!PS");
        }
        dock->runFinished(script);
    }
    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < list->count(); ++i) names << list->itemText(i);
        return names;
    }
    void click(const char* button) const { dock->findChild<QToolButton*>(QLatin1String(button))->click(); }
    bool enabled(const char* button) const
    {
        return dock->findChild<QToolButton*>(QLatin1String(button))->isEnabled();
    }
    // The last psconvert ends, having written `image` (unless null) where it was told to.
    void endConversion(const QImage& image, int exitCode = 0, const QString& lastError = {})
    {
        const auto& call = platform.programs.started.back();
        const QString png = call.arguments.value(5).mid(2) + "/" + call.arguments.value(6).mid(2) + ".png";
        if (!image.isNull()) QVERIFY(image.save(png));
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
        QCOMPARE(f.dock->windowTitle(), QStringLiteral("Map"));
        QCOMPARE(f.dock->objectName(), QStringLiteral("MapDock"));
        f.run({"old.png"});
        f.run({"map.ps", "later.png", "notes.txt"}, QStringLiteral("set ps_file=map\r\n"));
        QCOMPARE(f.listed(), (QStringList{"map.ps", "later.png"}));

        QCOMPARE(int(f.platform.programs.started.size()), 1);
        const auto& call = f.platform.programs.started.back();
        const QString temp = QDir::toNativeSeparators(call.workingDir);
        QCOMPARE(call.program, QStringLiteral("gmt"));
        const QString source = QDir::toNativeSeparators(f.path("map.ps"));
        const QStringList expected{"psconvert", source, "-A", "-E150", "-Tg", "-D" + temp};
        QCOMPARE(call.arguments.mid(0, 6), expected);
        QVERIFY(call.arguments.value(6).startsWith(QStringLiteral("-F")));
        QVERIFY(QDir(temp) != QDir(f.folder.path()));
        QCOMPARE(f.dock->status(), QStringLiteral("Making the picture of map.ps ..."));

        f.endConversion(filled(50, 40, Qt::green));
        QCOMPARE(f.dock->picture().size(), QSize(50, 40));
        QCOMPARE(f.dock->status(), QStringLiteral("map.ps (50 \u00d7 40)"));
        emit f.list->activated(1);
        QCOMPARE(f.dock->picture().pixelColor(0, 0), QColor(Qt::blue));
        emit f.list->activated(0);   // converted once per run
        QCOMPARE(f.dock->picture().size(), QSize(50, 40));
        QCOMPARE(int(f.platform.programs.started.size()), 1);

        // The picture stays while the next run goes on; a run without pictures clears it.
        f.dock->runStarted(f.folder.path());
        QCOMPARE(f.dock->picture().size(), QSize(50, 40));
        f.dock->runFinished({});
        QCOMPARE(f.listed(), QStringList());
        QVERIFY(f.dock->picture().isNull());
        QCOMPARE(f.dock->status(), QStringLiteral("The run wrote no picture."));
        QVERIFY(QDir(temp).entryList(QDir::Files).isEmpty());   // the last run's PNGs are gone

        // A conversion that ends after a newer run, or after the dock closed, shows nothing.
        f.run({"a.ps"});
        f.run({});
        f.endConversion(filled(5, 5, Qt::red));
        QVERIFY(f.dock->picture().isNull());
        f.run({"b.ps"});
        f.dock.reset();
        f.endConversion({});
    }

    void saysWhyInOneLine()
    {
        struct Case {
            QString gmt;
            bool starts;
            QString file;
            int exitCode;
            QString lastError, why;
        };
        const Case cases[] = {
            {"", true, "m.ps", 0, "", QString::fromStdString(mq::app::gmt_missing_text())},
            {"/no/gmt", false, "m.eps", 0, "", "gmt could not be started: "},
            {"gmt", true, "m.pdf", 72, "psconvert [ERROR]: Cannot find file m.pdf\n",
             "gmt psconvert could not convert m.pdf: psconvert [ERROR]: Cannot find file m.pdf"},
            {"gmt", true, "m.ps", 1, "", "gmt psconvert could not convert m.ps: exit code 1"},
            {"gmt", true, "m.ps", 0, "", "gmt psconvert could not convert m.ps: it wrote no picture"},
            {"gmt", true, "bad.PNG", 0, "", "Cannot read bad.PNG: "},
            {"gmt", true, "", 0, "", "The run wrote no picture."},
        };
        for (const Case& c : cases) {
            Fixture f;
            f.gmt = c.gmt;
            f.platform.programs.succeed = c.starts;
            f.run(c.file.isEmpty() ? QStringList() : QStringList{c.file});
            if (c.starts && !f.platform.programs.started.empty())
                f.endConversion({}, c.exitCode, c.lastError);
            QVERIFY2(f.dock->status().startsWith(c.why), qPrintable(f.dock->status()));
            QVERIFY(!f.dock->status().contains(QLatin1Char('\n')));
            QVERIFY(f.dock->picture().isNull());
            QVERIFY(!f.enabled("zoomIn") && !f.enabled("zoomFit"));
        }
    }

    void zooms()
    {
        Fixture f;
        f.dock->resize(400, 300);
        f.run({"wide.jpg"});
        QCOMPARE(f.dock->picture().size(), QSize(800, 400));
        auto* canvas = f.dock->findChild<QWidget*>(QStringLiteral("picture"));
        const double fit = f.dock->zoom();
        QVERIFY(f.dock->fitsWindow() && fit > 0.2 && fit < 1);
        QVERIFY(canvas->width() <= f.dock->width());
        f.click("zoomIn");
        QVERIFY(!f.dock->fitsWindow());
        QCOMPARE(f.dock->zoom(), fit * MapDock::kZoomStep);
        f.click("zoomActual");
        QCOMPARE(canvas->size(), QSize(800, 400));
        f.click("zoomOut");
        QCOMPARE(f.dock->zoom(), 1.0 / MapDock::kZoomStep);
        for (int i = 0; i < 30; ++i) f.click("zoomOut");
        QCOMPARE(f.dock->zoom(), MapDock::kMinZoom);
        QVERIFY(!f.enabled("zoomOut") && f.enabled("zoomIn"));
        f.click("zoomFit");
        f.dock->resize(800, 600);   // fitting follows the dock's size
        QTRY_VERIFY(f.dock->zoom() > fit);
    }

    // The real gmt psconvert, on a map gmt psbasemap made.
    void convertsWithGmt()
    {
        const QString gmt = QStandardPaths::findExecutable(QStringLiteral("gmt"));
        if (gmt.isEmpty()) QSKIP("GMT is not installed");
        mq::platform::QtPrograms programs;
        mq::testing::ScriptedPlatform scripted;
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
        QVERIFY(basemap.waitForFinished(60000) && basemap.exitCode() == 0);
        const QStringList made = QDir(folder.path()).entryList(QDir::Files);
        const auto afterRun = mq::app::snapshot_folder(folder.path().toStdString());
        dock.runFinished(QStringLiteral("set ps_file=coast\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(!dock.status().startsWith(QLatin1String("Making")), 60000);
        QVERIFY2(!dock.picture().isNull(), qPrintable(dock.status()));

        const QImage& image = dock.picture();
        bool varied = false;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3) varied |= image.pixel(x, y) != image.pixel(0, 0);
        QVERIFY(varied);
        // Nothing new beside the user's files, and the map itself untouched.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), made);
        QVERIFY(mq::app::run_pictures(afterRun, "").empty());
        if (const QString shot = qEnvironmentVariable("MQ_MAP_DOCK_SHOT"); !shot.isEmpty())
            dock.grab().save(shot);   // to look at
    }
};

QTEST_MAIN(TestMapDock)
#include "test_map_dock.moc"
