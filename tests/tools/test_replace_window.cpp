// The replace window driven like a user would, with the scripted platform
// double for the shared dialog and the message boxes.
#include "platform/scripted_platform.h"
#include "tools/file_fixture.h"
#include "tools/ui/frm_replace.h"
#include "tools/ui/worker_bridge.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

namespace {

template <typename T>
T* child(QWidget& w, const char* name)
{
    T* found = w.findChild<T*>(name);
    if (!found) qFatal("no control %s", name);
    return found;
}

mq::tools::ToolContext context_for(mq::testing::ScriptedPlatform& p)
{
    mq::tools::ToolContext c;
    c.services = p.services();
    return c;
}

QString label4(frm_replace& w) { return child<QLabel>(w, "Label4")->text(); }

const QString kFilter = "All Files (*.*)|*.*|Text Files(*.txt)|*.txt|Batch Files (*.bat)|*.bat|Color Files "
                        "(*.cpt)|*.cpt|LaLo ASCII (*.lalo)|*.lalo|xyz ASCII (*.xyz)|*.xyz|Awk script (*.awk)|*.awk";

}  // namespace

class TestReplaceWindow : public QObject {
    Q_OBJECT

private slots:
    void starts_as_described();
    void take_each_tooltip_and_keys();
    void file_buttons();
    void run_data();
    void run();
    void progress_label_counts_thousands();
    void closing_stops_the_run();
};

void TestReplaceWindow::starts_as_described()
{
    mq::testing::ScriptedPlatform p;
    frm_replace w(context_for(p));
    QCOMPARE(w.windowTitle(), QString("Replace Text in Text File"));
    QCOMPARE(child<QLabel>(w, "Label3")->text(), QString("Input file: ASCII file with text to be replaced:"));
    QCOMPARE(child<QLabel>(w, "Label5")->text(), QString("Output file: ASCII file with replaced text:"));
    QCOMPARE(child<QLabel>(w, "Label1")->text(), QString("Text to replace"));
    QCOMPARE(child<QLabel>(w, "Label2")->text(), QString("Text to fill in"));
    QCOMPARE(child<QLabel>(w, "Label7")->text(), QString("Line by Line"));
    QCOMPARE(child<QCheckBox>(w, "ck_entire")->text(), QString("Entire File"));
    QVERIFY(child<QCheckBox>(w, "Check1")->isChecked());
    for (const char* name : {"Check2", "Check3", "Check4", "ck_entire", "ck_add_to_each_line", "Check6", "do_kml"})
        QVERIFY2(!child<QCheckBox>(w, name)->isChecked(), name);
    QCOMPARE(child<QCheckBox>(w, "Check4")->text(), QString("Replace"));
    QCOMPARE(child<QCheckBox>(w, "Check6")->toolTip(),
             QString("Takes only those lines which (not)contain the specified string."));
    QVERIFY(child<QRadioButton>(w, "Option1")->isChecked());
    QCOMPARE(child<QRadioButton>(w, "Option2")->text(), QString("not exist."));
    QVERIFY(child<QCheckBox>(w, "Check5")->isChecked());
    QCOMPARE(child<QCheckBox>(w, "Check5")->toolTip(), QString("Takes only each specified line"));
    QCOMPARE(child<QLineEdit>(w, "Text2")->text(), QString("1"));
    QCOMPARE(child<QLabel>(w, "Label6")->text(), QString("line."));
    QCOMPARE(child<QCheckBox>(w, "do_kml")->text(), QString("do kml convert"));
    QCOMPARE(child<QPushButton>(w, "Command1")->text(), QString("Start replace"));
    QCOMPARE(label4(w), QString("Line #:"));
    QVERIFY(child<QLineEdit>(w, "t_4_fill")->text().isEmpty());
}

void TestReplaceWindow::take_each_tooltip_and_keys()
{
    mq::testing::ScriptedPlatform p;
    frm_replace w(context_for(p));
    auto* text2 = child<QLineEdit>(w, "Text2");
    text2->clear();
    QTest::keyClicks(text2, "12a/ -3");
    QCOMPARE(text2->text(), QString("12/3"));
    text2->setText("3");
    auto* check5 = child<QCheckBox>(w, "Check5");
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(check5, &enter);
    QCOMPARE(check5->toolTip(), QString("Takes only each 3 line."));
}

void TestReplaceWindow::file_buttons()
{
    mq::testing::ScriptedPlatform p;
    frm_replace w(context_for(p));
    p.dialog.state().dialogTitle = "left by another use";
    p.dialog.answers.enqueue(mq::testing::ScriptedDialog::accept("/data/in.xyz"));
    p.dialog.answers.enqueue(mq::testing::ScriptedDialog::accept("/data/out.xyz"));
    child<QToolButton>(w, "Command2")->click();
    child<QToolButton>(w, "Command3")->click();
    child<QToolButton>(w, "Command3")->click();   // cancelled
    QCOMPARE(child<QLineEdit>(w, "Text3")->text(), QString("/data/in.xyz"));
    QCOMPARE(child<QLineEdit>(w, "Text4")->text(), QString("/data/out.xyz"));
    QCOMPARE(p.dialog.shown.size(), 3u);
    QCOMPARE(p.dialog.shown[0].kind, mq::testing::ScriptedDialog::Kind::Open);
    QCOMPARE(p.dialog.shown[1].kind, mq::testing::ScriptedDialog::Kind::Save);
    for (const auto& shown : p.dialog.shown) {
        QCOMPARE(shown.state.filter, kFilter);
        QCOMPARE(shown.state.filterIndex, 6);
        QVERIFY(shown.state.cancelError && shown.state.hideReadOnly);
        QCOMPARE(shown.state.dialogTitle, QString("left by another use"));
    }
}

void TestReplaceWindow::run_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("controls");   // "name=text" for boxes, "name" clicks a check or option
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("message");

    QTest::newRow("defaults") << QByteArray("a\nb") << QStringList{} << QByteArray("a\r\nb\r\n") << "";
    QTest::newRow("rows, add, every 2")
        << QByteArray("a\tb\n1\t2\n") << QStringList{"t_1_rep=TAB", "t_1_fill=\\t;", "Check2", "t_2_rep=;", "t_2_fill=,",
                                                        "ck_add_to_each_line", "tx_add=\\tend", "Text2=2"}
        << QByteArray("1\t,2\tend\r\n") << "";
    QTest::newRow("take line if not") << QByteArray("ax\nb\n") << QStringList{"Check6", "Text1=x", "Option2"}
                                      << QByteArray("b\r\n") << "";
    QTest::newRow("entire file") << QByteArray("a\r\nb\r\n") << QStringList{"ck_entire", "t_ent_rep=CRLF", "t_ent_fill= "}
                                 << QByteArray("a b ") << "";
    QTest::newRow("kml") << QByteArray("P1 a b c d e f g h 10.5 54.2\na b c d e f g h 10.6 54.2\n"
                                       "a b c d e f g h 10.6 54.3\na b c d e f g h 10.5 54.3\n")
                         << QStringList{"Check5", "do_kml"}
                         << QByteArray("<Placemark> <name> P1</name> <LineString> <coordinates>\r\n10.5,54.2,1\r\n"
                                       "10.6,54.2,1\r\n10.6,54.3,1\r\n10.5,54.3,1\r\n10.5,54.2,1\r\n"
                                       "</coordinates> </LineString>  </Placemark>\r\n\r\n")
                         << "";
    QTest::newRow("kml short") << QByteArray("P1\nx\n") << QStringList{"Check5", "do_kml"} << QByteArray()
                               << "line 1: a placemark needs this line and three more, but only 1 follows";
    QTest::newRow("take each empty") << QByteArray("a\n") << QStringList{"Text2="} << QByteArray("<missing>")
                                     << "\"Take each\" needs a whole number of 1 or more";
}

void TestReplaceWindow::run()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, controls);
    QFETCH(QByteArray, output);
    QFETCH(QString, message);

    mq::testing::ScriptedPlatform p;
    mq::testing::FileFixture files;
    frm_replace w(context_for(p));
    child<QLineEdit>(w, "Text3")->setText(QString::fromStdString(files.write("in.txt", input)));
    child<QLineEdit>(w, "Text4")->setText(QString::fromStdString(files.path("out.txt")));
    for (const QString& c : controls) {
        const qsizetype eq = c.indexOf('=');
        if (eq < 0) child<QAbstractButton>(w, qPrintable(c))->click();
        else child<QLineEdit>(w, qPrintable(c.left(eq)))->setText(c.mid(eq + 1));
    }
    child<QPushButton>(w, "Command1")->click();
    QCOMPARE(label4(w), QString("Please wait: ..."));
    QTRY_COMPARE(label4(w), QString("-"));
    QCOMPARE(files.read("out.txt"), output);
    auto* bar = child<QProgressBar>(w, "progress_bar");
    if (message.isEmpty()) QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(p.messages.shown.size(), message.isEmpty() ? 0u : 1u);
    if (!message.isEmpty()) {
        QVERIFY2(p.messages.shown[0].text.contains(message), qPrintable(p.messages.shown[0].text));
        QCOMPARE(p.messages.shown[0].title, QString("Replace Text in Text File"));
    }
}

void TestReplaceWindow::progress_label_counts_thousands()
{
    mq::testing::ScriptedPlatform p;
    mq::testing::FileFixture files;
    frm_replace w(context_for(p));
    QByteArray input;
    for (int i = 0; i < 2500; ++i) input += "line\n";
    child<QLineEdit>(w, "Text3")->setText(QString::fromStdString(files.write("in.txt", input)));
    child<QLineEdit>(w, "Text4")->setText(QString::fromStdString(files.path("out.txt")));
    // Read the label right after the window has handled each progress report.
    QStringList seen;
    connect(w.findChild<mq::tools::WorkerBridge*>(), &mq::tools::WorkerBridge::progress, this,
            [&] { seen << label4(w); });
    child<QPushButton>(w, "Command1")->click();
    QTRY_COMPARE(label4(w), QString("-"));
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.back(), QString("Line #:  2000"));
    QCOMPARE(files.read("out.txt").size(), 2500 * 6);
}

void TestReplaceWindow::closing_stops_the_run()
{
    mq::testing::ScriptedPlatform p;
    mq::testing::FileFixture files;
    QByteArray input;
    for (int i = 0; i < 400000; ++i) input += "some line of text to copy\n";
    auto* w = new frm_replace(context_for(p));
    child<QLineEdit>(*w, "Text3")->setText(QString::fromStdString(files.write("in.txt", input)));
    child<QLineEdit>(*w, "Text4")->setText(QString::fromStdString(files.path("out.txt")));
    child<QPushButton>(*w, "Command1")->click();
    child<QPushButton>(*w, "Command1")->click();   // refused while running
    delete w;                                        // stops and waits
    const QByteArray written = files.read("out.txt");
    QVERIFY(written.size() <= input.size() + 400000);
    QVERIFY(written.isEmpty() || written.endsWith("copy\r\n"));
    QVERIFY(p.messages.shown.empty());
}

QTEST_MAIN(TestReplaceWindow)
#include "test_replace_window.moc"
