// The replace window driven like a user would, with the scripted platform
// double for the shared dialog and the message boxes.
#include "platform/scripted_platform.h"
#include "platform/window_driver.h"
#include "temp_folder.h"
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

namespace {

using mq::testing::child;

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
    const std::pair<const char*, const char*> captions[] = {
        {"Label3", "Input file: ASCII file with text to be replaced:"},
        {"Label5", "Output file: ASCII file with replaced text:"},
        {"Label1", "Text to replace"}, {"Label2", "Text to fill in"}, {"Label7", "Line by Line"},
        {"Label6", "line."}, {"Label4", "Line #:"}, {"ck_entire", "Entire File"}, {"Check4", "Replace"},
        {"ck_add_to_each_line", "Add to each line"}, {"Check6", "Take line if"}, {"Option1", "exist."},
        {"Option2", "not exist."}, {"Check5", "Take each"}, {"do_kml", "do kml convert"},
        {"Command1", "Start replace"}, {"Text2", "1"}};
    for (const auto& [name, caption] : captions) {
        QObject* control = w.findChild<QObject*>(name);
        QVERIFY2(control, name);
        QCOMPARE(control->property("text").toString(), QString(caption));
    }
    for (const char* name : {"Check1", "Option1", "Check5"}) QVERIFY2(child<QAbstractButton>(w, name)->isChecked(), name);
    for (const char* name : {"Check2", "Check3", "Check4", "ck_entire", "ck_add_to_each_line", "Check6", "do_kml"})
        QVERIFY2(!child<QAbstractButton>(w, name)->isChecked(), name);
    QCOMPARE(child<QCheckBox>(w, "Check6")->toolTip(),
             QString("Takes only those lines which (not)contain the specified string."));
    QCOMPARE(child<QCheckBox>(w, "Check5")->toolTip(), QString("Takes only each specified line"));
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
    child<QPushButton>(w, "Command2")->click();
    child<QPushButton>(w, "Command3")->click();
    child<QPushButton>(w, "Command3")->click();   // cancelled
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

    QTest::newRow("rows, add, every 2")
        << QByteArray("a\tb\n1\t2\n") << QStringList{"t_1_rep=TAB", "t_1_fill=\\t;", "Check2", "t_2_rep=;", "t_2_fill=,",
                                                        "ck_add_to_each_line", "tx_add=\\tend", "Text2=2"}
        << QByteArray("1\t,2\tend\r\n") << "";
    QTest::newRow("take line if not") << QByteArray("ax\nb\n") << QStringList{"Check6", "Text1=x", "Option2"}
                                      << QByteArray("b\r\n") << "";
    QTest::newRow("entire file") << QByteArray("a\r\nb\r\n") << QStringList{"ck_entire", "t_ent_rep=CRLF", "t_ent_fill= "}
                                 << QByteArray("a b ") << "";
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
    mq::testing::TempFolder files;
    frm_replace w(context_for(p));
    child<QLineEdit>(w, "Text3")->setText(QString::fromStdString(files.write("in.txt", input.toStdString())));
    child<QLineEdit>(w, "Text4")->setText(QString::fromStdString(files.path("out.txt")));
    for (const QString& c : controls) {
        const qsizetype eq = c.indexOf('=');
        if (eq < 0) child<QAbstractButton>(w, qPrintable(c))->click();
        else child<QLineEdit>(w, qPrintable(c.left(eq)))->setText(c.mid(eq + 1));
    }
    child<QPushButton>(w, "Command1")->click();
    QCOMPARE(label4(w), QString("Please wait: ..."));
    QTRY_COMPARE(label4(w), QString("-"));
    QCOMPARE(QByteArray::fromStdString(files.read("out.txt")), output);
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
    mq::testing::TempFolder files;
    frm_replace w(context_for(p));
    QByteArray input;
    for (int i = 0; i < 2500; ++i) input += "line\n";
    child<QLineEdit>(w, "Text3")->setText(QString::fromStdString(files.write("in.txt", input.toStdString())));
    child<QLineEdit>(w, "Text4")->setText(QString::fromStdString(files.path("out.txt")));
    // Read the label right after the window has handled each progress report.
    QStringList seen;
    connect(w.findChild<mq::tools::WorkerBridge*>(), &mq::tools::WorkerBridge::progress, this,
            [&] { seen << label4(w); });
    child<QPushButton>(w, "Command1")->click();
    QTRY_COMPARE(label4(w), QString("-"));
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.back(), QString("Line #:  2000"));
    QCOMPARE(QByteArray::fromStdString(files.read("out.txt")).size(), 2500 * 6);
}

void TestReplaceWindow::closing_stops_the_run()
{
    mq::testing::ScriptedPlatform p;
    mq::testing::TempFolder files;
    QByteArray input;
    for (int i = 0; i < 400000; ++i) input += "some line of text to copy\n";
    auto* w = new frm_replace(context_for(p));
    child<QLineEdit>(*w, "Text3")->setText(QString::fromStdString(files.write("in.txt", input.toStdString())));
    child<QLineEdit>(*w, "Text4")->setText(QString::fromStdString(files.path("out.txt")));
    child<QPushButton>(*w, "Command1")->click();
    child<QPushButton>(*w, "Command1")->click();   // refused while running
    delete w;                                        // stops and waits
    const QByteArray written = QByteArray::fromStdString(files.read("out.txt"));
    QVERIFY(written.size() <= input.size() + 400000);
    QVERIFY(written.isEmpty() || written.endsWith("copy\r\n"));
    QVERIFY(p.messages.shown.empty());
}

QTEST_MAIN(TestReplaceWindow)
#include "test_replace_window.moc"
