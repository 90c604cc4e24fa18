// The tool-window table: every menu entry that shows a window shows one of
// the right class, once, and the toolbar buttons share those windows.
#include "app/tool_windows.h"
#include "app_fixture.h"

#include <QToolButton>

using mq::app::ToolWindowEntry;
using mq::app::toolWindowTable;

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// The menu entries that show a window, with the window each shows.
const QList<QPair<QString, QString>> kWindowEntries = {
    {"mn_lat_lon_conv", "lat_lon_conv"},   {"mn_gridding_step_tool", "grid_space_calc"},
    {"mn_UTM_LL", "frm_UTM_LL"},           {"mn_swiss", "frm_swiss"},
    {"mn_replace", "frm_replace"},         {"mn_bin_to_ascii", "frm_binary2ascii"},
    {"mn_calc_pos_track", "frm_track_calc"}, {"mn_insonified", "frm_footprint"},
    {"mn_binary2ascii", "frm_SRTM"},       {"mn_gmt_defaults", "frm_gmt_def"},
    {"mn_select_color", "Form_color"},     {"mn_help", "frm_help"},
};

}  // namespace

class TestToolWindows : public QObject {
    Q_OBJECT

private slots:
    void every_entry_shows_its_window();
    void toolbar_buttons_show_the_same_window();
};

void TestToolWindows::every_entry_shows_its_window()
{
    mq::testing::AppFixture f;
    QCOMPARE(qsizetype(toolWindowTable().size()), kWindowEntries.size());
    for (const auto& [entry, windowName] : kWindowEntries) {
        QAction* action = f.main->action(entry);
        QVERIFY2(action, qPrintable(entry));
        action->trigger();
        QWidget* window = f.main->openWindow(windowName);
        QVERIFY2(window, qPrintable(entry + " shows no window"));
        QCOMPARE(QString::fromLatin1(window->metaObject()->className()).section("::", -1), windowName);
        QVERIFY(window->isVisible());
        action->trigger();   // a second time: the same window
        QCOMPARE(f.main->openWindow(windowName), window);
    }
}

void TestToolWindows::toolbar_buttons_show_the_same_window()
{
    mq::testing::AppFixture f;
    for (const ToolWindowEntry& row : toolWindowTable()) {
        if (row.toolbarKey.empty()) continue;
        QToolButton* button = f.main->toolbarButton(qs(row.toolbarKey));
        QVERIFY2(button, row.toolbarKey.data());
        button->click();
        QWidget* window = f.main->openWindow(qs(row.windowName));
        QVERIFY2(window && window->isVisible(), row.windowName.data());
        f.main->action(qs(row.menuEntry))->trigger();
        QCOMPARE(f.main->openWindow(qs(row.windowName)), window);
    }
}

QTEST_MAIN(TestToolWindows)
#include "test_window_table.moc"
