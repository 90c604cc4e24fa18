// The SRTM, binary-to-text and track windows driven as a user would, with
// the scripted platform standing in for dialogs, message boxes and program
// start.
#include "platform/scripted_platform.h"
#include "platform/window_driver.h"
#include "tools/tile_fixture.h"
#include "tools/ui/file_tool_parts.h"
#include "tools/ui/frm_binary2ascii.h"
#include "tools/ui/frm_srtm.h"
#include "tools/ui/frm_track_calc.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using mq::platform::MessageIcon;
using mq::testing::make_tile;
using mq::testing::read_file;
using mq::testing::ScriptedDialog;
using mq::testing::write_file;

namespace {

using mq::testing::child;
using mq::testing::click;
using mq::testing::set_text;
using mq::testing::text_of;

// The window's context as the main window builds it: its open-file dialog
// runs the shared dialog and returns the path.
struct Context {
    mq::testing::ScriptedPlatform platform;
    mq::tools::ToolContext context()
    {
        mq::tools::ToolContext c;
        c.services = platform.services();
        c.openFileDialog = [this] {
            return platform.dialog.showOpen() ? platform.dialog.state().fileName : QString();
        };
        return c;
    }
};

void wait_until_idle(QWidget& w, bool (*running)(QWidget&))
{
    QTRY_VERIFY_WITH_TIMEOUT(!running(w), 60000);
}

bool srtm_running(QWidget& w) { return static_cast<frm_SRTM&>(w).running(); }
bool bin_running(QWidget& w) { return static_cast<frm_binary2ascii&>(w).running(); }
bool track_running(QWidget& w) { return static_cast<frm_track_calc&>(w).running(); }

}  // namespace

class TestToolWindows : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }
    void srtm_starts_as_described();
    void srtm_picking_a_tile_data();
    void srtm_picking_a_tile();
    void srtm_key_filters();
    void srtm_drag_between_path_boxes();
    void srtm_run_data();
    void srtm_run();
    void srtm_stop_and_second_start();
    void binary_window();
    void track_window();

private:
    QString path(const QString& name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestToolWindows::srtm_starts_as_described()
{
    Context c;
    frm_SRTM w(c.context());
    QCOMPARE(w.windowTitle(), QString("Convert SRTM Data (*.hgt)"));
    const QList<QPair<QString, QString>> captions = {
        {"Label1", "Input file: Binary (*.hgt)"}, {"Label2", "Output file:"}, {"Frame3", "Input"},
        {"Frame4", "Output"}, {"opt_low_end", "Low Endian:"}, {"opt_big_end", "Big Endian:"},
        {"opt_binary", "Binary:"}, {"opt_ascii", "ASCII:"}, {"Label5", "South coordinate:"},
        {"West", "West coordinate:"}, {"Label6", "Min Z-value:"}, {"Label7", "Max Z-Value:"},
        {"Min_Z", "0.5"}, {"Max_Z", "5000"}, {"ck_make_grid", "Make Grid "}, {"Label4", "Row #:"},
        {"Command4", "Start"}, {"Command3", "Stop"}, {"Text1", ""}, {"Text2", ""}, {"Text4", ""}, {"Text5", ""}};
    for (const auto& [name, caption] : captions) QCOMPARE(text_of(w, name), caption);
    QCOMPARE(child<QRadioButton>(w, "opt_big_end")->toolTip(), QString("UNIX byte order"));
    QCOMPARE(child<QRadioButton>(w, "opt_low_end")->toolTip(), QString("DOS byte order"));
    QCOMPARE(child<QRadioButton>(w, "opt_ascii")->toolTip(), QString("ASCII data"));
    QVERIFY(child<QRadioButton>(w, "opt_big_end")->isChecked());
    QVERIFY(child<QRadioButton>(w, "opt_binary")->isChecked());
    QVERIFY(child<QCheckBox>(w, "ck_make_grid")->isChecked());
}

void TestToolWindows::srtm_picking_a_tile_data()
{
    QTest::addColumn<QString>("picked");   // empty: cancelled
    QTest::addColumn<QStringList>("boxes");   // Text1, Text2, Text5, Text4
    QTest::addColumn<QString>("grid");
    QTest::newRow("north east") << "/srtm/N45E010.hgt"
                                << QStringList{"/srtm/N45E010.hgt", "/srtm/N45E010.xyz", "45", "010"} << "/srtm/N45E010.grd";
    QTest::newRow("lower case") << "/srtm/n45e010.hgt" << QStringList{"/srtm/n45e010.hgt", "/srtm/n45e010.xyz", "1", "2"}
                                << "/srtm/n45e010.grd";
    QTest::newRow("not a tile") << "/srtm/N45E010.dem" << QStringList{"/srtm/N45E010.dem", "out", "1", "2"} << "";
    QTest::newRow("cancelled") << "" << QStringList{"", "out", "1", "2"} << "";
}

void TestToolWindows::srtm_picking_a_tile()
{
    QFETCH(QString, picked);
    QFETCH(QStringList, boxes);
    Context c;
    if (!picked.isEmpty()) c.platform.dialog.answers.enqueue(ScriptedDialog::accept(picked));
    frm_SRTM w(c.context());
    set_text(w, "Text2", "out");
    set_text(w, "Text5", "1");
    set_text(w, "Text4", "2");
    click(w, "Command1");
    QCOMPARE(c.platform.dialog.shown.size(), std::size_t(1));
    QCOMPARE(c.platform.dialog.shown[0].state.filterIndex, 10);
    QVERIFY(c.platform.dialog.shown[0].state.explorerStyle);
    QCOMPARE((QStringList{text_of(w, "Text1"), text_of(w, "Text2"), text_of(w, "Text5"), text_of(w, "Text4")}), boxes);
    QTEST(w.gridName(), "grid");
}

void TestToolWindows::srtm_key_filters()
{
    Context c;
    frm_SRTM w(c.context());
    for (const char* name : {"Min_Z", "Text4"}) {
        auto* box = child<QLineEdit>(w, name);
        box->clear();
        QTest::keyClicks(box, "a-1.5/x9");
        QCOMPARE(box->text(), QString("-1.5/9"));
    }
}

void TestToolWindows::srtm_drag_between_path_boxes()
{
    Context c;
    frm_SRTM w(c.context());
    auto* target = child<QLineEdit>(w, "Text2");
    target->setText("/old/name.xyz");
    target->setSelection(5, 4);   // "name"
    QVERIFY(target->acceptDrops() && child<QLineEdit>(w, "Text1")->acceptDrops());
    auto* drag = w.findChild<mq::tools::PathDrag*>();
    QVERIFY(drag);
    drag->dropText(target, "N45E010");
    QCOMPARE(target->text(), QString("/old/N45E010.xyz"));
    QCOMPARE(drag->dragData(), QString("N45E010"));
}

void TestToolWindows::srtm_run_data()
{
    QTest::addColumn<int>("tile_bytes");   // 0: a whole tile
    QTest::addColumn<bool>("make_grid");
    QTest::addColumn<bool>("pick");        // through Command1, or typed
    QTest::newRow("grid") << 0 << true << true;
    QTest::newRow("no grid") << 0 << false << true;
    QTest::newRow("typed paths") << 0 << true << false;
    QTest::newRow("short tile") << 1000 << true << true;
}

void TestToolWindows::srtm_run()
{
    QFETCH(int, tile_bytes);
    QFETCH(bool, make_grid);
    QFETCH(bool, pick);
    const QString tile = path("N45E010.hgt");
    QVERIFY(write_file(tile, tile_bytes ? QByteArray(tile_bytes, '\0') : QByteArray::fromStdString(make_tile(1201, [](int, int) { return 50; }))));
    Context c;
    c.platform.dialog.answers.enqueue(ScriptedDialog::accept(tile));
    frm_SRTM w(c.context());
    w.setBatchFolder(path("batch"));
    if (pick) {
        click(w, "Command1");
    } else {
        set_text(w, "Text1", tile);
        set_text(w, "Text2", path("typed.xyz"));
        set_text(w, "Text5", "45");
        set_text(w, "Text4", "10");
    }
    child<QCheckBox>(w, "ck_make_grid")->setChecked(make_grid);
    click(w, "Command4");
    wait_until_idle(w, srtm_running);
    QCOMPARE(text_of(w, "Label4"), QString("Row #:"));
    const auto& messages = c.platform.messages.shown;
    QCOMPARE(messages.size(), std::size_t(1));
    const QString xyz = pick ? path("N45E010.xyz") : path("typed.xyz");
    const QString grid = pick ? path("N45E010.grd") : path("typed.grd");
    if (tile_bytes) {
        QCOMPARE(messages[0].text, "62  " + tile + ": the tile has 1000 bytes; a tile of 1201 x 1201 samples has "
                                               "2884802 bytes (3601 x 3601 samples: 25934402)");
        QCOMPARE(messages[0].title, QString("Convert SRTM Data (*.hgt)"));
        QVERIFY(c.platform.programs.started.empty());
        QVERIFY(!QFile::exists(xyz));
        return;
    }
    QCOMPARE(messages[0].text, "Converting finished, gridding in progress!\r\nYour grid will be saved as: " + grid);
    QCOMPARE(messages[0].icon, MessageIcon::Information);
    QCOMPARE(messages[0].title, QString("*.hgt convert!"));
    QCOMPARE(QFileInfo(xyz).size(), 1442401 * 24);
    QCOMPARE(QFile::exists(w.batchPath()), make_grid);
    QCOMPARE(c.platform.programs.started.size(), std::size_t(make_grid ? 1 : 0));
    if (!make_grid) return;
    const auto& started = c.platform.programs.started[0];
    QVERIFY(started.program.endsWith("mapquill-tools"));
    QCOMPARE(started.arguments, (QStringList{"run-batch", w.batchPath()}));
    QCOMPARE(started.workingDir, path("batch"));
    QVERIFY(started.minimized);
    const QByteArray batch = read_file(w.batchPath());
    QVERIFY(batch.contains("\r\nsurface  " + xyz.toUtf8() + " -Gx_srtm.grd -I3c -R10/11/45/46 -H0 -bi3 -V\r\n") ||
            batch.contains("\r\nsurface  " + xyz.toUtf8() + " -Gx_srtm.grd -I3c -R010/11/45/46 -H0 -bi3 -V\r\n"));
    QVERIFY(batch.contains(" OR -V = " + grid.toUtf8() + "\r\ndel x_*.*"));
}

void TestToolWindows::srtm_stop_and_second_start()
{
    // A one arc-second tile runs long enough to watch and stop.
    QVERIFY(write_file(path("N45E010.hgt"), QByteArray::fromStdString(make_tile(3601, [](int, int) { return 50; }))));
    Context c;
    c.platform.dialog.answers.enqueue(ScriptedDialog::accept(path("N45E010.hgt")));
    frm_SRTM w(c.context());
    w.setBatchFolder(path("batch"));
    click(w, "Command1");
    click(w, "Command4");
    QVERIFY(w.running());
    click(w, "Command4");   // refused while running
    QTRY_VERIFY_WITH_TIMEOUT(text_of(w, "Label4").startsWith("Row #: "), 20000);
    QVERIFY(text_of(w, "Label4").mid(7).toInt() % 10 == 0);
    click(w, "Command3");
    wait_until_idle(w, srtm_running);
    QVERIFY(c.platform.messages.shown.empty());
    QVERIFY(c.platform.programs.started.empty());
    QVERIFY(!QFile::exists(w.batchPath()));
    const qint64 size = QFileInfo(path("N45E010.xyz")).size();   // closed, whole records
    QVERIFY(size > 0 && size < 3601LL * 3601 * 24 && size % 24 == 0);
}

void TestToolWindows::binary_window()
{
    Context c;
    frm_binary2ascii w(c.context());
    QCOMPARE(w.windowTitle(), QString("Binary to ASCII"));
    const QList<QPair<QString, QString>> captions = {{"Label1", "Binary Input file (double !! ): "},
                                                     {"Label2", "ASCII output file:"}, {"Label4", "Row #:"},
                                                     {"Command4", "Start"}, {"Command3", "Stop"}};
    for (const auto& [name, caption] : captions) QCOMPARE(text_of(w, name), caption);

    QVERIFY(write_file(path("in.bin"), QByteArray::fromStdString(mq::testing::doubles({10, 45.5, -120, 10.1, 45.5, -121})) + "abc"));
    c.platform.dialog.answers.enqueue(ScriptedDialog::accept(path("in.bin")));
    c.platform.dialog.answers.enqueue(ScriptedDialog::accept(path("out.txt")));
    click(w, "Command1");
    click(w, "Command2");
    QCOMPARE(c.platform.dialog.shown[0].state.filterIndex, 10);
    click(w, "Command4");
    wait_until_idle(w, bin_running);
    QCOMPARE(read_file(path("out.txt")), QByteArray("10\t45.5\t-120\r\n10.1\t45.5\t-121\r\n"));
    QCOMPARE(text_of(w, "Label4"), QString("Converting finished! 3 bytes left over at the end (less than one record)."));
    QVERIFY(c.platform.messages.shown.empty());

    set_text(w, "Text1", path("missing.bin"));
    click(w, "Command4");
    wait_until_idle(w, bin_running);
    QCOMPARE(text_of(w, "Label4"), QString("Row #:"));
    QCOMPARE(c.platform.messages.shown.size(), std::size_t(1));
    QVERIFY(c.platform.messages.shown[0].text.startsWith("53  " + path("missing.bin") + ": cannot open the file"));
    QCOMPARE(read_file(path("out.txt")), QByteArray("10\t45.5\t-120\r\n10.1\t45.5\t-121\r\n"));
}

void TestToolWindows::track_window()
{
    Context c;
    frm_track_calc w(c.context());
    QCOMPARE(w.windowTitle(), QString("Calculate Positions Along a Track"));
    const QList<QPair<QString, QString>> captions = {
        {"Label3", "X-Axis:"}, {"Label2", "to"}, {"Label4", "Y-Axis:"}, {"Label6", "to"},
        {"Label5", "Number of samples:"}, {"Text7", "100"}, {"Label1", "Track output file (ASCII):"},
        {"Command2", "Start"}};
    for (const auto& [name, caption] : captions) QCOMPARE(text_of(w, name), caption);

    c.platform.dialog.answers.enqueue(ScriptedDialog::accept(path("track.txt")));
    click(w, "Command1");
    const auto& shown = c.platform.dialog.shown.at(0);
    QCOMPARE(shown.kind, ScriptedDialog::Kind::Save);
    QCOMPARE(shown.state.filter, QString("All Files (*.*)|*.*|Text Files(*.txt)|*.txt|Batch Files (*.bat)|*.bat|"
                                         "Color Files (*.cpt)|*.cpt|LaLo ASCII (*.lalo)|*.lalo|xyz ASCII (*.xyz)|"
                                         "*.xyz|Awk script (*.awk)|*.awk"));
    QCOMPARE(shown.state.filterIndex, 6);
    QVERIFY(shown.state.cancelError && shown.state.hideReadOnly);
    QCOMPARE(text_of(w, "Text1"), path("track.txt"));

    set_text(w, "tx_1", "-10:30");
    set_text(w, "tx_2", "-9:30");
    set_text(w, "ty_1", "54");
    set_text(w, "ty_2", "54,5");
    set_text(w, "Text7", "2");
    click(w, "Command2");
    wait_until_idle(w, track_running);
    QCOMPARE(read_file(path("track.txt")), QByteArray("-10.5\t54\r\n-10\t54.25\r\n-9.5\t54.5\r\n"));
    QVERIFY(c.platform.messages.shown.empty());

    set_text(w, "Text7", "0");
    click(w, "Command2");
    wait_until_idle(w, track_running);
    QCOMPARE(c.platform.messages.shown.size(), std::size_t(1));
    QCOMPARE(c.platform.messages.shown[0].text, QString("13  the number of samples must be at least 1 (it is 0)"));
    QCOMPARE(read_file(path("track.txt")), QByteArray("-10.5\t54\r\n-10\t54.25\r\n-9.5\t54.5\r\n"));
}

QTEST_MAIN(TestToolWindows)
#include "test_tool_windows.moc"
