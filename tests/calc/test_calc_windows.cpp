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
#include "step_script.h"
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

std::unique_ptr<QWidget> make_window(const QString& name, ScriptedPlatform& p)
{
    if (name == "lat_lon_conv") return std::make_unique<lat_lon_conv>(p.services());
    if (name == "grid_space_calc") return std::make_unique<grid_space_calc>(p.services());
    if (name == "frm_swiss") return std::make_unique<frm_swiss>(context_for(p));
    if (name == "frm_UTM_LL") return std::make_unique<frm_UTM_LL>(context_for(p));
    return nullptr;
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
        const std::unique_ptr<QWidget> w = make_window(window, p);
        compare_with_golden(*w, MQ_TEST_DATA_DIR "/data/" + window + ".txt");
        if (window != "grid_space_calc") return;
        w->show();
        w->resize(600, 500);
        QCOMPARE(w->size(), QSize(346, 240));  // a fixed size
    }

    // The cases of data/window_steps.txt (its head describes the steps).
    void window_steps()
    {
        std::unique_ptr<ScriptedPlatform> p;
        std::unique_ptr<QWidget> w;
        auto show = [&](const QString& name) -> QString {
            if (name == "options") return enabled_options(*w) + " " + QString::number(checked_option(*w));
            if (name == "checked") return QString::number(checked_option(*w));
            if (name == "clipboard") return p->clipboard.content + " " + QString::number(p->clipboard.clears);
            if (name == "dialog") return dialog_line(p->dialog.shown.back());
            if (name == "dialogs") return QString::number(p->dialog.shown.size());
            if (name == "shared") return dialog_line({ScriptedDialog::Kind::Open, p->dialog.state()});
            if (name == "messages") return QString::number(p->messages.shown.size());
            if (auto* bar = w->findChild<QProgressBar*>(name))
                return QString("%1/%2").arg(bar->value()).arg(bar->maximum());
            if (name.startsWith("file:")) return QString::fromUtf8(read_file(name.mid(5)));
            if (auto* b = w->findChild<QAbstractButton*>(name); b && b->isCheckable())
                return b->isChecked() ? "[x]" : "[ ]";
            return text_of(*w, name);
        };
        const auto start = [&] {
            w.reset();
            p = std::make_unique<ScriptedPlatform>();
        };
        const auto act = [&](const Step& step) {
            const QString& verb = step.verb;
            const QString name = step.word(0), text = step.text(1);
            if (verb == "window") w = make_window(name, *p);
            else if (verb == "set") set_text(*w, name, text);
            else if (verb == "type") {
                set_text(*w, name, "");
                type_keys(child<QLineEdit>(*w, name), text);
            } else if (verb == "click") child<QAbstractButton>(*w, name)->click();
            else if (verb == "check") child<QRadioButton>(*w, name)->setChecked(true);
            else if (verb == "clipboard") p->clipboard.setText(text);
            else if (verb == "file") {
                QFile::remove(name);
                if (text != "<none>") write_file(name, text.toUtf8());
            } else if (verb == "combo") child<QComboBox>(*w, name)->setCurrentText(text);
            else if (verb == "accept") p->dialog.answers << ScriptedDialog::accept(name);
            else if (verb == "cancel") p->dialog.answers << ScriptedDialog::cancel();
            else if (verb == "preset" && name == "index") p->dialog.state().filterIndex = text.toInt();
            else if (verb == "preset") p->dialog.state().filter = text;
            else if (verb == "wait" && text.isEmpty()) QTest::qWait(name.toInt());   // a pause of NAME ms
            else if (verb == "wait") QTRY_COMPARE(show(name), text);   // until the control shows the text
            else QFAIL(qPrintable("no such step " + verb));
        };
        run_steps(MQ_TEST_DATA_DIR "/data/window_steps.txt", start, act, show);
    }

    void error_boxes_data()
    {
        QTest::addColumn<BoxCase>("c");
        QFile file(MQ_TEST_DATA_DIR "/data/error_box_cases.txt");
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
            if (line.isEmpty() || line.startsWith('#')) continue;
            const QStringList f = line.split(" | ");
            const QString input =
                QString(f[1]).replace("$good", "500000 5538630.703 12.5\\n").replace("\\n", "\n");
            const QString boxes =
                QString(f[2]).replace("$files", "tx_in_UTM2LL=in.txt tx_out_UTM2LL=out.txt tx_UTM_zone=32");
            QTest::newRow(qPrintable(f[0])) << BoxCase{f[0].startsWith("swiss"), input.toUtf8(),
                                                       boxes.split(' ', Qt::SkipEmptyParts), f[3]};
        }
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
        const std::unique_ptr<QWidget> w = make_window(c.swiss ? "frm_swiss" : "frm_UTM_LL", p);
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
