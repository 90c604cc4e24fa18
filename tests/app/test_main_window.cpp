// Start-up, the menus and toolbar as shown, the menu state by the number of
// editors, closing, the About window and the tool windows, each shown once.
#include "app_fixture.h"
#include "app/frmstart.h"
#include "app/menu_tree.h"
#include "app/tool_windows.h"
#include "catalogue/script_templates.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <set>

using namespace mq;
using namespace mq::testing;
using Answer = platform::MessageAnswer;

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// Every menu entry as the user meets it (name, caption, shortcut, state) and
// every toolbar button (key, tooltip, the command it shares, its snippets).
QStringList shownCommands(const app::MDIForm1& main)
{
    QStringList lines;
    const std::function<void(QAction*, int)> entry = [&](QAction* a, int depth) {
        QString line = QString(depth * 2, ' ') + a->objectName();
        line += a->isSeparator() ? QStringLiteral(" -") : " \"" + a->text() + '"';
        if (!a->shortcut().isEmpty()) line += ' ' + a->shortcut().toString();
        if (!a->isEnabled()) line += QStringLiteral(" disabled");
        if (!a->isVisible()) line += QStringLiteral(" hidden");
        if (a->isCheckable()) line += a->isChecked() ? QStringLiteral(" checked") : QStringLiteral(" unchecked");
        if (!a->icon().isNull() && a->isIconVisibleInMenu()) line += QStringLiteral(" picture");
        lines << line;
        if (a->menu())
            for (QAction* inner : a->menu()->actions()) entry(inner, depth + 1);
    };
    for (QAction* a : main.menuBar()->actions()) entry(a, 0);
    for (QAction* a : main.Toolbar1()->actions()) {
        auto* button = qobject_cast<QToolButton*>(main.Toolbar1()->widgetForAction(a));
        if (!button) {
            lines << QStringLiteral("toolbar -");
            continue;
        }
        QString line = "toolbar " + button->property("key").toString() + " \"" + button->toolTip() + "\" ";
        line += button->defaultAction() ? button->defaultAction()->objectName() : QStringLiteral("(menu)");
        if (!button->isEnabled()) line += QStringLiteral(" disabled");
        if (button->icon().isNull()) line += QStringLiteral(" no picture");
        lines << line;
        if (button->menu())
            for (QAction* snippet : button->menu()->actions()) entry(snippet, 1);
    }
    return lines;
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void firstStart()
    {
        AppFixture f;
        compareGolden(QStringLiteral("commands_at_start.txt"), shownCommands(*f.main));
        QCOMPARE(f.platform.settings.values,
                 (Stored{{{"Text", "Font_Size"}, "9"}, {{"Text", "Font_Name"}, "Arial"}, {{"Text", "Font_Color"}, "0"}}));
        QCOMPARE(f.main->open_forms(), qint16(0));
        QVERIFY(f.main->aboutWindow());
        QVERIFY(f.main->editors().isEmpty());
        // Every template hangs on a menu entry of the same caption; names are unique.
        for (const auto& tpl : catalogue::scriptTemplates()) {
            QAction* a = f.main->action(qs(tpl.name));
            QVERIFY2(a && a->text() == qs(tpl.caption), tpl.name.data());
        }
        std::set<std::string_view> names;
        for (const auto& entry : app::menuTree()) QVERIFY2(names.insert(entry.name).second, entry.name.data());
    }

    void laterStartKeepsStoredValues()
    {
        AppFixture f({{{"Files", "1_1"}, "/data/a.bat"},
                      {{"Files", "3_3"}, "/data/c.txt"},
                      {{"Text", "Font_Size"}, "12"},
                      {{"GMT html path", "Path"}, "/usr/share/doc/gmt/html"}});
        // Shown as the platform writes paths.
        QCOMPARE(f.recentCaptions(), QDir::toNativeSeparators("1: /data/a.bat|2: |3: /data/c.txt|4: ").split('|'));
        QCOMPARE(f.platform.settings.values.value({"Text", "Font_Size"}), QStringLiteral("12"));
        QCOMPARE(f.main->gmt_html_path(), QStringLiteral("/usr/share/doc/gmt/html"));
        // Only the two missing font keys were written.
        QCOMPARE(int(f.platform.settings.writes.size()), 2);
    }

    void menusFollowTheNumberOfEditors()
    {
        AppFixture f;
        const auto editingMenus = [&](bool on) {
            for (const char* name : {"mn_edit", "mn_grid", "mn_map", "mn_text", "mn_import"})
                QVERIFY2(f.enabled(name) == on, name);
            for (const char* name : {"mn_color_gmt", "mn_script", "mn_tools", "mn_window", "mn_about", "mn_file"})
                QVERIFY2(f.enabled(name), name);
            // Run follows the kind of script (test_script_run).
            for (QToolButton* button : f.main->Toolbar1()->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
                QVERIFY2(button->isEnabled() || button->property("key") == "Run", qPrintable(button->objectName()));
        };
        editingMenus(false);
        app::frmEditor* first = f.newEditor();
        editingMenus(true);
        QCOMPARE(f.panel(2), QStringLiteral("Line: 1"));
        f.newEditor();
        QCOMPARE(f.main->open_forms(), qint16(2));
        first->parentWidget()->close();
        QCOMPARE(f.main->open_forms(), qint16(1));
        editingMenus(true);
        f.main->activeEditor()->parentWidget()->close();
        QCOMPARE(f.main->open_forms(), qint16(0));
        editingMenus(false);
        QCOMPARE(f.panels(), QStringList({"", "", ""}));
        QVERIFY(!f.panel(1).isEmpty());
    }

    void aboutWindowIsCentredAndShownAgain()
    {
        AppFixture f;
        f.main->resize(1100, 760);
        QMdiSubWindow* about = qobject_cast<QMdiSubWindow*>(f.main->aboutWindow()->parentWidget());
        const QSize area = f.main->mdiArea()->viewport()->size();
        QTRY_COMPARE(about->pos(), QPoint((area.width() - about->width()) / 2, (area.height() - about->height()) / 2));
        QCOMPARE(about->windowTitle(), QStringLiteral("About Mapquill"));
        QVERIFY(f.main->aboutWindow()->lblVersion->text().startsWith(QStringLiteral("Version 3.2.0    /    ")));

        // The About command minimizes the editors and shows the window again.
        about->close();
        QTRY_VERIFY(!f.main->aboutWindow());
        for (int i = 0; i < 3; ++i) f.newEditor();
        f.trigger("mn_aboutabout");
        QVERIFY(f.main->aboutWindow());
        for (app::frmEditor* editor : f.main->editors()) QVERIFY(editor->parentWidget()->isMinimized());

        // Its links go through the browser service.
        emit f.main->aboutWindow()->Label8->clicked();
        QCOMPARE(f.platform.browser.opened.value(0), QStringLiteral("mailto:") + app::frmstart::mailAddress());
    }

    // Every menu entry that shows a window shows one of the right class, once;
    // a toolbar button that shows one (its action is the menu entry's) too.
    void toolWindowsExistAtMostOnce()
    {
        AppFixture f;
        const QStringList rows = QString::fromUtf8(read_file(MQ_TEST_DATA_DIR "/data/tool_windows.txt")).split('\n');
        QCOMPARE(qsizetype(app::toolWindowTable().size()), rows.size() - 1);
        for (const QString& row : rows.mid(0, rows.size() - 1)) {
            const QString entry = row.section(' ', 0, 0), windowName = row.section(' ', 1);
            f.trigger(entry);
            QWidget* window = f.main->openWindow(windowName);
            QVERIFY2(window && window->isVisible(), qPrintable(entry + " shows no window"));
            QCOMPARE(QString::fromLatin1(window->metaObject()->className()).section("::", -1), windowName);
            f.trigger(entry);
            QCOMPARE(f.main->openWindow(windowName), window);
            window->close();
            QTRY_VERIFY(!f.main->openWindow(windowName));
        }
        for (const app::ToolWindowEntry& row : app::toolWindowTable()) {
            if (row.toolbarKey.empty()) continue;
            f.main->toolbarButton(qs(row.toolbarKey))->click();
            QWidget* window = f.main->openWindow(qs(row.windowName));
            QVERIFY2(window && window->isVisible(), row.windowName.data());
            f.main->toolbarButton(qs(row.toolbarKey))->click();
            QCOMPARE(f.main->openWindow(qs(row.windowName)), window);
        }
        f.main->Toolbar1_ButtonClick("color");   // no such key: nothing happens
        QVERIFY(f.main->isVisible());
    }

    // A window shown again keeps what the user left in it; closed, it is made anew.
    void helpWindowKeepsItsText()
    {
        AppFixture f;
        f.trigger("mn_help");
        QWidget* help = f.main->openWindow("frm_help");
        auto* text = help->findChild<QPlainTextEdit*>("Text1");
        QCOMPARE(text->toPlainText(), app::frm_help::helpText().replace("\r\n", "\n"));
        QVERIFY(text->toPlainText().contains("in:\n\nHKEY_LOCAL_MACHINE"));
        QCOMPARE(help->windowTitle(), QStringLiteral("Help & Info"));
        text->setPlainText(QStringLiteral("left as the user had it"));
        f.trigger("mn_help");
        QCOMPARE(text->toPlainText(), QStringLiteral("left as the user had it"));
        help->close();
        QTRY_VERIFY(!f.main->openWindow("frm_help"));
        f.trigger("mn_help");
        QVERIFY(f.main->openWindow("frm_help"));
    }

    void clockShowsTheTime()
    {
        AppFixture f;
        f.main->statusPanel(1)->clear();
        QTRY_VERIFY_WITH_TIMEOUT(!f.panel(1).isEmpty(), 2500);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
