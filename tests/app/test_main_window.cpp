// Start-up, menu state by the number of editors, closing, the About window
// and the rule that shows every tool window at most once.
#include "app_fixture.h"
#include "app/frmstart.h"
#include "app/menu_tree.h"
#include "catalogue/script_templates.h"

#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <set>

using namespace mq;
using namespace mq::testing;
using Answer = platform::MessageAnswer;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void firstStartWritesFontDefaults();
    void laterStartKeepsStoredValues();
    void menusFollowTheNumberOfEditors();
    void menuTreeIsComplete();
    void toolbarHasItsButtons();
    void quitAsksEveryModifiedEditor_data();
    void quitAsksEveryModifiedEditor();
    void aboutWindowIsCentredAndShownAgain();
    void toolWindowsExistAtMostOnce();
    void clockShowsTheTime();
};

void TestMainWindow::firstStartWritesFontDefaults()
{
    AppFixture f;
    QCOMPARE(f.caption("mn_1_1"), QStringLiteral("1: "));
    QCOMPARE(f.caption("mn_2_2"), QStringLiteral("2: "));
    QCOMPARE(f.caption("mn_3_3"), QStringLiteral("3: "));
    QCOMPARE(f.caption("mn_4_4"), QStringLiteral("4: "));
    auto& stored = f.platform.settings.values;
    QCOMPARE(stored.value({"Text", "Font_Size"}), QStringLiteral("9"));
    QCOMPARE(stored.value({"Text", "Font_Name"}), QStringLiteral("Arial"));
    QCOMPARE(stored.value({"Text", "Font_Color"}), QStringLiteral("0"));
    QCOMPARE(f.main->open_forms(), qint16(0));
    QVERIFY(f.main->aboutWindow());
    QVERIFY(f.main->editors().isEmpty());
}

void TestMainWindow::laterStartKeepsStoredValues()
{
    AppFixture f({{{"Files", "1_1"}, "/data/a.bat"},
                  {{"Files", "3_3"}, "/data/c.txt"},
                  {{"Text", "Font_Size"}, "12"},
                  {{"GMT html path", "Path"}, "/usr/share/doc/gmt/html"}});
    QCOMPARE(f.caption("mn_1_1"), QStringLiteral("1: /data/a.bat"));
    QCOMPARE(f.caption("mn_2_2"), QStringLiteral("2: "));
    QCOMPARE(f.caption("mn_3_3"), QStringLiteral("3: /data/c.txt"));
    QCOMPARE(f.platform.settings.values.value({"Text", "Font_Size"}), QStringLiteral("12"));
    QCOMPARE(f.main->gmt_html_path(), QStringLiteral("/usr/share/doc/gmt/html"));
    // Only the two missing font keys were written.
    QCOMPARE(int(f.platform.settings.writes.size()), 2);
}

void TestMainWindow::menusFollowTheNumberOfEditors()
{
    AppFixture f;
    const char* editing[] = {"mn_edit", "mn_grid", "mn_map", "mn_text", "mn_import"};
    const char* always[] = {"mn_color_gmt", "mn_script", "mn_tools", "mn_window", "mn_about", "mn_file"};
    for (const char* name : editing) QVERIFY2(!f.enabled(name), name);
    for (const char* name : always) QVERIFY2(f.enabled(name), name);

    app::frmEditor* first = f.newEditor();
    for (const char* name : editing) QVERIFY2(f.enabled(name), name);
    QCOMPARE(f.panel(2), QStringLiteral("Line: 1"));
    f.newEditor();
    QCOMPARE(f.main->open_forms(), qint16(2));

    first->parentWidget()->close();
    QCOMPARE(f.main->open_forms(), qint16(1));
    for (const char* name : editing) QVERIFY2(f.enabled(name), name);

    f.main->activeEditor()->parentWidget()->close();
    QCOMPARE(f.main->open_forms(), qint16(0));
    for (const char* name : editing) QVERIFY2(!f.enabled(name), name);
    for (int panel = 2; panel <= 4; ++panel) QVERIFY(f.panel(panel).isEmpty());
    QVERIFY(!f.panel(1).isEmpty());
}

void TestMainWindow::menuTreeIsComplete()
{
    AppFixture f;
    std::set<std::string_view> names;
    for (const auto& entry : app::menuTree()) {
        QVERIFY2(names.insert(entry.name).second, entry.name.data());
        QVERIFY2(f.main->action(QString::fromUtf8(entry.name.data(), qsizetype(entry.name.size()))), entry.name.data());
    }
    // Every template hangs on a menu entry of the same caption.
    for (const auto& tpl : catalogue::scriptTemplates()) {
        const QString name = QString::fromUtf8(tpl.name.data(), qsizetype(tpl.name.size()));
        QAction* a = f.main->action(name);
        QVERIFY2(a, qPrintable(name));
        QCOMPARE(a->text(), QString::fromUtf8(tpl.caption.data(), qsizetype(tpl.caption.size())));
    }
    QCOMPARE(f.main->action("mn_rem")->shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));
    QCOMPARE(f.main->action("mn_open_command")->text(), QStringLiteral("Start a Command &Window"));
    QCOMPARE(f.main->action("mn_cut_grid")->text(), QStringLiteral("Cut && clip && sample grid"));
    QVERIFY(f.main->action("mn_line45")->isSeparator());
}

void TestMainWindow::toolbarHasItsButtons()
{
    AppFixture f;
    const QStringList keys = {"New", "Open", "Save", "Cut", "Copy", "Paste", "Undo", "Path",
                              "Name", "Color", "Lat_Lon", "cmd", "dos", "awk"};
    QStringList seen;
    int separators = 0;
    for (QAction* a : f.main->Toolbar1()->actions()) {
        if (a->isSeparator()) {
            ++separators;
            continue;
        }
        auto* button = qobject_cast<QToolButton*>(f.main->Toolbar1()->widgetForAction(a));
        QVERIFY(button);
        seen << button->property("key").toString();
    }
    QCOMPARE(seen, keys);
    QCOMPARE(separators, 2);
    QCOMPARE(f.main->toolbarButton("Name")->toolTip(), QStringLiteral("Insert File Title"));
    QVERIFY(f.main->toolbarButton("dos")->menu());
    QCOMPARE(f.main->toolbarButton("awk")->menu()->actions().size(), 5);
    QVERIFY(f.main->ImageList1().size() >= 2);
    QVERIFY(!f.main->ImageList1().at(1).isNull());
}

void TestMainWindow::quitAsksEveryModifiedEditor_data()
{
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("editorsLeft");
    QTest::newRow("cancel keeps the program") << QList<Answer>{Answer::Cancel} << false << 2;
    QTest::newRow("no ends it") << QList<Answer>{Answer::No} << true << 0;
}

void TestMainWindow::quitAsksEveryModifiedEditor()
{
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, closed);
    QFETCH(int, editorsLeft);
    AppFixture f;
    f.newEditor();                                         // unchanged: never asks
    f.newEditor()->insertAtCaret(QStringLiteral("text"));  // modified
    for (Answer a : answers) f.platform.messages.answers.enqueue(a);
    f.main->mn_close_Click();
    QCOMPARE(int(f.platform.messages.shown.size()), 1);
    const auto& asked = f.platform.messages.shown.front();
    QCOMPARE(asked.text, QStringLiteral("File  'Script*  isn't saved.\r\n\r\nDo you want to save it?"));
    QCOMPARE(asked.title, QStringLiteral("File not saved"));
    QCOMPARE(asked.icon, platform::MessageIcon::Exclamation);
    QCOMPARE(asked.buttons, platform::MessageButtons::YesNoCancel);
    QCOMPARE(f.main->isVisible(), !closed);
    QTRY_COMPARE(int(f.main->editors().size()), editorsLeft);
}

void TestMainWindow::aboutWindowIsCentredAndShownAgain()
{
    AppFixture f;
    f.main->resize(1100, 760);
    QMdiSubWindow* about = qobject_cast<QMdiSubWindow*>(f.main->aboutWindow()->parentWidget());
    QVERIFY(about);
    const QSize area = f.main->mdiArea()->viewport()->size();
    QTRY_COMPARE(about->pos(), QPoint((area.width() - about->width()) / 2, (area.height() - about->height()) / 2));
    QCOMPARE(about->windowTitle(), QStringLiteral("About Mapquill"));
    QVERIFY(f.main->aboutWindow()->lblVersion->text().startsWith(QStringLiteral("Version 3.2.0    /    ")));

    // The About command minimizes the editors and shows the window again.
    about->close();
    QTRY_VERIFY(!f.main->aboutWindow());
    for (int i = 0; i < 3; ++i) f.newEditor();
    f.main->mn_aboutabout_Click();
    QVERIFY(f.main->aboutWindow());
    for (QMdiSubWindow* sub : f.main->mdiArea()->subWindowList())
        if (qobject_cast<app::frmEditor*>(sub->widget())) QVERIFY(sub->isMinimized());

    // Its links go through the browser service.
    emit f.main->aboutWindow()->Label8->clicked();
    QCOMPARE(f.platform.browser.opened.value(0), QStringLiteral("mailto:") + app::frmstart::mailAddress());
}

void TestMainWindow::toolWindowsExistAtMostOnce()
{
    AppFixture f;
    f.trigger("mn_help");
    QWidget* help = f.main->openWindow("frm_help");
    QVERIFY(help);
    auto* text = help->findChild<QPlainTextEdit*>("Text1");
    QCOMPARE(text->toPlainText(), app::frm_help::helpText().replace("\r\n", "\n"));
    QVERIFY(text->toPlainText().contains("in:\n\nHKEY_LOCAL_MACHINE"));
    QCOMPARE(help->windowTitle(), QStringLiteral("Help & Info"));
    text->setPlainText(QStringLiteral("left as the user had it"));
    f.trigger("mn_help");
    QCOMPARE(f.main->openWindow("frm_help"), help);
    QCOMPARE(text->toPlainText(), QStringLiteral("left as the user had it"));
    help->close();
    QTRY_VERIFY(!f.main->openWindow("frm_help"));
    f.trigger("mn_help");
    QVERIFY(f.main->openWindow("frm_help") != nullptr);
    // The converter keeps what the user left in it when shown again, from
    // the menu or from the toolbar, with no editor open.
    f.trigger("mn_lat_lon_conv");
    QWidget* converter = f.main->openWindow("lat_lon_conv");
    QVERIFY(converter);
    auto* input = converter->findChild<QLineEdit*>("Text1");
    QVERIFY(input);
    input->setText(QStringLiteral("45.5"));
    f.main->Toolbar1_ButtonClick("Lat_Lon");
    QCOMPARE(f.main->openWindow("lat_lon_conv"), converter);
    QCOMPARE(input->text(), QStringLiteral("45.5"));
    f.trigger("mn_gridding_step_tool");
    QVERIFY(f.main->openWindow("grid_space_calc"));
    // Windows that are not there yet do nothing harmful.
    f.main->Toolbar1_ButtonClick("Color");
    f.main->Toolbar1_ButtonClick("color");
    QVERIFY(f.main->isVisible());
    // The file tools open from the Tools menu.
    f.trigger("mn_swiss");
    QVERIFY(f.main->openWindow("frm_swiss"));
    f.trigger("mn_replace");
    QVERIFY(f.main->openWindow("frm_replace"));
}

void TestMainWindow::clockShowsTheTime()
{
    AppFixture f;
    f.main->statusPanel(1)->clear();
    QTRY_VERIFY_WITH_TIMEOUT(!f.panel(1).isEmpty(), 2500);
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
