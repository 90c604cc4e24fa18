// The UTM window driven like a user would: typing through the key filters,
// buttons, the clipboard and dialog doubles, and a file conversion on the
// worker thread with its label, its refusal of a second start and its stop
// when the window closes.
#include "calc/ui/frm_UTM_LL.h"
#include "platform/scripted_platform.h"
#include "platform/window_driver.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace mq::testing;
using mq::platform::MessageIcon;

namespace {

struct Fixture {
    ScriptedPlatform platform;
    mq::tools::ToolContext context;
    Fixture() { context.services = platform.services(); }
};

}  // namespace

class TestUtmWindow : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir_.isValid() && QDir::setCurrent(dir_.path())); }
    void starts_as_described();
    void key_filters_data();
    void key_filters();
    void convert_and_copy_data();
    void convert_and_copy();
    void browse_uses_its_own_dialog();
    void file_messages_data();
    void file_messages();
    void file_runs_on_the_worker();

private:
    QTemporaryDir dir_;
};

void TestUtmWindow::starts_as_described()
{
    Fixture f;
    frm_UTM_LL w(f.context);
    QCOMPARE(w.windowTitle(), QString("UTM - Lat/Lon Converter"));
    QCOMPARE(child<QGroupBox>(w, "Frame1")->title(), QString("Latitude/Longitude to UTM"));
    QCOMPARE(child<QGroupBox>(w, "Frame2")->title(), QString("UTM to Latitude/Longitude"));
    const std::pair<const char*, const char*> texts[] = {
        {"lb_zone", "-"}, {"lb_easting", "-"}, {"lb_northing", "-"}, {"lb_lon", "-"},
        {"lb_lat", "-"},  {"Label12", "-"},    {"Lo", "Longitude"},  {"Label1", "Latitude"}};
    for (const auto& [name, text] : texts) QCOMPARE(text_of(w, name), QString(text));
    const std::pair<const char*, const char*> buttons[] = {
        {"Command1", "Convert"}, {"Command2", "Convert"}, {"Command3", "Copy"},        {"Command4", "Copy"},
        {"Command5", "Browse"},  {"Command6", "Browse"},  {"Command7", "Convert File"}};
    for (const auto& [name, text] : buttons) QCOMPARE(child<QPushButton>(w, name)->text(), QString(text));
    QVERIFY(child<QRadioButton>(w, "Op_north")->isChecked());
    QCOMPARE(child<QRadioButton>(w, "op_south")->text(), QString("South"));
    QStringList captions;
    for (QLabel* label : w.findChildren<QLabel*>()) captions << label->text();
    for (const char* caption : {"UTM Zone:", "Easting:", "Northing:", "Easting", "Northing", "UTM Zone",
                                "Longitude:", "Latitude:", "In file (ascii: Easting, Northing, depth)",
                                "Out file (ascii: Longitude, Latitide, depth)"})
        QVERIFY2(captions.contains(caption), caption);
}

void TestUtmWindow::key_filters_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    const QString all = "-./09:aE, ";
    QTest::newRow("longitude") << "Text1" << all << "-./09:";
    QTest::newRow("latitude") << "Text2" << all << "-./09:";
    QTest::newRow("easting") << "tx_easting" << all << "./09";
    QTest::newRow("northing") << "tx_northing" << all << "./09";
    QTest::newRow("zone") << "tx_UTM_zone" << all << "/09";
    QTest::newRow("backspace passes") << "tx_UTM_zone"
                                      << "32\b"
                                      << "3";
}

void TestUtmWindow::key_filters()
{
    QFETCH(QString, box);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    Fixture f;
    frm_UTM_LL w(f.context);
    type_keys(child<QLineEdit>(w, box), keys);
    QCOMPARE(text_of(w, box), expected);
}

void TestUtmWindow::convert_and_copy_data()
{
    QTest::addColumn<QStringList>("boxes");  // name=value
    QTest::addColumn<bool>("south");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("lat/lon to UTM") << QStringList{"Text1=9", "Text2=50"} << false << "Command3"
                                    << "500000\t5538630.703\t32";
    QTest::newRow("colon notation, sign from the text")
        << QStringList{"Text1=-10:30", "Text2=-33:54:00"} << false << "Command3"
        << "361310.106\t6247919.039\t29";
    QTest::newRow("empty latitude keeps the labels") << QStringList{"Text1=9"} << false << "Command3"
                                                     << "-\t-\t-";
    QTest::newRow("UTM south") << QStringList{"tx_easting=500000", "tx_northing=4461369.297",
                                              "tx_UTM_zone=32"}
                               << true << "Command4"
                               << "9:00.000000\t-50:00.000000";
    QTest::newRow("UTM north keeps the northing")
        << QStringList{"tx_easting=500000", "tx_northing=5538630.703", "tx_UTM_zone=32"} << false
        << "Command4"
        << "9:00.000000\t50:00.000000";
    QTest::newRow("empty zone keeps the labels")
        << QStringList{"tx_easting=500000", "tx_northing=1"} << false << "Command4"
        << "-\t-";
    QTest::newRow("zone overflow keeps the labels")
        << QStringList{"tx_easting=500000", "tx_northing=1", "tx_UTM_zone=6000"} << false << "Command4"
        << "-\t-";
}

void TestUtmWindow::convert_and_copy()
{
    QFETCH(QStringList, boxes);
    QFETCH(bool, south);
    QFETCH(QString, button);
    QFETCH(QString, clipboard);
    Fixture f;
    frm_UTM_LL w(f.context);
    for (const QString& pair : boxes) set_text(w, pair.section('=', 0, 0), pair.section('=', 1));
    child<QRadioButton>(w, "op_south")->setChecked(south);
    click(w, button);
    QCOMPARE(f.platform.clipboard.content, clipboard);
    QCOMPARE(f.platform.clipboard.clears, 1);
}

void TestUtmWindow::browse_uses_its_own_dialog()
{
    Fixture f;
    frm_UTM_LL w(f.context);
    auto& dialog = f.platform.dialog;
    dialog.state().filter = "Scripts|*.bat";
    dialog.state().filterIndex = 1;
    dialog.answers << ScriptedDialog::accept("/data/in.xyz") << ScriptedDialog::cancel()
                   << ScriptedDialog::accept("/data/new.txt");
    click(w, "Command5");
    click(w, "Command5");  // cancelled: unchanged
    click(w, "Command6");
    QCOMPARE(text_of(w, "tx_in_UTM2LL"), QString("/data/in.xyz"));
    QCOMPARE(text_of(w, "tx_out_UTM2LL"), QString("/data/new.txt"));
    QCOMPARE(dialog.shown.size(), std::size_t(3));
    QCOMPARE(dialog.shown[0].kind, ScriptedDialog::Kind::Open);
    QCOMPARE(dialog.shown[2].kind, ScriptedDialog::Kind::Save);  // a new name may be typed
    QVERIFY(!dialog.shown[2].state.overwritePrompt);
    for (const auto& shown : dialog.shown) {
        QCOMPARE(shown.state.filter,
                 QString("All Files (*.*)|*.*|Data Files (*.dat)|*.dat|XYZ Files (*.xyz)|*.xyz|"
                         "Text Files (*.txt)|*.txt"));
        QCOMPARE(shown.state.filterIndex, 3);
    }
    // The main window's shared dialog keeps its own settings.
    QCOMPARE(dialog.state().filter, QString("Scripts|*.bat"));
    QCOMPARE(dialog.state().filterIndex, 1);
}

void TestUtmWindow::file_messages_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("message");  // the start of the text
    QTest::addColumn<QString>("label");    // Label12 afterwards
    const QByteArray good = "500000 5538630.703 12.5\n";
    const int question = int(MessageIcon::Question);
    QTest::newRow("no delimiter") << good + "5000005538630.703\n"
                                  << "in.txt"
                                  << "out.txt"
                                  << "Mapquill" << int(MessageIcon::None)
                                  << " There is no TAB as delimiter in the current line!"
                                  << "Please wait: ...";
    QTest::newRow("wrong path") << good << "in.txt"
                                << "nofolder/out.txt"
                                << "Wrong Path" << question
                                << "Is it possible that one of your paths is wong?"
                                << "-";
    QTest::newRow("not a number")
        << good + "500000  1 2\n"
        << "in.txt"
        << "out.txt"
        << "Error" << question
        << "... don't know what is wrong.\n\n7    in.txt, line 2: field 2 is not a number"
        << "Please wait: ...";
    QTest::newRow("missing input") << good << "none.txt"
                                   << "out.txt"
                                   << "Error" << question
                                   << "... don't know what is wrong.\n\n5    none.txt: cannot open the file: "
                                   << "-";
    QTest::newRow("output is the input")
        << good << "in.txt"
        << "in.txt"
        << "Error" << question
        << "... don't know what is wrong.\n\n3    in.txt: the output file is the input file"
        << "-";
}

void TestUtmWindow::file_messages()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, in);
    QFETCH(QString, out);
    QFETCH(QString, caption);
    QFETCH(int, icon);
    QFETCH(QString, message);
    QFETCH(QString, label);
    write_file("in.txt", input);
    QFile::remove("out.txt");
    Fixture f;
    frm_UTM_LL w(f.context);
    set_text(w, "tx_UTM_zone", "32");
    set_text(w, "tx_in_UTM2LL", in);
    set_text(w, "tx_out_UTM2LL", out);
    click(w, "Command7");
    QTRY_VERIFY(!w.converting());
    QCOMPARE(f.platform.messages.shown.size(), std::size_t(1));
    const auto& shown = f.platform.messages.shown[0];
    QVERIFY2(shown.text.startsWith(message), qPrintable(shown.text));
    QCOMPARE(shown.title, caption);
    QCOMPARE(int(shown.icon), icon);
    QCOMPARE(shown.buttons, mq::platform::MessageButtons::Ok);
    QCOMPARE(text_of(w, "Label12"), label);
    QCOMPARE(read_file("in.txt"), input);
    // The lines before a bad one stay.
    if (label != "-") QCOMPARE(read_file("out.txt"), QByteArray("9:00.000000\t50:00.000000\t12.5\r\n"));
}

void TestUtmWindow::file_runs_on_the_worker()
{
    QByteArray small = "# easting northing depth\n";
    for (int i = 0; i < 3000; ++i) small += "500000\t5538630.703\t" + QByteArray::number(i) + "\n";
    write_file("small.txt", small);
    QByteArray big;
    for (int i = 0; i < 400000; ++i) big += "500000 4461369.297 " + QByteArray::number(i) + "\n";
    write_file("big.txt", big);

    Fixture f;
    auto* w = new frm_UTM_LL(f.context);
    set_text(*w, "tx_in_UTM2LL", "small.txt");
    set_text(*w, "tx_out_UTM2LL", "small.out");
    click(*w, "Command7");  // no zone: nothing happens
    QVERIFY(!w->converting() && !QFile::exists("small.out"));
    set_text(*w, "tx_UTM_zone", "32");
    click(*w, "Command7");
    QTRY_VERIFY(!w->converting());
    QCOMPARE(text_of(*w, "Label12"), QString("-"));
    const QByteArray written = read_file("small.out");
    QCOMPARE(written.count('\n'), 3000);
    QVERIFY(written.startsWith("9:00.000000\t50:00.000000\t0\r\n"));

    // A long run: the label counts thousands, a second start is refused and
    // closing the window stops it, keeping the lines written so far.
    child<QRadioButton>(*w, "op_south")->setChecked(true);
    set_text(*w, "tx_in_UTM2LL", "big.txt");
    set_text(*w, "tx_out_UTM2LL", "big.out");
    click(*w, "Command7");
    QCOMPARE(text_of(*w, "Label12"), QString("Please wait: ..."));
    QTRY_VERIFY_WITH_TIMEOUT(text_of(*w, "Label12").startsWith("Line #:  "), 20000);
    QVERIFY2(QRegularExpression("^Line #:  [1-9][0-9]*000$").match(text_of(*w, "Label12")).hasMatch(),
             qPrintable(text_of(*w, "Label12")));
    set_text(*w, "tx_out_UTM2LL", "other.out");
    click(*w, "Command7");  // refused while running
    QElapsedTimer stopping;
    stopping.start();
    w->close();
    QVERIFY(!w->converting());
    QVERIFY2(stopping.elapsed() < 500, qPrintable(QString::number(stopping.elapsed())));
    delete w;
    QVERIFY(!QFile::exists("other.out"));
    const QByteArray partial = read_file("big.out");
    QVERIFY(partial.count('\n') > 0 && partial.count('\n') < 400000);
    QVERIFY(partial.startsWith("9:00.000000\t-50:00.000000\t0\r\n") && partial.endsWith("\r\n"));
    QVERIFY(f.platform.messages.shown.empty());
}

QTEST_MAIN(TestUtmWindow)
#include "test_utm_window.moc"
