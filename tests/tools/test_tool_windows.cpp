// The tool windows driven as a user would, with the scripted platform standing
// in for dialogs, message boxes and program start: their texts, key filters
// and file buttons, and runs on the worker thread with progress, Stop, the
// refusal of a second Start and the messages at the end.
#include "platform/scripted_platform.h"
#include "platform/window_driver.h"
#include "tools/tile_fixture.h"
#include "common/ui/file_tool_parts.h"
#include "tools/ui/frm_binary2ascii.h"
#include "tools/ui/frm_footprint.h"
#include "tools/ui/frm_replace.h"
#include "tools/ui/frm_srtm.h"
#include "tools/ui/frm_track_calc.h"
#include "common/ui/worker_bridge.h"

#include <QApplication>
#include <QDir>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QDir>
#include <QTemporaryDir>

#include <atomic>
#include <memory>
#include <thread>

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

std::unique_ptr<QWidget> make_window(const QString& kind, const mq::tools::ToolContext& c)
{
    if (kind == "srtm") return std::make_unique<frm_SRTM>(c);
    if (kind == "binary") return std::make_unique<frm_binary2ascii>(c);
    if (kind == "track") return std::make_unique<frm_track_calc>(c);
    if (kind == "footprint") return std::make_unique<frm_footprint>(c);
    return std::make_unique<frm_replace>(c);
}

const QString kTextFilter = "All Files (*.*)|*.*|Text Files(*.txt)|*.txt|Batch Files (*.bat)|*.bat|Color Files "
                            "(*.cpt)|*.cpt|LaLo ASCII (*.lalo)|*.lalo|xyz ASCII (*.xyz)|*.xyz|Awk script (*.awk)|*.awk";

// The replace window's Line # label, which reads "-" when a run has ended.
QString label4(QWidget& w) { return text_of(w, "Label4"); }

bool running(QWidget& w)
{
    if (auto* srtm = qobject_cast<frm_SRTM*>(&w)) return srtm->running();
    if (auto* binary = qobject_cast<frm_binary2ascii*>(&w)) return binary->running();
    if (auto* track = qobject_cast<frm_track_calc*>(&w)) return track->running();
    if (auto* footprint = qobject_cast<frm_footprint*>(&w)) return footprint->running();
    return w.findChild<mq::tools::WorkerBridge*>()->running();
}

// A job of many small records that honours the stop flag before each one.
std::int64_t count_records(mq::tools::RunControl& control, std::int64_t records)
{
    std::int64_t i = 0;
    for (; i < records && !control.stop_requested(); ++i) {
        control.report({i + 1, i + 1, records});
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return i;
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
    void texts_data();
    void texts();
    void key_filters_data();
    void key_filters();
    void file_buttons_data();
    void file_buttons();
    void runs_data();
    void runs();
    void stopped_runs_keep_an_existing_output_data();
    void stopped_runs_keep_an_existing_output();
    void srtm_picking_a_tile_data();
    void srtm_picking_a_tile();
    void srtm_drag_between_path_boxes();
    void srtm_run_data();
    void srtm_run();
    void srtm_stop_and_second_start();
    void footprint_grid_size_data();
    void footprint_grid_size();
    void footprint_stop_and_refusal();
    void replace_take_each_tool_tip();
    void replace_progress_counts_thousands();
    void replace_closing_stops_the_run();
    void runner_reports_to_the_end();
    void runner_stops_and_refuses_a_second_start();
    void runner_stops_when_its_window_closes();

private:
    // As the platform's file dialog gives paths ("\\" on Windows).
    QString path(const QString& name) const { return QDir::toNativeSeparators(dir_->filePath(name)); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestToolWindows::texts_data()
{
    // "title=": the window's title; "name=": a control's text; "name?=": its
    // tool tip; "+name", "-name": a check or option that is (not) chosen.
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("srtm") << "srtm" << QStringList{
        "title=Convert SRTM Data (*.hgt)", "Label1=Input file: Binary (*.hgt)", "Label2=Output file:", "Frame3=Input",
        "Frame4=Output", "opt_low_end=Low Endian:", "opt_big_end=Big Endian:", "opt_binary=Binary:", "opt_ascii=ASCII:",
        "Label5=South coordinate:", "West=West coordinate:", "Label6=Min Z-value:", "Label7=Max Z-Value:",
        "Min_Z=0.5", "Max_Z=5000", "ck_make_grid=Make Grid ", "Label4=Row #:", "Command4=Start", "Command3=Stop",
        "Text1=", "Text2=", "Text4=", "Text5=", "opt_big_end?=UNIX byte order", "opt_low_end?=DOS byte order",
        "opt_ascii?=ASCII data", "+opt_big_end", "+opt_binary", "+ck_make_grid"};
    QTest::newRow("binary") << "binary" << QStringList{
        "title=Binary to ASCII", "Label1=Binary Input file (double !! ): ", "Label2=ASCII output file:",
        "Label4=Row #:", "Command4=Start", "Command3=Stop"};
    QTest::newRow("track") << "track" << QStringList{
        "title=Calculate Positions Along a Track", "Label3=X-Axis:", "Label2=to", "Label4=Y-Axis:", "Label6=to",
        "Label5=Number of samples:", "Text7=100", "Label1=Track output file (ASCII):", "Command2=Start"};
    QTest::newRow("footprint") << "footprint" << QStringList{
        "title=Calculate Insonified Area", "Label1=Input file: Ping position and depth (ASCII xyz):",
        "Label2=Ouput file: Grid position insonified by the beam (binary):", "Label5=Latitude min:",
        "Label6=Latitude max:", "Label7=Longitude min:", "Label8=Longitude max:", "Label3=Beam width \u00b0:",
        "t_beam=6.46", "Label10=Beam width grid size  m:", "t_grid_space=1", "Label4=Output grid size m:", "Text4=1",
        "Label9=-", "Label11=Ping #:", "lat_min=", "Text1=", "Command3=Start", "Command4=Stop",
        "Command5=Calculate grid size"};
    QTest::newRow("replace") << "replace" << QStringList{
        "title=Replace Text in Text File", "Label3=Input file: ASCII file with text to be replaced:",
        "Label5=Output file: ASCII file with replaced text:", "Label1=Text to replace", "Label2=Text to fill in",
        "Label7=Line by Line", "Label6=line.", "Label4=Line #:", "ck_entire=Entire File", "Check4=Replace",
        "ck_add_to_each_line=Add to each line", "Check6=Take line if", "Option1=exist.", "Option2=not exist.",
        "Check5=Take each", "do_kml=do kml convert", "ck_kml_document=Complete KML document",
        "Command1=Start replace", "Text2=1",
        "Check6?=Takes only those lines which (not)contain the specified string.",
        "Check5?=Takes only each specified line", "+Check1", "+Option1", "+Check5", "-Check2", "-Check3", "-Check4",
        "-ck_entire", "-ck_add_to_each_line", "-Check6", "-do_kml", "-ck_kml_document"};
}

void TestToolWindows::texts()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, texts);
    Context c;
    const auto w = make_window(kind, c.context());
    for (const QString& entry : texts) {
        if (entry.startsWith('+') || entry.startsWith('-')) {
            QVERIFY2(child<QAbstractButton>(*w, entry.mid(1))->isChecked() == entry.startsWith('+'), qPrintable(entry));
            continue;
        }
        const QString name = entry.section('=', 0, 0), text = entry.section('=', 1);
        const QString shown = name == "title"      ? w->windowTitle()
                              : name.endsWith('?') ? child<QWidget>(*w, name.chopped(1))->toolTip()
                                                   : text_of(*w, name);
        QCOMPARE(name + '=' + shown, entry);
    }
}

void TestToolWindows::key_filters_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    QTest::newRow("srtm Min Z") << "srtm" << "Min_Z" << "a-1.5/x9" << "-1.5/9";
    QTest::newRow("srtm West") << "srtm" << "Text4" << "a-1.5/x9" << "-1.5/9";
    QTest::newRow("footprint box edge") << "footprint" << "lat_min" << "-./09:aE, " << "-./09:";
    QTest::newRow("footprint longitude edge") << "footprint" << "lon_max" << "-./09:aE, " << "-./09:";
    QTest::newRow("footprint beam") << "footprint" << "t_beam" << "-./09:aE, " << "./09";
    QTest::newRow("footprint spacing") << "footprint" << "t_grid_space" << "-./09:aE, " << "./09";
    QTest::newRow("footprint output grid size") << "footprint" << "Text4" << "-./09:aE, " << "/09";
    QTest::newRow("replace take each") << "replace" << "Text2" << "12a/ -3" << "12/3";
}

void TestToolWindows::key_filters()
{
    QFETCH(QString, kind);
    QFETCH(QString, box);
    QFETCH(QString, keys);
    Context c;
    const auto w = make_window(kind, c.context());
    auto* edit = child<QLineEdit>(*w, box);
    edit->clear();
    QTest::keyClicks(edit, keys);
    QTEST(edit->text(), "expected");
}

void TestToolWindows::file_buttons_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("dialog");   // ScriptedDialog::Kind
    QTest::addColumn<int>("filter");   // its type index; 6: the list of text files; -1: as the dialog was left
    const int open = int(ScriptedDialog::Kind::Open), save = int(ScriptedDialog::Kind::Save);
    QTest::newRow("binary input") << "binary" << "Command1" << "Text1" << open << 10;
    QTest::newRow("binary output") << "binary" << "Command2" << "Text2" << open << -1;
    QTest::newRow("track output") << "track" << "Command1" << "Text1" << save << 6;
    QTest::newRow("footprint input") << "footprint" << "Command1" << "Text1" << open << -1;
    QTest::newRow("footprint output") << "footprint" << "Command2" << "Text2" << open << -1;
    QTest::newRow("replace input") << "replace" << "Command2" << "Text3" << open << 6;
    QTest::newRow("replace output") << "replace" << "Command3" << "Text4" << save << 6;
}

void TestToolWindows::file_buttons()
{
    QFETCH(QString, kind);
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(int, filter);
    Context c;
    const auto w = make_window(kind, c.context());
    c.platform.dialog.state().dialogTitle = "left by another use";
    c.pick("/data/picked.txt");
    click(*w, button);
    click(*w, button);   // cancelled: unchanged
    QCOMPARE(text_of(*w, box), QDir::toNativeSeparators("/data/picked.txt"));   // as the dialog gives it
    const auto& shown = c.platform.dialog.shown;
    QCOMPARE(shown.size(), std::size_t(2));
    QTEST(int(shown[0].kind), "dialog");
    QCOMPARE(shown[0].state.dialogTitle, QString("left by another use"));
    if (filter >= 0) QCOMPARE(shown[0].state.filterIndex, filter);
    if (filter != 6) return;
    QCOMPARE(shown[0].state.filter, kTextFilter);
    QVERIFY(shown[0].state.cancelError && shown[0].state.hideReadOnly);
}

void TestToolWindows::runs_data()
{
    // A run from the controls to the end: in.txt holds the input and out.txt
    // "old" before it; "@" stands for the test's folder. Controls: "name=text"
    // fills a box, "name" clicks a button, check or option (the last one starts).
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("controls");
    QTest::addColumn<QByteArray>("written");   // out.txt afterwards; "<size>N": its size
    QTest::addColumn<QString>("label");        // "name=text" afterwards, or empty
    QTest::addColumn<QString>("message");      // the one message, "..." at the end: it starts so; empty: none
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QByteArray>("partial");  // out.partial.txt afterwards, as `written`
    auto row = [](const char* name, const char* kind, const QByteArray& input, const QStringList& controls,
                  const QByteArray& written, const char* label, const QString& message,
                  const char* title = "", MessageIcon icon = MessageIcon::Exclamation,
                  const QByteArray& partial = "<missing>") {
        QTest::newRow(name) << kind << input << controls << written << label << message << title << int(icon)
                            << partial;
    };
    // A run that fails half-way keeps out.txt and puts its records beside it;
    // the label names the files without their folder.
    const QString kept = ", kept in @/out.partial.txt; @/out.txt is unchanged.";
    const QString kept_here = ", kept in out.partial.txt; out.txt is unchanged.";
    const char* none = "";

    const QStringList srtm{"Text1=@/in.txt", "Text2=@/out.txt", "Text5=45", "Text4=10"};
    row("srtm short tile", "srtm", QByteArray(1000, '\0'), srtm + QStringList{"Command4"}, "old", "Label4=Row #:",
        "62  @/in.txt: the tile has 1000 bytes; a tile of 1201 x 1201 samples has 2884802 bytes (3601 x 3601 "
        "samples: 25934402)", "Convert SRTM Data (*.hgt)", MessageIcon::None);

    const QByteArray records = QByteArray::fromStdString(doubles({10, 45.5, -120, 10.1, 45.5, -121}));
    const QStringList binary{"Text1=@/in.txt", "Text2=@/out.txt", "Command4"};
    row("binary", "binary", records + "abc", binary, "10\t45.5\t-120\r\n10.1\t45.5\t-121\r\n",
        "Label4=Converting finished! 3 bytes left over at the end (less than one record).", none);
    row("binary missing input", "binary", records, QStringList{"Text1=@/missing.bin"} + binary.mid(1), "old",
        "Label4=Row #:", "53  @/missing.bin: cannot open the file...", "Binary to ASCII", MessageIcon::None);

    const QStringList track{"tx_1=-10:30", "tx_2=-9:30", "ty_1=54", "ty_2=54,5", "Text1=@/out.txt"};
    row("track", "track", "", track + QStringList{"Text7=2", "Command2"}, "-10.5\t54\r\n-10\t54.25\r\n-9.5\t54.5\r\n",
        none, none);
    row("track zero samples", "track", "", track + QStringList{"Text7=0", "Command2"}, "old", none,
        "13  the number of samples must be at least 1 (it is 0)", "Calculate Positions Along a Track", MessageIcon::None);

    const QByteArray ping = "20.5 10.5 100\n";
    const QStringList footprint{"Text1=@/in.txt", "Text2=@/out.txt", "lat_min=10", "lat_max=11", "lon_min=20",
                                "lon_max=21"};
    const char* area = "Calculate Insonified Area";
    row("footprint", "footprint", ping, footprint + QStringList{"Command3"}, "<size>2112", none,
        "You covered 88 square meter!", "Mapquill", MessageIcon::None);
    row("footprint without output path", "footprint", ping, footprint + QStringList{"Text2=", "Command3"}, "old",
        none, none);
    row("footprint zero spacing", "footprint", ping, footprint + QStringList{"t_grid_space=0", "Command3"}, "old",
        none, "Beam width grid size  m: '0' must be a number greater than 0", area);
    row("footprint bad line keeps the records before it", "footprint", ping + "20.5 x 100\n",
        footprint + QStringList{"Command3"}, "old",
        qPrintable("Label11=Stopped after 88 records" + kept_here),
        "@/in.txt, line 2: field 2 is not a number. Stopped after 88 records" + kept, area,
        MessageIcon::Exclamation, "<size>2112");

    const QStringList replace{"Text3=@/in.txt", "Text4=@/out.txt"};
    const char* replacing = "Replace Text in Text File";
    row("replace rows, add, every 2", "replace", "a\tb\n1\t2\n",
        replace + QStringList{"t_1_rep=TAB", "t_1_fill=\\t;", "Check2", "t_2_rep=;", "t_2_fill=,",
                              "ck_add_to_each_line", "tx_add=\\tend", "Text2=2", "Command1"},
        "1\t,2\tend\r\n", "Label4=-", none);
    row("replace take line if not", "replace", "ax\nb\n",
        replace + QStringList{"Check6", "Text1=x", "Option2", "Command1"}, "b\r\n", "Label4=-", none);
    row("replace entire file", "replace", "a\r\nb\r\n",
        replace + QStringList{"ck_entire", "t_ent_rep=CRLF", "t_ent_fill= ", "Command1"}, "a b ", "Label4=-", none);
    row("replace kml short", "replace", "P1\nx\n", replace + QStringList{"Check5", "do_kml", "Command1"},
        "old", qPrintable("Label4=Stopped after 1 record" + kept_here),
        "@/in.txt, line 1: a placemark needs this line and three more, but only 1 follows...", replacing,
        MessageIcon::Exclamation, "");
    const QByteArray corners =
        "P&1 a b c d e f g h 10.5 54.2\na b c d e f g h 10.6 54.2\n"
        "a b c d e f g h 10.6 54.3\na b c d e f g h 10.5 54.3\n";
    const QByteArray placemark =
        "<Placemark> <name> P&amp;1</name> <LineString> <coordinates>\r\n"
        "10.5,54.2,1\r\n10.6,54.2,1\r\n10.6,54.3,1\r\n10.5,54.3,1\r\n10.5,54.2,1\r\n"
        "</coordinates> </LineString>  </Placemark>\r\n\r\n";
    row("replace kml document", "replace", corners,
        replace + QStringList{"Check5", "do_kml", "ck_kml_document", "Command1"},
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">\r\n"
        "<Document>\r\n" + placemark + "</Document>\r\n</kml>\r\n", "Label4=-", none);
    row("replace kml document only with do kml", "replace", corners,   // the check box is off without it
        replace + QStringList{"Check5", "ck_kml_document", "do_kml", "Command1"}, placemark, "Label4=-",
        none);
    row("replace kml document with take each", "replace", corners,
        replace + QStringList{"do_kml", "ck_kml_document", "Command1"}, "old", "Label4=-",
        "a complete KML document holds only placemarks: turn \"Take each\" off", replacing);
    row("replace take each empty", "replace", "a\n", replace + QStringList{"Text2=", "Command1"}, "old", "Label4=-",
        "\"Take each\" needs a whole number of 1 or more...", replacing);
}

void TestToolWindows::runs()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, input);
    QFETCH(QStringList, controls);
    QFETCH(QByteArray, written);
    QFETCH(QString, label);
    QFETCH(QString, message);
    QFETCH(QByteArray, partial);
    QVERIFY(write_file("in.txt", input) && write_file("out.txt", "old"));
    Context c;
    const auto w = make_window(kind, c.context());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const int height = w->height();
    for (const QString& control : controls) {
        if (!control.contains('=')) child<QAbstractButton>(*w, control)->click();
        else set_text(*w, control.section('=', 0, 0), control.section('=', 1).replace('@', dir_->path()));
    }
    QTRY_VERIFY_WITH_TIMEOUT(!running(*w), 60000);
    QCoreApplication::processEvents();
    // A progress bar coming and going does not move the controls down (a
    // note about kept records may).
    if (partial == "<missing>") QCOMPARE(w->height(), height);
    for (const auto& [name, expected] : {std::pair{"out.txt", written}, {"out.partial.txt", partial}}) {
        const QByteArray bytes = read_file(name);
        if (expected.startsWith("<size>"))
            QCOMPARE(bytes.size(), expected.mid(6).toLongLong());
        else
            QCOMPARE(bytes, expected);
    }
    label.replace('@', dir_->path());
    if (!label.isEmpty()) QCOMPARE(label.section('=', 0, 0) + '=' + text_of(*w, label.section('=', 0, 0)), label);
    QVERIFY(c.platform.programs.started.empty());
    QCOMPARE(c.messages().size(), std::size_t(message.isEmpty() ? 0 : 1));
    if (message.isEmpty()) return;
    message.replace('@', dir_->path());
    const auto& shown = c.messages()[0];
    if (message.endsWith("...")) QVERIFY2(shown.text.startsWith(message.chopped(3)), qPrintable(shown.text));
    else QCOMPARE(QDir::fromNativeSeparators(shown.text), message);   // a stop note names files natively
    QTEST(shown.title, "title");
    QTEST(int(shown.icon), "icon");
}

void TestToolWindows::stopped_runs_keep_an_existing_output_data()
{
    // Stop, or closing the window, right after Start: out.txt stays as it
    // was, the records written so far lie whole in out.partial.txt, and the
    // progress label says so (after a Stop).
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("controls");  // as in runs(); the last one starts
    QTest::addColumn<QString>("stop");          // the Stop button, or "close"
    QTest::addColumn<QString>("label");         // the label with the note
    QTest::addColumn<int>("record");            // bytes of a binary record; 0: text lines
    const QStringList io{"Text1=@/in.txt", "Text2=@/out.txt"};
    const QStringList track{"tx_1=0",          "tx_2=1",          "ty_1=0",  "ty_2=1",
                            "Text7=100000000", "Text1=@/out.txt", "Command2"};
    QTest::newRow("srtm") << "srtm" << io + QStringList{"Text5=45", "Text4=10", "Command4"} << "Command3"
                          << "Label4" << 24;
    QTest::newRow("binary") << "binary" << io + QStringList{"Command4"} << "Command3"
                            << "Label4" << 0;
    QTest::newRow("footprint") << "footprint"
                               << io + QStringList{"lat_min=10", "lat_max=11", "lon_min=20", "lon_max=21",
                                                   "Command3"}
                               << "Command4"
                               << "Label11" << 24;
    QTest::newRow("track") << "track" << track << "Command3"
                           << "Label7" << 0;
    QTest::newRow("track closed") << "track" << track << "close"
                                  << "" << 0;
    QTest::newRow("binary closed") << "binary" << io + QStringList{"Command4"} << "close"
                                   << "" << 0;
    QTest::newRow("replace closed") << "replace"
                                    << QStringList{"Text3=@/in.txt", "Text4=@/out.txt", "Command1"} << "close"
                                    << "" << 0;
}

void TestToolWindows::stopped_runs_keep_an_existing_output()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, controls);
    QFETCH(QString, stop);
    QFETCH(QString, label);
    QFETCH(int, record);
    QByteArray input;
    if (kind == "srtm") input = QByteArray::fromStdString(make_tile(3601, [](int, int) { return 50; }));
    if (kind == "binary") input = QByteArray::fromStdString(doubles({10, 45.5, -120})).repeated(300000);
    if (kind == "footprint") input = QByteArray("20.5 10.5 -100\n").repeated(30000);
    if (kind == "replace") input = QByteArray("some line of text to copy\n").repeated(1500000);
    QVERIFY(write_file("in.txt", input) && write_file("out.txt", "old"));
    Context c;
    auto w = make_window(kind, c.context());
    for (const QString& control : controls) {
        if (!control.contains('='))
            click(*w, control);
        else
            set_text(*w, control.section('=', 0, 0), control.section('=', 1).replace('@', dir_->path()));
    }
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
    if (stop == "close") {
        w.reset();  // stops the run and waits for it
    } else {
        click(*w, stop);
        QTRY_VERIFY_WITH_TIMEOUT(!running(*w), 20000);
    }
    QCOMPARE(read_file("out.txt"), QByteArray("old"));
    const QByteArray kept = read_file("out.partial.txt");
    QVERIFY(kept != "<missing>");
    if (record)
        QCOMPARE(kept.size() % record, 0);
    else
        QVERIFY(kept.endsWith("\r\n"));
    const qint64 records = record ? kept.size() / record : kept.count('\n');
    QVERIFY(records > 0);
    if (label.isEmpty()) return;
    const QString note = QString("Stopped after %1 records, kept in %2; %3 is unchanged.").arg(records);
    QCOMPARE(text_of(*w, label), note.arg("out.partial.txt", "out.txt"));
    QCOMPARE(child<QLabel>(*w, label)->toolTip(), note.arg(path("out.partial.txt"), path("out.txt")));
}

void TestToolWindows::srtm_picking_a_tile_data()
{
    QTest::addColumn<QString>("picked");      // empty: cancelled
    QTest::addColumn<QStringList>("boxes");   // Text1, Text2, Text5, Text4
    QTest::addColumn<QString>("grid");
    QTest::newRow("north east") << "/srtm/N45E010.hgt"
                                << QStringList{"/srtm/N45E010.hgt", "/srtm/N45E010.xyz", "45", "010"}
                                << "/srtm/N45E010.grd";
    QTest::newRow("lower case") << "/srtm/n45e010.hgt"
                                << QStringList{"/srtm/n45e010.hgt", "/srtm/n45e010.xyz", "1", "2"}
                                << "/srtm/n45e010.grd";
    QTest::newRow("not a tile") << "/srtm/N45E010.dem" << QStringList{"/srtm/N45E010.dem", "out", "1", "2"} << "";
    QTest::newRow("cancelled") << "" << QStringList{"", "out", "1", "2"} << "";
}

void TestToolWindows::srtm_picking_a_tile()
{
    QFETCH(QString, picked);
    QFETCH(QStringList, boxes);
    QFETCH(QString, grid);
    for (QString& box : boxes) box = QDir::toNativeSeparators(box);   // as the dialog gives paths
    Context c;
    if (!picked.isEmpty()) c.pick(picked);
    frm_SRTM w(c.context());
    set_text(w, "Text2", "out");
    set_text(w, "Text5", "1");
    set_text(w, "Text4", "2");
    click(w, "Command1");
    QCOMPARE(c.platform.dialog.shown.size(), std::size_t(1));
    QCOMPARE(c.platform.dialog.shown[0].state.filterIndex, 10);
    QVERIFY(c.platform.dialog.shown[0].state.explorerStyle);
    QCOMPARE((QStringList{text_of(w, "Text1"), text_of(w, "Text2"), text_of(w, "Text5"), text_of(w, "Text4")}), boxes);
    QCOMPARE(w.gridName(), QDir::toNativeSeparators(grid));
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

void TestToolWindows::srtm_stop_and_second_start()
{
    // A one arc-second tile runs long enough to watch and stop.
    QVERIFY(write_file(path("N45E010.hgt"), QByteArray::fromStdString(make_tile(3601, [](int, int) { return 50; }))));
    Context c;
    c.pick(path("N45E010.hgt"));
    frm_SRTM w(c.context());
    w.setRunParent(path("."));
    click(w, "Command1");
    click(w, "Command4");
    QVERIFY(w.running());
    click(w, "Command4");   // refused while running
    QTRY_VERIFY_WITH_TIMEOUT(text_of(w, "Label4").startsWith("Row #: "), 20000);
    QVERIFY(text_of(w, "Label4").mid(7).toInt() % 10 == 0);
    click(w, "Command3");
    QTRY_VERIFY_WITH_TIMEOUT(!w.running(), 60000);
    QVERIFY(c.messages().empty());
    QVERIFY(c.platform.programs.started.empty());
    QVERIFY(QDir(path(".")).entryList({"mapquill-grid-*"}, QDir::Dirs).isEmpty());
    const qint64 size = QFileInfo(path("N45E010.xyz")).size();   // closed, whole records
    QVERIFY(size > 0 && size < 3601LL * 3601 * 24 && size % 24 == 0);
}

namespace {

void fill_box(QWidget& w, const QStringList& edges)
{
    const char* names[] = {"lat_min", "lat_max", "lon_min", "lon_max"};
    for (int i = 0; i < 4; ++i) set_text(w, names[i], edges[i]);
}

}  // namespace

void TestToolWindows::footprint_grid_size_data()
{
    QTest::addColumn<QStringList>("box");
    QTest::addColumn<QString>("spacing");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("message");
    const QStringList box54{"54", "54.1", "10", "10.1"};
    QTest::newRow("0.1 degree at 54") << box54 << "1" << "X: 6524 / Y: 11112" << "";
    QTest::newRow("colon notation") << QStringList{"54", "54:06", "10", "10:06"} << "1" << "X: 6524 / Y: 11112" << "";
    QTest::newRow("spacing rounds to 0") << box54 << ".4" << "-"
                                         << "the spacing '.4' must round to a whole number of at least 1";
    QTest::newRow("empty edge") << QStringList{"54", "", "10", "10.1"} << "1" << "-"
                                << "Latitude max: '' is not a coordinate";
}

void TestToolWindows::footprint_grid_size()
{
    QFETCH(QStringList, box);
    QFETCH(QString, spacing);
    QFETCH(QString, message);
    Context c;
    frm_footprint w(c.context());
    fill_box(w, box);
    set_text(w, "t_grid_space", spacing);
    click(w, "Command5");
    QTEST(text_of(w, "Label9"), "label");
    QCOMPARE(c.messages().size(), std::size_t(message.isEmpty() ? 0 : 1));
    if (message.isEmpty()) return;
    QCOMPARE(c.messages()[0].text, message);
    QCOMPARE(c.messages()[0].icon, MessageIcon::Exclamation);
    QCOMPARE(c.messages()[0].title, QString("Calculate Insonified Area"));
}

void TestToolWindows::footprint_stop_and_refusal()
{
    QVERIFY(write_file("many.txt", QByteArray("20.5 10.5 -100\n").repeated(300000)));
    Context c;
    frm_footprint w(c.context());
    set_text(w, "Text1", "many.txt");
    set_text(w, "Text2", "many.bin");
    fill_box(w, {"10", "11", "20:00", "21"});
    click(w, "Command3");
    QVERIFY(w.running());
    QTRY_VERIFY_WITH_TIMEOUT(text_of(w, "Label11").startsWith("Ping: "), 20000);
    QVERIFY2(text_of(w, "Label11").endsWith('0'), qPrintable(text_of(w, "Label11")));
    set_text(w, "Text2", "other.bin");
    click(w, "Command3");   // refused while running
    QVERIFY(!QFile::exists("other.bin"));
    QElapsedTimer stopping;
    stopping.start();
    click(w, "Command4");
    QTRY_VERIFY_WITH_TIMEOUT(!w.running(), 2000);
    QVERIFY2(stopping.elapsed() < 500, qPrintable(QString::number(stopping.elapsed())));
    QCOMPARE(c.messages().size(), std::size_t(1));
    // The closing message says that the run was stopped.
    const QString text = c.messages()[0].text;
    QVERIFY2(text.startsWith("Stopped after ") && text.endsWith(" square meter!"), qPrintable(text));
    const QString area = text.section("\r\n", 1);
    QVERIFY2(area.startsWith("You covered "), qPrintable(text));
    const qint64 records = area.section(' ', 2, 2).toLongLong();  // 88 points of 1 m² and 88 records a ping
    QCOMPARE(text.section(' ', 2, 2).toLongLong(), records);
    QVERIFY(records > 0 && records < 300000LL * 88);
    QCOMPARE(QFile("many.bin").size(), records * 24);
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
            [&] { seen << label4(w); });
    click(w, "Command1");
    QCOMPARE(label4(w), QString("Please wait: ..."));
    QTRY_COMPARE(label4(w), QString("-"));
    auto* bar = child<QProgressBar>(w, "progress_bar");
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.back(), QString("Line #:  2000"));
    QCOMPARE(read_file("out.txt").size(), 2500 * 6);
}

void TestToolWindows::replace_closing_stops_the_run()
{
    Context c;
    const QByteArray input = QByteArray("some line of text to copy\n").repeated(400000);
    QVERIFY(write_file("in.txt", input));
    auto* w = new frm_replace(c.context());
    set_text(*w, "Text3", path("in.txt"));
    set_text(*w, "Text4", path("out.txt"));
    click(*w, "Command1");
    click(*w, "Command1");   // refused while running
    delete w;                // stops and waits
    const QByteArray written = read_file("out.txt");
    QVERIFY(written.size() <= input.size() + 400000);
    QVERIFY(written.isEmpty() || written.endsWith("copy\r\n"));
    QVERIFY(c.messages().empty());
}

void TestToolWindows::runner_reports_to_the_end()
{
    mq::tools::WorkerBridge bridge;
    bridge.setInterval(5);
    QSignalSpy progress(&bridge, &mq::tools::WorkerBridge::progress);
    auto done = std::make_shared<std::int64_t>(-1);
    bool finished = false;
    QVERIFY(bridge.start([done](auto& control) { *done = count_records(control, 2000); }, [&] { finished = true; }));
    QTRY_VERIFY_WITH_TIMEOUT(finished, 10000);
    QCOMPARE(*done, 2000);
    QVERIFY(!bridge.running());
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.last().at(0).value<mq::tools::Progress>().count, 2000);
}

void TestToolWindows::runner_stops_and_refuses_a_second_start()
{
    mq::tools::WorkerBridge bridge;
    auto done = std::make_shared<std::int64_t>(-1);
    bool finished = false;
    QVERIFY(bridge.start([done](auto& control) { *done = count_records(control, 1000000); }, [&] { finished = true; }));
    QVERIFY(!bridge.start([](auto&) {}, [] {}));   // one run at a time
    QTest::qWait(30);
    bridge.stop();
    QTRY_VERIFY_WITH_TIMEOUT(finished, 5000);
    QVERIFY(*done > 0 && *done < 1000000);
    QVERIFY(bridge.start([](auto&) {}, [] {}));    // free again
}

void TestToolWindows::runner_stops_when_its_window_closes()
{
    auto* window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto* bridge = new mq::tools::WorkerBridge(window);
    auto stopped_at = std::make_shared<std::atomic<std::int64_t>>(-1);
    bool finished = false;
    QVERIFY(bridge->start([stopped_at](auto& control) { *stopped_at = count_records(control, 100000000); },
                          [&] { finished = true; }));
    window->show();
    QTest::qWait(20);
    QPointer<QWidget> alive(window);
    window->close();   // deletes the window and its bridge, which joins the job
    QTRY_VERIFY(alive.isNull());
    QVERIFY(*stopped_at >= 0);
    QVERIFY(!finished);
}

QTEST_MAIN(TestToolWindows)
#include "test_tool_windows.moc"
