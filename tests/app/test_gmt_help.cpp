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
#include <QTemporaryDir>
#include <QtTest>

using namespace mq::app;

namespace {

// What the scripted gmt prints: its module list, a usage for any module but
// grdcut, for which it finds no module.
QByteArray printed(const QString& argument)
{
    if (argument == "--help")
        return "Module name:     Purpose of core module:\n-------------------------------------\n"
               "coast            Plot continents, countries, shorelines, rivers, and borders\n"
               "grdcut           Extract subregion from a grid or image\n"
               "grdimage         Project and plot grids or images\n"
               "grdinfo          Extract information from 2-D grids or 3-D cubes\n"
               "mapa01           A\nmapa02           A\nmapa03           A\nmapa04           A\n"
               "mapa05           A\nmapa06           A\nmapa07           A\nmapa08           A\n"
               "mapa09           A\nmapa10           A\nmapa11           A\nmapa12           A\n"
               "mapa13           A\n";
    if (argument == "--show-classic") return "grdcut\ngrdimage\ngrdinfo\npscoast\n";
    if (argument == "grdcut") return "\nERROR: No module named grdcut was found.\n";
    return "gmt " + argument.toUtf8() + " [core] 6.4.0 - Project and plot grids or images\n\nusage: gmt " +
           argument.toUtf8() +
           " <ingrid> -J<args> [-C<cpt>] [-R<region>]\n\n  -J Select map proJection.\n"
           "  -C<cpt>\n     Color palette file. Optionally more.\n  -R<region>\n     Specify the region.\n";
}

struct Fixture {
    mq::testing::ScriptedPlatform platform;
    QString gmt;
    GmtModules modules{platform.services(), [this] { return gmt; }};
    std::size_t answered = 0;

    Fixture(bool gmtFound, bool listRead) : gmt(gmtFound ? "gmt" : "")
    {
        if (!listRead) return;
        modules.load();
        answerAll();
    }
    // Every gmt run so far ends, having printed what gmt prints.
    void answerAll()
    {
        for (auto& runs = platform.programs.captured; answered < runs.size(); ++answered)
            runs[answered].done({true, 63, printed(runs[answered].arguments.value(0))});
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
    // The texts of the installed GMT, read through the platform as the program reads them.
    void readsTheInstalledGmt()
    {
        const QString gmt = QString::fromStdString(gmt_program(""));
        if (gmt.isEmpty()) QSKIP("GMT is not installed");
        mq::platform::QtPrograms programs;
        QHash<QString, QByteArray> out;
        const QStringList asked = {"--help", "--show-classic", "grdimage", "pscoast", "psxy", "surface"};
        for (const QString& argument : asked)
            programs.capture(gmt, {argument}, [&out, argument](const auto& o) { out[argument] = o.output; });
        QTRY_COMPARE_WITH_TIMEOUT(out.size(), asked.size(), 30000);

        std::map<std::string, std::string> purposes;
        for (const GmtModule& m :
             parse_gmt_modules(out["--help"].toStdString(), out["--show-classic"].toStdString()))
            purposes[m.name] = m.purpose;
        QCOMPARE(purposes["psxy"], purposes["plot"]);
        for (const QByteArray& name : out["--show-classic"].trimmed().split('\n'))  // each with its purpose
            QVERIFY2(!purposes[name.trimmed().toStdString()].empty(), name);

        struct Case {
            const char* module;
            std::string purpose, flag, syntax, text;
        };
        const Case cases[] = {
            {"grdimage", "Project and plot grids or images", "-C", "-C<cpt>",
             "Color palette file to convert grid values to colors."},
            {"grdimage", "", "-K", "-K", "Allow for more plot code to be appended later."},
            {"grdimage", "", "-Y", "-Y[a|c|f|r]<yshift>", "Shift origin of plot to (<xshift>, <yshift>)."},
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
            if (!c.purpose.empty()) QCOMPARE(usage->purpose, c.purpose);
            QVERIFY(usage->synopsis.starts_with("gmt " + usage->module + " "));
            QVERIFY(usage->synopsis.find("\xE2\x80\xA6") == std::string::npos);  // wrapped lines joined
            QSet<QString> flags;
            for (const GmtOption& option : usage->options) {
                QVERIFY2(!option.text.empty() && option.syntax.starts_with(option.flag),
                         option.syntax.c_str());
                flags << QString::fromStdString(option.flag);
                if (option.flag == c.flag)
                    QCOMPARE(option.syntax + " " + option.text, c.syntax + " " + c.text);
            }
            QCOMPARE(flags.size(), int(usage->options.size()));  // each once, -J and -Jz too
            for (const char* flag : {"-J", "-R", "-V", c.flag.c_str()}) QVERIFY2(flags.contains(flag), flag);
            QVERIFY(!flags.contains("-^") && !flags.contains("-?"));
        }
    }

    // F1 with the caret ('#') on a module's name fills the dock; its usage is read once.
    void showsTheUsageOfTheModuleAtTheCaret()
    {
        const QString grdimage = "Project and plot grids or images";
        struct Case {
            QString line;
            bool gmtFound, listRead;  // the module list was read before F1
            QString module, purpose, usageStart;
            QString page;  // the manual's page the link opens; empty: no link
        } const cases[] = {
            {"grdi#mage a.grd -JM15c", true, false, "grdimage", grdimage, "gmt grdimage [core]", "grdimage"},
            {"gmt #coast -R0/1/0/1", true, true, "coast", grdimage, "gmt coast [core]", "coast"},
            {"@g#mt pscoast -W", true, true, "pscoast", grdimage, "gmt pscoast [core]",
             "coast"},  // modern page
            {"grdcut# in.grd", true, false, "grdcut", "gmt grdcut printed no usage.", "ERROR: No module",
             "grdcut"},
            {"gmt nosuch# -R", true, true, "nosuch", "\u201Cnosuch\u201D is not a GMT module.", "", ""},
            {"grdimage# a.grd", false, false, "grdimage", QString::fromStdString(gmt_missing_text()), "", ""},
        };
        for (const Case& c : cases) {
            Fixture f(c.gmtFound, c.listRead);
            QTemporaryDir manual;
            mq::testing::write_file(manual.filePath(c.page + ".html"), "<html/>");
            GmtHelpDock dock(f.platform.services(), f.modules, [&] { return manual.path(); });
            std::string line = c.line.toStdString();
            const std::size_t caret = line.find('#');
            const auto word = module_at(line.erase(caret, 1), caret);
            QVERIFY2(word, qPrintable(c.line));
            dock.showFor(QString::fromStdString(word->name));
            f.answerAll();
            QCOMPARE(dock.module(), c.module);
            QCOMPARE(dock.purpose(), c.purpose);
            QVERIFY2(dock.usageText().startsWith(c.usageStart), qPrintable(dock.usageText()));
            QCOMPARE(dock.offersManualPage(), !c.page.isEmpty());
            if (dock.offersManualPage()) emit dock.findChild<QLabel*>("manualLink")->linkActivated("page");
            QCOMPARE(f.platform.browser.opened.join(""),
                     c.page.isEmpty() ? "" : QDir::toNativeSeparators(manual.filePath(c.page + ".html")));
            dock.showFor(c.module);
            QCOMPARE(f.runs().count(c.module), c.gmtFound && c.module != "nosuch" ? 1 : 0);
        }
    }

    // Typing offers module names where a command starts and options after the
    // module; Enter takes the chosen one.
    void completesModulesAndOptions()
    {
        const QStringList grd = {"grdcut", "grdimage", "grdinfo"}, none;
        QStringList maps;  // more than the list shows at once
        for (int i = 1; i <= 13; ++i) maps << QString("mapa%1").arg(i, 2, 10, QChar('0'));
        struct Case {
            bool gmtFound, listRead;  // before typing; otherwise it ends after
            QString typed;
            QStringList offered;
            QString afterEnter;
        } const cases[] = {
            {true, true, "grd", grd, "grdcut"},
            {true, true, "map", maps, "mapa01"},
            {true, false, "grd", grd, "grdcut"},
            {true, true, "gmt GRDI", {"grdimage", "grdinfo"}, "gmt grdimage"},
            {true, true, "x | psc", {"pscoast"}, "x | pscoast"},
            {true, true, "g", none, ""},
            {true, true, "echo grd", none, ""},
            {true, true, "grdimage a.grd -", {"-J", "-C", "-R"}, "grdimage a.grd -J"},
            {true, true, "gmt grdimage -C", none, ""},  // nothing more to offer
            {true, true, "grdimage -c", none, ""},
            {true, true, "echo -", none, ""},
            {false, false, "grd", none, ""},
        };
        for (const Case& c : cases) {
            Fixture f(c.gmtFound, c.listRead);
            QPlainTextEdit box;
            auto* completion = new GmtCompletion(&box, f.modules);
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            QAbstractItemView* list = completion->completer()->popup();
            for (const QChar ch : c.typed) QTest::keyClicks(list->isVisible() ? (QWidget*)list : &box, ch);
            f.answerAll();
            f.answerAll();  // the usage, asked for once the list was read
            QStringList shown;
            for (int row = 0; completion->offering() && row < list->model()->rowCount(); ++row)
                shown << list->model()->index(row, 0).data().toString();
            QCOMPARE(shown, c.offered);
            if (const int rows = std::min<int>(shown.size(), 12); rows > 0)  // whole rows, nothing more
                QCOMPARE(list->visualRect(list->model()->index(rows - 1, 0)).bottom(),
                         list->viewport()->height() - 1);
            QCOMPARE(f.runs().contains("--help"), c.gmtFound);
            if (c.afterEnter.isEmpty()) continue;
            QTest::keyClick(list, Qt::Key_Return);
            QCOMPARE(box.toPlainText(), c.afterEnter);
            QVERIFY(!completion->offering());
        }
    }
};

QTEST_MAIN(TestGmtHelp)
#include "test_gmt_help.moc"
