// The tool windows driven as a user would, with the scripted platform standing
// in for dialogs, message boxes and program start: how each window starts
// (data/windows/), runs from its controls to the end (data/window_runs.txt),
// the life of a run in every window of the tool list, and what single
// windows add.
#include "case_file.h"
#include "platform/scripted_platform.h"
#include "platform/window_driver.h"
#include "window_state.h"
#include "tools/tile_fixture.h"
#include "common/ui/file_tool_window.h"
#include "tools/file_tools.h"
#include "tools/ui/frm_binary2ascii.h"
#include "tools/ui/frm_footprint.h"
#include "tools/ui/frm_replace.h"
#include "tools/ui/frm_srtm.h"
#include "tools/ui/frm_track_calc.h"
#include "common/ui/worker_bridge.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTemporaryDir>

#include <memory>

using namespace mq::testing;
using mq::platform::MessageIcon;

namespace {

// The context as the main window builds it: the open-file dialog runs the
// shared dialog, which gives the answers a test has queued.
struct Context {
    ScriptedPlatform platform;
    mq::tools::ToolContext context()
    {
        mq::tools::ToolContext c;
        c.services = platform.services();
        c.openFileDialog = [this] { return platform.dialog.showOpen() ? platform.dialog.state().fileName : QString(); };
        return c;
    }
    void pick(const QString& path) { platform.dialog.answers.enqueue(ScriptedDialog::accept(path)); }
    const std::vector<ScriptedMessages::Shown>& messages() const { return platform.messages.shown; }
};

// The window of a tool of the list; the UTM and Swiss windows are the
// calculators' (tests/calc).
std::unique_ptr<QWidget> make_window(std::string_view tool, const mq::tools::ToolContext& c)
{
    if (tool == "srtm") return std::make_unique<frm_SRTM>(c);
    if (tool == "bin2ascii") return std::make_unique<frm_binary2ascii>(c);
    if (tool == "track") return std::make_unique<frm_track_calc>(c);
    if (tool == "footprint") return std::make_unique<frm_footprint>(c);
    if (tool == "replace") return std::make_unique<frm_replace>(c);
    return nullptr;
}

bool running(QWidget& w) { return qobject_cast<mq::tools::FileToolWindow*>(&w)->running(); }

const QString kTextFilter = "All Files (*.*)|*.*|Text Files(*.txt)|*.txt|Batch Files (*.bat)|*.bat|Color Files "
                            "(*.cpt)|*.cpt|LaLo ASCII (*.lalo)|*.lalo|xyz ASCII (*.xyz)|*.xyz|Awk script (*.awk)|*.awk";

// "name=text" fills a box, "name" clicks a button, check or option.
void operate(QWidget& w, const QStringList& controls, const QString& folder)
{
    for (const QString& control : controls) {
        if (!control.contains('=')) child<QAbstractButton>(w, control)->click();
        else set_text(w, control.section('=', 0, 0), QString(control.section('=', 1)).replace('@', folder));
    }
}

}  // namespace

class TestToolWindows : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid() && QDir::setCurrent(dir_->path()));
    }
    void cleanup()
    {
        QDir::setCurrent(QDir::tempPath());   // Windows does not remove the current folder
        dir_.reset();
    }
    void starts_as_recorded();
    void runs_data();
    void runs();
    void life_of_a_run_data();
    void life_of_a_run();
    void srtm_drag_between_path_boxes();
    void srtm_run_data();
    void srtm_run();
    void replace_take_each_tool_tip();
    void replace_progress_counts_thousands();

private:
    // As the platform's file dialog gives paths ("\\" on Windows).
    QString path(const QString& name) const { return QDir::toNativeSeparators(dir_->filePath(name)); }
    std::unique_ptr<QTemporaryDir> dir_;
    std::vector<CommandCase> cases_;
};

void TestToolWindows::starts_as_recorded()
{
    for (const mq::tools::FileTool& tool : mq::tools::file_tools()) {
        Context c;
        const auto w = make_window(tool.name, c.context());
        if (!w) continue;
        QCOMPARE(w->objectName(), QString::fromUtf8(tool.window));
        compare_with_golden(*w, MQ_TEST_DATA_DIR "/data/windows/" + QString::fromUtf8(tool.window) + ".txt");
        if (QTest::currentTestFailed()) return;
    }
}

void TestToolWindows::runs_data()
{
    QTest::addColumn<int>("index");
    QFile file(MQ_TEST_DATA_DIR "/data/window_runs.txt");
    QVERIFY(file.open(QIODevice::ReadOnly));
    cases_ = read_command_cases(file.readAll().toStdString());
    for (std::size_t i = 0; i < cases_.size(); ++i) QTest::newRow(cases_[i].name.c_str()) << int(i);
}

void TestToolWindows::runs()
{
    QFETCH(int, index);
    const CommandCase& run = cases_[std::size_t(index)];
    const auto value = [&](const char* key) { return run.get(key, dir_->path().toStdString()); };
    const auto bytes = [&](const char* key) { return QByteArray::fromStdString(value(key)); };
    std::istringstream numbers(value("in-doubles"));
    QByteArray input;
    for (double v; numbers >> v;) input += QByteArray::fromStdString(doubles({v}));
    input += bytes("in");
    if (run.has("in-zeros")) input = QByteArray(std::stoi(value("in-zeros")), '\0');
    QVERIFY(write_file("in.txt", input) && write_file("out.txt", "old"));
    Context c;
    c.platform.dialog.state().dialogTitle = "left by another use";
    if (run.has("pick")) c.pick(QString::fromStdString(value("pick")));
    const auto w = make_window(value("window"), c.context());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const int height = w->height();
    operate(*w, QString::fromStdString(value("controls")).split('|'), dir_->path());
    for (const QString& keys : QString::fromStdString(value("keys")).split('|', Qt::SkipEmptyParts))
        QTest::keyClicks(child<QLineEdit>(*w, keys.section('=', 0, 0)), keys.section('=', 1));
    QTRY_VERIFY_WITH_TIMEOUT(!running(*w), 60000);
    QCoreApplication::processEvents();
    // A progress bar coming and going does not move the controls down (a
    // note about kept records may).
    if (!run.has("partial") && !run.has("partial-size")) QCOMPARE(w->height(), height);
    if (run.has("out")) QCOMPARE(read_file("out.txt"), bytes("out"));
    if (run.has("out-size")) QCOMPARE(read_file("out.txt").size(), std::stoll(value("out-size")));
    const QByteArray partial = read_file("out.partial.txt");
    if (run.has("partial-size")) QCOMPARE(partial.size(), std::stoll(value("partial-size")));
    else QCOMPARE(partial, run.has("partial") ? bytes("partial") : QByteArray("<missing>"));
    for (const QString& label : QString::fromStdString(value("label")).split('|', Qt::SkipEmptyParts)) {
        const QString name = label.section('=', 0, 0);
        QCOMPARE(name + '=' + QDir::fromNativeSeparators(text_of(*w, name)), label);
    }
    if (run.has("dialog")) {
        const QStringList dialog = QString::fromStdString(value("dialog")).split(' ');
        const auto& shown = c.platform.dialog.shown.at(0);
        QCOMPARE(shown.kind, dialog[0] == "save" ? ScriptedDialog::Kind::Save : ScriptedDialog::Kind::Open);
        QCOMPARE(shown.state.dialogTitle, QString("left by another use"));
        if (dialog[1] != "-") QCOMPARE(shown.state.filterIndex, dialog[1].toInt());
        if (dialog[1] == "6") QVERIFY(shown.state.filter == kTextFilter && shown.state.cancelError);
        QVERIFY(shown.state.hideReadOnly || dialog[1] != "6");
        QVERIFY(shown.state.explorerStyle || dialog.size() < 3);
    }
    QVERIFY(c.platform.programs.started.empty());
    QCOMPARE(c.messages().size(), std::size_t(run.has("message") ? 1 : 0));
    if (!run.has("message")) return;
    const QString message = QString::fromStdString(value("message"));
    const auto& shown = c.messages()[0];
    if (message.endsWith("...")) QVERIFY2(shown.text.startsWith(message.chopped(3)), qPrintable(shown.text));
    else QCOMPARE(QDir::fromNativeSeparators(shown.text), message);   // a stop note names files natively
    QCOMPARE(shown.title, QString::fromStdString(value("title")));
    QCOMPARE(int(shown.icon), std::stoi(value("icon")));
}

void TestToolWindows::life_of_a_run_data()
{
    // Every window of the tool list: Start, a second Start refused while the
    // run goes on, then Stop or closing the window. out.txt stays as it was,
    // the records written so far lie whole in out.partial.txt, and after a
    // Stop the progress label says so.
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("controls");  // the last one starts
    QTest::addColumn<QString>("output");        // the output's box
    QTest::addColumn<QString>("stop");          // the Stop button, or "close"
    QTest::addColumn<QString>("label");         // the label with the note
    QTest::addColumn<int>("record");            // bytes of a binary record; 0: text lines
    struct Row {
        QStringList controls;
        QString output, stop, label;
        int record;
    };
    const QStringList io{"Text1=@/in.txt", "Text2=@/out.txt"};
    const std::map<std::string_view, Row> rows = {
        {"srtm", {io + QStringList{"Text5=45", "Text4=10", "Command4"}, "Text2", "Command3", "Label4", 24}},
        {"bin2ascii", {io + QStringList{"Command4"}, "Text2", "Command3", "Label4", 0}},
        {"footprint",
         {io + QStringList{"lat_min=10", "lat_max=11", "lon_min=20", "lon_max=21", "Command3"}, "Text2",
          "Command4", "Label11", 24}},
        {"track",
         {{"tx_1=0", "tx_2=1", "ty_1=0", "ty_2=1", "Text7=100000000", "Text1=@/out.txt", "Command2"}, "Text1",
          "Command3", "Label7", 0}},
        {"replace", {{"Text3=@/in.txt", "Text4=@/out.txt", "Command1"}, "Text4", "", "", 0}},
    };
    for (const mq::tools::FileTool& tool : mq::tools::file_tools()) {
        Context c;
        if (!make_window(tool.name, c.context())) continue;
        QVERIFY2(rows.count(tool.name), tool.name.data());
        const Row& row = rows.at(tool.name);
        const QString name = QString::fromUtf8(tool.name);
        for (const QString& stop : {row.stop, QString("close")})
            if (!stop.isEmpty())
                QTest::newRow(qPrintable(name + ' ' + stop))
                    << name << row.controls << row.output << stop << (stop == "close" ? "" : row.label)
                    << row.record;
    }
}

void TestToolWindows::life_of_a_run()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, controls);
    QFETCH(QString, output);
    QFETCH(QString, stop);
    QFETCH(QString, label);
    QFETCH(int, record);
    QByteArray input;
    if (tool == "srtm") input = QByteArray::fromStdString(make_tile(3601, [](int, int) { return 50; }));
    if (tool == "bin2ascii") input = QByteArray::fromStdString(doubles({10, 45.5, -120})).repeated(300000);
    if (tool == "footprint") input = QByteArray("20.5 10.5 -100\n").repeated(30000);
    if (tool == "replace") input = QByteArray("some line of text to copy\n").repeated(1500000);
    QVERIFY(write_file("in.txt", input) && write_file("out.txt", "old"));
    Context c;
    auto w = make_window(tool.toStdString(), c.context());
    operate(*w, controls, dir_->path());
    QVERIFY(running(*w));
    set_text(*w, output, path("other.txt"));
    click(*w, controls.last());   // refused while running
    // Let the run write to its hidden new file first.
    const QDir folder(dir_->path());
    auto writing = [&] {
        for (const QFileInfo& file : folder.entryInfoList({".out.txt.*"}, QDir::Files | QDir::Hidden))
            if (file.size() > 0) return true;
        return false;
    };
    QElapsedTimer waited;
    waited.start();
    while (!writing() && running(*w) && waited.elapsed() < 20000) QTest::qWait(1);
    QVERIFY2(running(*w), "the run ended before the stop");
    QElapsedTimer stopping;
    stopping.start();
    if (stop == "close") {
        w.reset();  // stops the run and waits for it
    } else {
        click(*w, stop);
        QTRY_VERIFY_WITH_TIMEOUT(!running(*w), 20000);
    }
    QVERIFY2(stopping.elapsed() < 2000, qPrintable(QString::number(stopping.elapsed())));
    QVERIFY(!QFile::exists("other.txt"));
    QVERIFY(c.platform.programs.started.empty());   // no gridding after a stop
    QCOMPARE(read_file("out.txt"), QByteArray("old"));
    const QByteArray kept = read_file("out.partial.txt");
    QVERIFY(kept != "<missing>");
    if (record)
        QCOMPARE(kept.size() % record, 0);
    else
        QVERIFY(kept.endsWith("\r\n"));
    const qint64 records = record ? kept.size() / record : kept.count('\n');
    QVERIFY(records > 0);
    // Only the footprint window says more: what the run covered.
    QCOMPARE(c.messages().size(), std::size_t(tool == "footprint" && stop != "close" ? 1 : 0));
    if (!c.messages().empty()) {
        const QString text = c.messages()[0].text;
        QVERIFY2(text.startsWith(QString("Stopped after %1 records").arg(records)), qPrintable(text));
        QVERIFY2(text.endsWith(QString("\r\nYou covered %1 square meter!").arg(records)), qPrintable(text));
    }
    if (label.isEmpty()) return;
    const QString note = QString("Stopped after %1 records, kept in %2; %3 is unchanged.").arg(records);
    QCOMPARE(text_of(*w, label), note.arg("out.partial.txt", "out.txt"));
    QCOMPARE(child<QLabel>(*w, label)->toolTip(), note.arg(path("out.partial.txt"), path("out.txt")));
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
    QTest::addColumn<bool>("make_grid");
    QTest::addColumn<bool>("pick");        // through Command1, or typed
    QTest::addColumn<int>("exit_code");    // of the gridding
    QTest::addColumn<QString>("failure");  // its last error line, and the message that follows
    QTest::newRow("grid") << true << true << 0 << "";
    QTest::newRow("no grid") << false << true << 0 << "";
    QTest::newRow("typed paths") << true << false << 0 << "";
    QTest::newRow("gridding fails")
        << true << true << 1
        << "mapquill-tools run-batch: the gridding failed at line 5 of the batch file (gmt surface): x";
    QTest::newRow("gridding crashes") << true << true << -1 << "";
}

void TestToolWindows::srtm_run()
{
    QFETCH(bool, make_grid);
    QFETCH(bool, pick);
    QFETCH(int, exit_code);
    QFETCH(QString, failure);
    const QString tile = path("N45E010.hgt");
    QVERIFY(write_file(tile, QByteArray::fromStdString(make_tile(1201, [](int, int) { return 50; }))));
    Context c;
    c.pick(tile);
    frm_SRTM w(c.context());
    QVERIFY(QDir().mkpath(path("runs")));
    w.setRunParent(path("runs"));
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
    QTRY_VERIFY_WITH_TIMEOUT(!w.running(), 60000);
    QCOMPARE(text_of(w, "Label4"), QString("Row #:"));
    QCOMPARE(c.messages().size(), std::size_t(1));
    const auto& message = c.messages()[0];
    const QString xyz = path(pick ? "N45E010.xyz" : "typed.xyz"), grid = path(pick ? "N45E010.grd" : "typed.grd");
    QCOMPARE(message.text, "Converting finished, gridding in progress!\r\nYour grid will be saved as: " + grid);
    QCOMPARE(message.icon, MessageIcon::Information);
    QCOMPARE(message.title, QString("*.hgt convert!"));
    QCOMPARE(QFileInfo(xyz).size(), 1442401 * 24);
    QCOMPARE(c.platform.programs.started.size(), std::size_t(make_grid ? 1 : 0));
    const QStringList runs = QDir(path("runs")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(runs.size(), make_grid ? 1 : 0);
    if (!make_grid) return;
    // The batch file in a fresh folder of its own, run there.
    QVERIFY(runs[0].startsWith("mapquill-grid-"));
    const QString folder = path("runs/" + runs[0]), batch_path = folder + "/SRTM_grid.bat";
    const auto& started = c.platform.programs.started[0];
    // mapquill-tools runs it, on Windows too.
    QVERIFY(QFileInfo(started.program).completeBaseName() == "mapquill-tools");
    QCOMPARE(started.arguments.size(), 2);
    QCOMPARE(started.arguments[0], "run-batch");
    QCOMPARE(QDir::fromNativeSeparators(started.arguments[1]), QDir::fromNativeSeparators(batch_path));
    QCOMPARE(QDir::fromNativeSeparators(started.workingDir), QDir::fromNativeSeparators(folder));
    QVERIFY(started.minimized);
    const QByteArray batch = read_file(batch_path);
    const QByteArray west = pick ? "010" : "10";   // as the box holds it
    QVERIFY(batch.contains("\r\nsurface  " + xyz.toUtf8() + " -Gx_srtm.grd -I3c -R" + west + "/11/45/46 -H0 -bi3 -V\r\n"));
    QVERIFY(batch.contains(" OR -V = " + grid.toUtf8() + "\r\ndel x_*.*"));

    // The run's end: its folder goes; a failure is said.
    w.close();   // the run outlives its window
    started.ended({exit_code, failure});
    QVERIFY(!QFileInfo::exists(folder));
    QCOMPARE(c.messages().size(), std::size_t(exit_code == 0 ? 1 : 2));
    if (exit_code == 0) return;
    const QString why = exit_code == 1 ? "The gridding failed at line 5 of the batch file (gmt surface): x"
                                       : "The gridding batch file failed";
    QCOMPARE(c.messages()[1].text, why + "\r\nNo grid was saved as: " + grid);
    QCOMPARE(c.messages()[1].icon, MessageIcon::Critical);
}

void TestToolWindows::replace_take_each_tool_tip()
{
    Context c;
    frm_replace w(c.context());
    set_text(w, "Text2", "3");
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(child<QCheckBox>(w, "Check5"), &enter);
    QCOMPARE(child<QCheckBox>(w, "Check5")->toolTip(), QString("Takes only each 3 line."));
}

void TestToolWindows::replace_progress_counts_thousands()
{
    Context c;
    frm_replace w(c.context());
    QVERIFY(write_file("in.txt", QByteArray("line\n").repeated(2500)));
    set_text(w, "Text3", path("in.txt"));
    set_text(w, "Text4", path("out.txt"));
    // Read the label right after the window has handled each progress report.
    QStringList seen;
    connect(w.findChild<mq::tools::WorkerBridge*>(), &mq::tools::WorkerBridge::progress, this,
            [&] { seen << text_of(w, "Label4"); });
    click(w, "Command1");
    QCOMPARE(text_of(w, "Label4"), QString("Please wait: ..."));
    QTRY_COMPARE(text_of(w, "Label4"), QString("-"));
    auto* bar = child<QProgressBar>(w, "progress_bar");
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.back(), QString("Line #:  2000"));
    QCOMPARE(read_file("out.txt").size(), 2500 * 6);
}

QTEST_MAIN(TestToolWindows)
#include "test_tool_windows.moc"
