// The calculator windows driven like a user would: typing through the key
// filters, option buttons, button clicks, the clipboard, dialog and message
// doubles, and the file conversions on the worker thread. Everything runs
// under a locale with a decimal comma (when it is generated here), which must
// change nothing the windows show or write.
#include "calc/ui/frm_UTM_LL.h"
#include "calc/ui/frm_swiss.h"
#include "calc/ui/grid_space_calc.h"
#include "calc/ui/lat_lon_conv.h"
#include "common/number_rules.h"
#include "platform/scripted_platform.h"
#include "platform/window_driver.h"
#include "window_state.h"

#include <QCheckBox>
#include <QComboBox>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cerrno>
#include <clocale>
#include <system_error>

using namespace mq::testing;
using mq::platform::MessageIcon;

namespace {

// The main window's open_file_dialog over the scripted dialog.
mq::tools::ToolContext context_for(ScriptedPlatform& p)
{
    mq::tools::ToolContext c;
    c.services = p.services();
    c.openFileDialog = [&p] {
        p.dialog.state().filter = "Open File filter";
        return p.dialog.showOpen() ? p.dialog.state().fileName : QString();
    };
    return c;
}

QRadioButton* option(QWidget& w, int i) { return child<QRadioButton>(w, QString("Option1_%1").arg(i)); }

QString enabled_options(QWidget& w)
{
    QString s;
    for (int i = 0; i < 6; ++i)
        if (option(w, i)->isEnabled()) s += QString::number(i);
    return s;
}

int checked_option(QWidget& w)
{
    for (int i = 0; i < 6; ++i)
        if (option(w, i)->isChecked()) return i;
    return -1;
}

// name=value pairs into text boxes; a bare name clicks that check box.
void fill(QWidget& w, const QStringList& boxes)
{
    for (const QString& pair : boxes) {
        if (pair.contains('='))
            set_text(w, pair.section('=', 0, 0), pair.section('=', 1));
        else
            child<QCheckBox>(w, pair)->click();
    }
}

// Each control's text, "name=text" joined by "|".
QString texts_of(QWidget& w, const QStringList& names)
{
    QStringList out;
    for (const QString& name : names) {
        QObject* control = w.findChild<QObject*>(name);
        out << name + "=" + (control ? control->property("text").toString() : QString("<missing>"));
    }
    return out.join('|');
}

// A failing input of a calculator window: its message box, the labels and
// out.txt afterwards, against the golden error table.
struct BoxCase {
    bool swiss;
    QByteArray input;    // in.txt
    QStringList boxes;   // name=value; a bare name clicks that check box
    QString button;
};

}  // namespace

Q_DECLARE_METATYPE(BoxCase)

class TestCalcWindows : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    bool german_ = false;

private slots:
    void initTestCase()
    {
#ifdef Q_OS_WIN
        german_ = std::setlocale(LC_ALL, "German_Germany.1252") != nullptr;
#else
        german_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
#endif
        if (german_) QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void init() { QVERIFY(dir_.isValid() && QDir::setCurrent(dir_.path())); }
    // Windows does not remove the current folder.
    void cleanupTestCase() { QDir::setCurrent(QDir::tempPath()); }

    void number_rules_keep_the_point()
    {
        if (!german_) {
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL("the German locale is missing; scripts/setup.sh generates it");
            QSKIP("the German locale is not generated here");
        }
        namespace num = mq::numbers;
        QCOMPARE(std::localeconv()->decimal_point[0], ',');
        QCOMPARE(num::read_number("2.5").value_or(0), 2.5);
        QVERIFY(!num::read_number("2,5").has_value());
        QCOMPARE(num::general_text(-1234.5) + " " + num::general_text(1.5e-7),
                 std::string("-1234.5 1.5E-07"));
        QCOMPARE(num::format_pattern(2.675, "#0.00"), std::string("2.68"));
        QCOMPARE(num::round_to(2.675, 2), 2.68);
        char buffer[num::kGeneralTextMax];
        QCOMPARE(std::string(buffer, num::general_text_to(buffer, 10.25)), std::string("10.25"));
    }

    // Captions, texts, options and tips as each window starts.
    void windows_start_as_described_data()
    {
        QTest::addColumn<QString>("window");
        for (const char* name : {"lat_lon_conv", "grid_space_calc", "frm_swiss", "frm_UTM_LL"})
            QTest::newRow(name) << QString(name);
    }
    void windows_start_as_described()
    {
        QFETCH(QString, window);
        ScriptedPlatform p;
        std::unique_ptr<QWidget> w;
        if (window == "lat_lon_conv") w = std::make_unique<lat_lon_conv>(p.services());
        if (window == "grid_space_calc") w = std::make_unique<grid_space_calc>(p.services());
        if (window == "frm_swiss") w = std::make_unique<frm_swiss>(context_for(p));
        if (window == "frm_UTM_LL") w = std::make_unique<frm_UTM_LL>(context_for(p));
        compare_with_golden(*w, MQ_TEST_DATA_DIR "/data/" + window + ".txt");
        if (window != "grid_space_calc") return;
        w->show();
        w->resize(600, 500);
        QCOMPARE(w->size(), QSize(346, 240));  // a fixed size
    }

    // Lat/Lon Converter.

    void lat_lon_typing()
    {
        // keys ("\b": Backspace) | Text1, the options offered and the one checked afterwards
        const std::pair<QString, QString> rows[] = {
            {"45.5", "45.5 23 2"},
            {"a4b5,. 5+E", "45.5 23 2"},   // unwanted keys dropped
            {"10/30", "1030 012345 0"},    // "/" dropped
            {"10:30", "10:30 0145 0"},
            {"-10:30.5", "-10:30.5 05 0"},
            {"10:30:45", "10:30:45 14 1"},
            {"1.5e1", "1.5e1 23 2"},
            {"1:2:3:4", "1:2:3:4 14 1"},   // four fields keep the last offer
            {"45.5\b\b", "45 012345 2"},
            {"10:30\b\b\b\b\b", " 012345 0 -"},   // cleared again: no result shown
        };
        for (const auto& [keys, expected] : rows) {
            ScriptedPlatform p;
            lat_lon_conv w(p.services());
            auto* text1 = child<QLineEdit>(w, "Text1");
            text1->clear();
            type_keys(text1, keys);
            QString got = text1->text() + " " + enabled_options(w) + " " + QString::number(checked_option(w));
            if (text1->text().isEmpty()) got += " " + text_of(w, "Label1");
            QCOMPARE(got, expected);
        }
    }

    void lat_lon_do()
    {
        // text, option picked by hand (-1: none) | Label1 ("45:30.0000" before), Text1, option checked
        const std::tuple<QString, int, QString> rows[] = {
            {"45.5", -1, "45:30.0000|45.5|2"},
            {"10:30.5", 5, "10:30:30.00|10:30.5|5"},
            {"-10:30.5", 5, "-10.5083330|-10:30.5|0"},   // the minus taken off, detection reselects
            {"1.5e1", 0, "15.0000000|15|0"},             // the exponent written out
            {"-2.5e0", 0, "-02:30.0000|-2.5|2"},
            {"45", 2, "45:30.0000|45|2"},   // whole degrees: no result
            {"45.5:30", 5, "45:30.0000|45.5:30|5"},
            {"abc", 0, "45:30.0000|abc|0"},
            {QString(5000, '9'), 0, "45:30.0000|" + QString(5000, '9') + "|0"},
            {"", 0, "-||0"},
        };
        for (const auto& [text, pick, expected] : rows) {
            ScriptedPlatform p;
            lat_lon_conv w(p.services());
            set_text(w, "Text1", "45.5");
            click(w, "Command1");
            set_text(w, "Text1", text);
            if (pick >= 0) option(w, pick)->setChecked(true);
            click(w, "Command1");
            const QString option = QString::number(checked_option(w));
            QCOMPARE(text_of(w, "Label1") + "|" + text_of(w, "Text1") + "|" + option, expected);
        }
    }

    void lat_lon_copy_result()
    {
        ScriptedPlatform p;
        lat_lon_conv w(p.services());
        set_text(w, "Text1", "10:30:45");
        QTest::mouseClick(child<QPushButton>(w, "Command2"), Qt::LeftButton);
        QCOMPARE(p.clipboard.content, QString("10.5125000"));
        QCOMPARE(p.clipboard.clears, 1);
    }

    void convert_and_copy()
    {
        // the list | the clipboard | Text1|Label1 afterwards
        const std::tuple<QString, QString, QString> rows[] = {
            {"-10:30/-9:30/50:00/51:00", "-10.5000000/-9.5000000/50.0000000/51.0000000", "51:00|51.0000000"},
            // a piece without a result is kept as typed
            {"10.5/12.25/50.125/51", "10:30.0000/12:15.0000/50:07.5000/51", "51|50:07.5000"},
            {"45.5/abc/10:30/-5.5", "45:30.0000/abc/10.5000000/-05:30.0000", "-5.5|-05:30.0000"},
            {"10.5//11.5", "10:30.0000//11:30.0000", "11.5|11:30.0000"},
            {"", "", "one coordinate|-"},   // an empty list empties the clipboard
        };
        for (const auto& [list, copied, last] : rows) {
            ScriptedPlatform p;
            p.clipboard.setText("old");
            lat_lon_conv w(p.services());
            set_text(w, "Text2", list);
            QTest::mouseClick(child<QPushButton>(w, "Command3"), Qt::LeftButton);
            QCOMPARE(p.clipboard.content, copied);
            QCOMPARE(p.clipboard.clears, 1);
            QCOMPARE(text_of(w, "Text1") + "|" + text_of(w, "Label1"), last);
        }
    }

    // Grid size calculation.

    void grid_calculate()
    {
        const QString two = "02:00:00.00 / 02:0.0000 / 2.00000000";
        const QString half = "00:30:00.00 / 00:30.0000 / 0.50000000";
        // Text1..Text4, Option2 by hand | the three results, Option2 checked afterwards
        const std::tuple<QStringList, bool, QString> rows[] = {
            {{"10", "12", "4", ""}, false, two + "|4|" + half + "|0"},
            {{"10", "12", "", "0:0:30"}, false, two + "|240|00:00:30.00 / 00:0.5000 / 0.00833333|1"},
            {{"10", "12", "4", ""}, true, two + "|4|" + half + "|0"},   // the amount selects its option
            {{"10", "12", "0", ""}, false, two + "|0|-|0"},
            {{"10", "12", "", "0"}, false, two + "|-|-|1"},
            {{"ten", "12", "4", ""}, false, "-|4|-|0"},
            {{"10", "12", "", ""}, true, "|||1"},   // both empty: nothing changes
        };
        for (const auto& [boxes, size_by_hand, expected] : rows) {
            ScriptedPlatform p;
            grid_space_calc w(p.services());
            for (int i = 0; i < 4; ++i) set_text(w, QString("Text%1").arg(i + 1), boxes[i]);
            if (size_by_hand) child<QRadioButton>(w, "Option2")->setChecked(true);
            QTest::mouseClick(child<QPushButton>(w, "Command1"), Qt::LeftButton);
            QCOMPARE(QStringList({text_of(w, "result_0"), text_of(w, "result_1"), text_of(w, "result_2"),
                                  QString::number(child<QRadioButton>(w, "Option2")->isChecked())})
                         .join('|'),
                     expected);
        }
    }

    void grid_key_filters()
    {
        ScriptedPlatform p;
        grid_space_calc w(p.services());
        type_keys(child<QLineEdit>(w, "Text3"), "1a2.:/-3 \b4");
        type_keys(child<QLineEdit>(w, "Text4"), "1a2.:/-3e,");
        type_keys(child<QLineEdit>(w, "Text1"), "-1a:");   // no filter on the range boxes
        QCOMPARE(texts_of(w, {"Text3", "Text4", "Text1"}), QString("Text3=12/4|Text4=12.:/3|Text1=-1a:"));
    }

    // Swiss - Lat Lon Converter.

    void swiss_check_boxes_exclude_each_other()
    {
        ScriptedPlatform p;
        frm_swiss w(context_for(p));
        auto* swiss = child<QCheckBox>(w, "ck_swiss");
        auto* latlon = child<QCheckBox>(w, "ck_latlon");
        QTest::mouseClick(latlon, Qt::LeftButton);
        QVERIFY(latlon->isChecked() && !swiss->isChecked());
        QTest::mouseClick(swiss, Qt::LeftButton);
        QVERIFY(swiss->isChecked() && !latlon->isChecked());
        QTest::mouseClick(swiss, Qt::LeftButton);
        QVERIFY(!swiss->isChecked() && !latlon->isChecked());
    }

    void swiss_browse_buttons()
    {
        ScriptedPlatform p;
        frm_swiss w(context_for(p));
        p.dialog.state().filterIndex = 4;
        p.dialog.answers << ScriptedDialog::accept("/data/out.txt");
        click(w, "Command2");
        QCOMPARE(text_of(w, "Text2"), QDir::toNativeSeparators("/data/out.txt"));
        QCOMPARE(p.dialog.shown.back().state.filterIndex, 4);   // left as it was
        QVERIFY(!p.dialog.shown.back().state.explorerStyle);

        p.dialog.answers << ScriptedDialog::accept("/data/in.txt");
        click(w, "Command1");
        QCOMPARE(text_of(w, "Text1"), QDir::toNativeSeparators("/data/in.txt"));
        QCOMPARE(p.dialog.shown.back().state.filterIndex, 1);
        QVERIFY(p.dialog.shown.back().state.explorerStyle);

        click(w, "Command1");   // cancelled
        QCOMPARE(text_of(w, "Text1"), QDir::toNativeSeparators("/data/in.txt"));
        QCOMPARE(p.dialog.state().filterIndex, 1);   // stays on the shared dialog
    }

    void swiss_convert()
    {
        // (A bad line is in the error table.)
        struct Row {
            QByteArray input;
            QString delimiter;
            bool yx, latlon;
            QByteArray output;   // "<missing>": no output path, nothing happens
        };
        const QByteArray origin = "7.43863722\t46.95108111\t7\r\n";
        const Row rows[] = {{"200000,600000,7\n", ",", false, false, origin},
                            {"600000;200000;7\n", ";", true, false, origin},   // typed delimiter, Y first
                            {"7.43863722 46.95108111 7\n", "Space", false, true,
                             "600000.35\t199999.83\t7\r\n"},
                            {"200000,600000,7\n", ",", false, false, "<missing>"}};
        for (const Row& c : rows) {
            ScriptedPlatform p;
            frm_swiss w(context_for(p));
            write_file("in.txt", c.input);
            set_text(w, "Text1", dir_.filePath("in.txt"));
            if (c.output != "<missing>") set_text(w, "Text2", dir_.filePath("out.txt"));
            child<QComboBox>(w, "Combo1")->setCurrentText(c.delimiter);
            if (c.yx) child<QRadioButton>(w, "op_yx")->click();
            if (c.latlon) child<QCheckBox>(w, "ck_latlon")->click();
            QFile::remove("out.txt");
            click(w, "Command3");
            const bool runs = c.output != "<missing>";
            if (runs) QCOMPARE(text_of(w, "Label4"), QString("Please wait: ..."));
            QTest::qWait(runs ? 0 : 100);
            QTRY_COMPARE(text_of(w, "Label4"), QString(runs ? "Converting finished!" : "-"));
            QCOMPARE(read_file("out.txt"), c.output);
            auto* bar = child<QProgressBar>(w, "progress_bar");
            if (runs) QCOMPARE(bar->value(), bar->maximum());
            QVERIFY(p.messages.shown.empty());
        }
    }

    // UTM - Lat/Lon Converter.

    void utm_key_filters()
    {
        const QString all = "-./09:aE, ";
        const std::tuple<const char*, QString, const char*> rows[] = {   // box, keys, text
            {"Text1", all, "-./09:"},       {"Text2", all, "-./09:"},    {"tx_easting", all, "./09"},
            {"tx_northing", all, "./09"},   {"tx_UTM_zone", all, "/09"}, {"tx_UTM_zone", "32\b", "3"}};
        ScriptedPlatform p;
        frm_UTM_LL w(context_for(p));
        for (const auto& [box, keys, text] : rows) {
            set_text(w, box, "");
            type_keys(child<QLineEdit>(w, box), keys);
            QCOMPARE(QString(box) + "=" + text_of(w, box), QString(box) + "=" + text);
        }
    }

    void utm_convert_and_copy()
    {
        // name=value ("south": the South option) | the clipboard after Command3 (to UTM) or Command4
        const QStringList utm = {"tx_easting=500000", "tx_UTM_zone=32"};
        const std::pair<QStringList, QString> rows[] = {
            {{"Text1=9", "Text2=50"}, "500000\t5538630.703\t32"},
            {{"Text1=-10:30", "Text2=-33:54:00"}, "361310.106\t6247919.039\t29"},   // the sign from the text
            {{"Text1=9"}, "-\t-\t-"},   // an empty latitude keeps the labels
            {utm + QStringList{"tx_northing=4461369.297", "south"}, "9:00.000000\t-50:00.000000"},
            {utm + QStringList{"tx_northing=5538630.703"}, "9:00.000000\t50:00.000000"},   // north keeps it
            {{"tx_easting=500000", "tx_northing=1"}, "-\t-"},   // an empty zone keeps the labels
            {{"tx_easting=500000", "tx_northing=1", "tx_UTM_zone=6000"}, "-\t-"},
        };
        for (auto [boxes, clipboard] : rows) {
            ScriptedPlatform p;
            frm_UTM_LL w(context_for(p));
            child<QRadioButton>(w, "op_south")->setChecked(boxes.removeAll("south") > 0);
            fill(w, boxes);
            click(w, boxes.first().startsWith("Text") ? "Command3" : "Command4");
            QCOMPARE(p.clipboard.content, clipboard);
            QCOMPARE(p.clipboard.clears, 1);
        }
    }

    void utm_browse_uses_its_own_dialog()
    {
        ScriptedPlatform p;
        frm_UTM_LL w(context_for(p));
        auto& dialog = p.dialog;
        dialog.state().filter = "Scripts|*.bat";
        dialog.state().filterIndex = 1;
        dialog.answers << ScriptedDialog::accept("/data/in.xyz") << ScriptedDialog::cancel()
                       << ScriptedDialog::accept("/data/new.txt");
        click(w, "Command5");
        click(w, "Command5");   // cancelled: unchanged
        click(w, "Command6");
        QCOMPARE(text_of(w, "tx_in_UTM2LL") + "|" + text_of(w, "tx_out_UTM2LL"),
                 QDir::toNativeSeparators("/data/in.xyz|/data/new.txt"));
        QCOMPARE(dialog.shown.size(), std::size_t(3));
        QCOMPARE(dialog.shown[0].kind, ScriptedDialog::Kind::Open);
        QCOMPARE(dialog.shown[2].kind, ScriptedDialog::Kind::Save);   // a new name may be typed
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

    void error_boxes_data()
    {
        QTest::addColumn<BoxCase>("c");
        const QStringList files{"tx_in_UTM2LL=in.txt", "tx_out_UTM2LL=out.txt", "tx_UTM_zone=32"};
        const QStringList zero{"tx_easting=500000", "tx_northing=0"}, swiss{"Text1=in.txt", "Text2=out.txt"};
        const QByteArray good = "500000 5538630.703 12.5\n";
        auto row = [](const char* name, const BoxCase& c) { QTest::newRow(name) << c; };
        row("utm Command1 latitude 91", {false, good, {"Text1=0", "Text2=91"}, "Command1"});
        row("utm Command1 latitude -90.0001", {false, good, {"Text1=0", "Text2=-90.0001"}, "Command1"});
        for (const char* zone : {"utm Command2 zone 0", "utm Command2 zone 11.5", "utm Command2 zone 61"})
            row(zone, {false, good, zero + QStringList{"tx_UTM_zone=" + QString(zone).section(' ', 3)},
                       "Command2"});
        row("utm Command2 northing 1e8",
            {false, good, {"tx_easting=500000", "tx_northing=100000000", "tx_UTM_zone=32"}, "Command2"});
        row("utm Command7 zone 61", {false, good, files + QStringList{"tx_UTM_zone=61"}, "Command7"});
        row("utm Command7 no delimiter", {false, good + "5000005538630.703\n", files, "Command7"});
        row("utm Command7 wrong path",
            {false, good, files + QStringList{"tx_out_UTM2LL=nofolder/out.txt"}, "Command7"});
        row("utm Command7 not a number", {false, good + "500000  1 2\n", files, "Command7"});
        row("utm Command7 field 3 missing", {false, good + "500000 1\n", files, "Command7"});
        row("utm Command7 northing 1e8", {false, "500000 1e8 1\n", files, "Command7"});
        row("utm Command7 missing input",
            {false, good, files + QStringList{"tx_in_UTM2LL=none.txt"}, "Command7"});
        row("utm Command7 output is the input",
            {false, good, files + QStringList{"tx_out_UTM2LL=in.txt"}, "Command7"});
        row("utm Command7 output is a folder",
            {false, good, files + QStringList{"tx_out_UTM2LL=folder"}, "Command7"});
        row("swiss bad line", {true, "200000,600000,7\n200000,x,7\n", swiss, "Command3"});
        row("swiss far away", {true, "1e9,1e9,1\n", swiss, "Command3"});
        row("swiss 7 digits", {true, "1200000,2600000,1\n", swiss, "Command3"});
        row("swiss latitude 91", {true, "7,91,1\n", swiss + QStringList{"ck_latlon"}, "Command3"});
        row("swiss missing input", {true, "", {"Text1=none.txt", "Text2=out.txt"}, "Command3"});
        row("swiss output is the input", {true, "", {"Text1=in.txt", "Text2=in.txt"}, "Command3"});
    }
    void error_boxes()
    {
        QFETCH(BoxCase, c);
        QFile golden(MQ_TEST_DATA_DIR "/../common/data/error_boxes.txt");
        QVERIFY(golden.open(QIODevice::ReadOnly | QIODevice::Text));
        QString expected;
        const QString name = QString("window ") + QTest::currentDataTag();
        for (const QString& line : QString::fromUtf8(golden.readAll()).split('\n'))
            if (line.startsWith(name + " | ")) expected = line;
        write_file("in.txt", c.input);
        QFile::remove("out.txt");
        QDir().mkpath("folder");
        ScriptedPlatform p;
        std::unique_ptr<QWidget> w;
        if (c.swiss)
            w = std::make_unique<frm_swiss>(context_for(p));
        else
            w = std::make_unique<frm_UTM_LL>(context_for(p));
        // A refusal leaves no earlier result on show.
        const QStringList labels = c.button == "Command1"
                                       ? QStringList{"lb_zone", "lb_easting", "lb_northing"}
                                   : c.button == "Command2" ? QStringList{"lb_lon", "lb_lat"}
                                   : c.button == "Command7" ? QStringList{"Label12"}
                                                            : QStringList{"Label4"};
        if (labels.size() > 1)
            for (const QString& label : labels) child<QLabel>(*w, label)->setText("earlier");
        fill(*w, c.boxes);
        click(*w, c.button);
        QTRY_COMPARE(p.messages.shown.size(), std::size_t(1));
        const auto& shown = p.messages.shown[0];
        QCOMPARE(shown.buttons, mq::platform::MessageButtons::Ok);
        QCOMPARE(read_file("in.txt"), c.input);
        QString got = QString("%1 | %2 | %3 | %4 | %5 | out \"%6\"")
                          .arg(name, shown.title)
                          .arg(int(shown.icon))
                          .arg(shown.text, texts_of(*w, labels), QString::fromUtf8(read_file("out.txt")));
        // The system's words for a missing file depend on the language.
        got.replace(QString::fromLocal8Bit(std::generic_category().message(ENOENT)),
                    "No such file or directory");
        got.replace(QDir::currentPath(), "<dir>")
            .replace('\\', '/')
            .replace("\n", "\\n")
            .replace("\r", "\\r");
        QCOMPARE(got, expected);
    }

    void utm_file_runs_on_the_worker()
    {
        QByteArray small = "# easting northing depth\n";
        for (int i = 0; i < 3000; ++i) small += "500000\t5538630.703\t" + QByteArray::number(i) + "\n";
        write_file("small.txt", small);
        QByteArray big;
        for (int i = 0; i < 400000; ++i) big += "500000 4461369.297 " + QByteArray::number(i) + "\n";
        write_file("big.txt", big);

        ScriptedPlatform p;
        auto* w = new frm_UTM_LL(context_for(p));
        fill(*w, {"tx_in_UTM2LL=small.txt", "tx_out_UTM2LL=small.out"});
        click(*w, "Command7");   // no zone: nothing happens
        QVERIFY(!w->converting() && !QFile::exists("small.out"));
        set_text(*w, "tx_UTM_zone", "32");
        click(*w, "Command7");
        QTRY_VERIFY(!w->converting());
        QCOMPARE(text_of(*w, "Label12"), QString("-"));
        const QByteArray written = read_file("small.out");
        QCOMPARE(written.count('\n'), 3000);
        QVERIFY(written.startsWith("9:00.000000\t50:00.000000\t0\r\n"));

        // A long run: the label counts thousands, a second start is refused and
        // closing the window stops it, keeping the lines written so far beside
        // the existing output, which stays as it was.
        write_file("big.out", "OLD");
        child<QRadioButton>(*w, "op_south")->setChecked(true);
        fill(*w, {"tx_in_UTM2LL=big.txt", "tx_out_UTM2LL=big.out"});
        click(*w, "Command7");
        QCOMPARE(text_of(*w, "Label12"), QString("Please wait: ..."));
        QTRY_VERIFY_WITH_TIMEOUT(text_of(*w, "Label12").startsWith("Line #:  "), 20000);
        QVERIFY2(QRegularExpression("^Line #:  [1-9][0-9]*000$").match(text_of(*w, "Label12")).hasMatch(),
                 qPrintable(text_of(*w, "Label12")));
        set_text(*w, "tx_out_UTM2LL", "other.out");
        click(*w, "Command7");   // refused while running
        QElapsedTimer stopping;
        stopping.start();
        w->close();
        QVERIFY(!w->converting());
        QVERIFY2(stopping.elapsed() < 500, qPrintable(QString::number(stopping.elapsed())));
        delete w;
        QVERIFY(!QFile::exists("other.out"));
        QCOMPARE(read_file("big.out"), QByteArray("OLD"));
        const QByteArray partial = read_file("big.partial.out");
        QVERIFY(partial.count('\n') > 0 && partial.count('\n') < 400000);
        QVERIFY(partial.startsWith("9:00.000000\t-50:00.000000\t0\r\n") && partial.endsWith("\r\n"));
        QVERIFY(p.messages.shown.empty());
    }

};

QTEST_MAIN(TestCalcWindows)
#include "test_calc_windows.moc"
