// GMT's help in the editor: the usage texts of the installed GMT, the
// "GMT help" dock on F1 and the completion of module names and options.
#include "app/core/gmt_location.h"
#include "app/core/gmt_usage.h"
#include "app/gmt_completion.h"
#include "app/gmt_help_dock.h"
#include "app/gmt_modules.h"
#include "platform/qt_platform.h"
#include "platform/scripted_platform.h"
#include "platform/test_files.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace mq::app;

namespace {

// What the scripted gmt prints.
const QByteArray kHelp =
    "\n\tGMT - The Generic Mapping Tools, Version 6.4.0\n\n"
    "Module name:     Purpose of core module:\n"
    "----------------------------------------------------------------\n"
    "coast            Plot continents, countries, shorelines, rivers, and borders\n"
    "grdcut           Extract subregion from a grid or image\n"
    "grdimage         Project and plot grids or images\n"
    "grdinfo          Extract information from 2-D grids or 3-D cubes\n";
const QByteArray kClassic = "grdcut\ngrdimage\ngrdinfo\npscoast\n";
const QByteArray kGrdimage =
    "gmt grdimage [core] 6.4.0 [64-bit] - Project and plot grids or images\n\n"
    "usage: gmt grdimage <ingrid> -J<args> [-C<cpt>] [-R<region>]\n\n"
    "  -J Select map proJection.\n"
    "  -C<cpt>\n     Color palette file. Optionally more.\n"
    "  -R<region>\n     Specify the region.\n";
const QByteArray kNoModule = "\nERROR: No module named grdcut was found.\n";

QByteArray printed(const QStringList& arguments)
{
    const QString first = arguments.value(0);
    if (first == "--help") return kHelp;
    if (first == "--show-classic") return kClassic;
    if (first == "grdcut") return kNoModule;
    QByteArray usage = kGrdimage;
    return usage.replace("grdimage", first.toUtf8());
}

struct Fixture {
    mq::testing::ScriptedPlatform platform;
    QString gmt = QStringLiteral("gmt");
    GmtModules modules{platform.services(), [this] { return gmt; }};
    std::size_t answered = 0;

    // Every gmt run so far ends, having printed what gmt prints.
    void answerAll()
    {
        while (answered < platform.programs.captured.size()) {
            const auto& run = platform.programs.captured[answered++];
            run.done({true, 63, printed(run.arguments)});
        }
    }
    QStringList runs() const
    {
        QStringList list;
        for (const auto& run : platform.programs.captured) list << run.arguments.join(' ');
        return list;
    }
};

}  // namespace

class TestGmtHelp : public QObject {
    Q_OBJECT

private slots:
    // The texts of the installed GMT, read through the platform as the
    // program reads them.
    void readsTheInstalledGmt()
    {
        const QString gmt = QString::fromStdString(gmt_program(""));
        if (gmt.isEmpty()) QSKIP("GMT is not installed");
        mq::platform::QtPrograms programs;
        QHash<QString, QByteArray> out;
        const QStringList asked = {"--help", "--show-classic", "grdimage", "pscoast", "psxy", "surface"};
        for (const QString& argument : asked)
            programs.capture(gmt, {argument}, [&out, argument](const mq::platform::ProgramOutput& o) {
                QVERIFY(o.started);
                out[argument] = o.output;
            });
        QTRY_COMPARE_WITH_TIMEOUT(out.size(), asked.size(), 30000);

        const auto modules =
            parse_gmt_modules(out["--help"].toStdString(), out["--show-classic"].toStdString());
        const auto purposeOf = [&](const std::string& name) {
            for (const GmtModule& m : modules)
                if (m.name == name) return m.purpose;
            return std::string("(missing)");
        };
        QCOMPARE(purposeOf("psxy"), purposeOf("plot"));
        QCOMPARE(purposeOf("pscoast"),
                 std::string("Plot continents, countries, shorelines, rivers, and borders"));
        for (const QByteArray& name : out["--show-classic"].split('\n'))  // each classic name has its purpose
            if (!name.trimmed().isEmpty()) QVERIFY2(purposeOf(name.trimmed().toStdString()) != "", name);

        struct Case {
            const char* module;
            std::string purpose, flag, syntax, text;
        };
        const Case cases[] = {
            {"grdimage", "Project and plot grids or images", "-C", "-C<cpt>",
             "Color palette file to convert grid values to colors."},
            {"pscoast", "Plot continents, countries, shorelines, rivers, and borders", "-W",
             "-W[<feature>/][<width>[c|i|p]],[<color>],[<style>[c|i|p]]", "Draw shorelines."},
            {"psxy", "Plot lines, polygons, and symbols in 2-D", "-S", "-S[<symbol>][<size>]",
             "Select symbol type and symbol size (in cm)."},
            {"surface", "Grid table data using adjustable tension continuous curvature splines", "-T",
             "-T[b|i]<tension>", "Add tension to the gridding equation; use a value between 0 and 1."},
        };
        for (const Case& c : cases) {
            const auto usage = parse_gmt_usage(out[c.module].toStdString());
            QVERIFY2(usage.ok(), c.module);
            QCOMPARE(usage->module, std::string(c.module));
            QCOMPARE(usage->purpose, c.purpose);
            QVERIFY(usage->synopsis.starts_with("gmt " + usage->module + " "));
            QVERIFY(usage->synopsis.find("\xE2\x80\xA6") == std::string::npos);  // wrapped lines joined
            QSet<QString> flags;
            for (const GmtOption& option : usage->options) {
                QVERIFY2(!option.text.empty() && option.syntax.starts_with(option.flag),
                         option.syntax.c_str());
                flags << QString::fromStdString(option.flag);
                if (option.flag == c.flag) {
                    QCOMPARE(option.syntax, c.syntax);
                    QCOMPARE(option.text, c.text);
                }
            }
            QCOMPARE(flags.size(), int(usage->options.size()));
            for (const char* common : {"-J", "-R", "-V", c.flag.c_str()})
                QVERIFY2(flags.contains(common), common);
        }
    }

    // F1 with the caret on a module's name fills the dock.
    void showsTheUsageOfTheModuleAtTheCaret_data()
    {
        QTest::addColumn<QString>("line");  // '#' marks the caret
        QTest::addColumn<bool>("gmtFound");
        QTest::addColumn<bool>("listRead");  // the module list was read before F1
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("purpose");
        QTest::addColumn<QString>("usageStart");
        QTest::addColumn<bool>("link");
        const QString grdimagePurpose = "Project and plot grids or images";
        QTest::newRow("classic name") << "grdi#mage a.grd -JM15c" << true << false << "grdimage"
                                      << grdimagePurpose << "gmt grdimage [core]" << true;
        QTest::newRow("behind gmt") << "gmt #coast -R0/1/0/1" << true << true << "coast"
                                    << "Project and plot grids or images"
                                    << "gmt coast [core]" << true;
        QTest::newRow("on gmt itself") << "@g#mt pscoast -W" << true << true << "pscoast" << grdimagePurpose
                                       << "gmt pscoast [core]" << true;
        QTest::newRow("no usage printed") << "grdcut# in.grd" << true << false << "grdcut"
                                          << "gmt grdcut printed no usage."
                                          << "ERROR: No module" << true;
        QTest::newRow("not a module") << "gmt nosuch# -R" << true << true << "nosuch"
                                      << "\u201Cnosuch\u201D is not a GMT module."
                                      << "" << false;
        QTest::newRow("no GMT") << "grdimage# a.grd" << false << false << "grdimage"
                                << QString::fromStdString(gmt_missing_text()) << "" << false;
    }
    void showsTheUsageOfTheModuleAtTheCaret()
    {
        QFETCH(QString, line);
        QFETCH(bool, gmtFound);
        QFETCH(bool, listRead);
        QFETCH(QString, module);
        QFETCH(QString, purpose);
        QFETCH(QString, usageStart);
        QFETCH(bool, link);
        Fixture f;
        if (!gmtFound) f.gmt.clear();
        if (listRead) {
            f.modules.load();
            f.answerAll();
        }
        QTemporaryDir manual;
        mq::testing::write_file(manual.filePath(module + ".html"), "<html/>");
        GmtHelpDock dock(f.platform.services(), f.modules, [&] { return manual.path(); });
        dock.show();

        const std::string text = line.toStdString();
        const auto word = module_at(std::string(text).erase(text.find('#'), 1), text.find('#'));
        QVERIFY(word);
        dock.showFor(QString::fromStdString(word->name));
        f.answerAll();
        QCOMPARE(dock.module(), module);
        QCOMPARE(dock.purpose(), purpose);
        QVERIFY2(dock.usageText().startsWith(usageStart), qPrintable(dock.usageText()));
        QCOMPARE(dock.offersManualPage(), link);
        if (link) {
            emit dock.findChild<QLabel*>("manualLink")->linkActivated("page");
            QCOMPARE(f.platform.browser.opened.size(), 1);
            QVERIFY(f.platform.browser.opened[0].endsWith(module + ".html"));
        }
        const qsizetype runs = f.runs().size();
        dock.showFor(module);  // read once for the session
        QCOMPARE(f.runs().size(), runs);
        QCOMPARE(f.runs().count(module), gmtFound && module != "nosuch" ? 1 : 0);
    }

    // Typing offers module names where a command starts and options after
    // the module; Enter takes the chosen one.
    void completesModulesAndOptions_data()
    {
        QTest::addColumn<bool>("gmtFound");
        QTest::addColumn<bool>("listRead");  // before typing; otherwise it ends after
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QString>("afterEnter");
        const QStringList grd = {"grdcut", "grdimage", "grdinfo"};
        QTest::newRow("module names") << true << true << "grd" << grd << "grdcut";
        QTest::newRow("read while typing") << true << false << "grd" << grd << "grdcut";
        QTest::newRow("behind gmt, any case")
            << true << true << "gmt GRDI" << QStringList{"grdimage", "grdinfo"} << "gmt grdimage";
        QTest::newRow("narrowed to one")
            << true << true << "x | psc" << QStringList{"pscoast"} << "x | pscoast";
        QTest::newRow("one letter") << true << true << "g" << QStringList{} << "";
        QTest::newRow("not a command's start") << true << true << "echo grd" << QStringList{} << "";
        QTest::newRow("options") << true << true << "grdimage a.grd -" << QStringList{"-J", "-C", "-R"}
                                 << "grdimage a.grd -J";
        QTest::newRow("options narrowed") << true << true << "gmt grdimage -C" << QStringList{} << "";
        QTest::newRow("options, case kept") << true << true << "grdimage -c" << QStringList{} << "";
        QTest::newRow("options of no module") << true << true << "echo -" << QStringList{} << "";
        QTest::newRow("no GMT") << false << false << "grd" << QStringList{} << "";
    }
    void completesModulesAndOptions()
    {
        QFETCH(bool, gmtFound);
        QFETCH(bool, listRead);
        QFETCH(QString, typed);
        QFETCH(QStringList, offered);
        QFETCH(QString, afterEnter);
        Fixture f;
        if (!gmtFound) f.gmt.clear();
        if (listRead) {
            f.modules.load();
            f.answerAll();
        }
        QPlainTextEdit box;
        auto* completion = new GmtCompletion(&box, f.modules);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QAbstractItemView* list = completion->completer()->popup();
        for (const QChar c : typed)
            QTest::keyClicks(list->isVisible() ? static_cast<QWidget*>(list) : &box, c);
        f.answerAll();
        if (typed.endsWith('-')) f.answerAll();  // the usage, asked for once the list was there

        QStringList shown;
        if (completion->offering())
            for (int row = 0; row < list->model()->rowCount(); ++row)
                shown << list->model()->index(row, 0).data().toString();
        QCOMPARE(shown, offered);
        QCOMPARE(f.runs().contains("--help"), gmtFound);
        if (afterEnter.isEmpty()) return;
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(box.toPlainText(), afterEnter);
        QVERIFY(!completion->offering());
    }
};

QTEST_MAIN(TestGmtHelp)
#include "test_gmt_help.moc"
