// The Swiss grid window driven like a user would, with the scripted platform
// double for the shared dialog and the message boxes.
#include "calc/ui/frm_swiss.h"
#include "platform/scripted_platform.h"
#include "platform/window_driver.h"
#include "temp_folder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

using mq::testing::child;

// The main window's open_file_dialog over the scripted dialog.
mq::tools::ToolContext context_for(mq::testing::ScriptedPlatform& p)
{
    mq::tools::ToolContext c;
    c.services = p.services();
    c.openFileDialog = [&p] {
        p.dialog.state().filter = "Open File filter";
        return p.dialog.showOpen() ? p.dialog.state().fileName : QString();
    };
    return c;
}

QString label4(frm_swiss& w) { return child<QLabel>(w, "Label4")->text(); }

}  // namespace

class TestSwissWindow : public QObject {
    Q_OBJECT

private slots:
    void starts_as_described();
    void check_boxes_exclude_each_other();
    void browse_buttons();
    void convert_data();
    void convert();
    void empty_path_does_nothing();
};

void TestSwissWindow::starts_as_described()
{
    mq::testing::ScriptedPlatform p;
    frm_swiss w(context_for(p));
    QCOMPARE(w.windowTitle(), QString("Swiss - Lat Lon Converter"));
    const std::pair<const char*, const char*> captions[] = {
        {"Label1", "Input Data:"}, {"ck_swiss", "Swiss Grid"}, {"ck_latlon", "Lat, Lon"}, {"op_xy", "X, Y, Depth"},
        {"op_yx", "Y, X, Depth"}, {"Label2", "Delimiter:"}, {"Command1", "Browes ..."}, {"Command2", "Browes ..."},
        {"Command3", "Convert"}, {"Label4", "-"}};
    for (const auto& [name, caption] : captions) {
        QObject* control = w.findChild<QObject*>(name);
        QVERIFY2(control, name);
        QCOMPARE(control->property("text").toString(), QString(caption));
    }
    QVERIFY(child<QCheckBox>(w, "ck_swiss")->isChecked() && !child<QCheckBox>(w, "ck_latlon")->isChecked());
    QVERIFY(child<QRadioButton>(w, "op_xy")->isChecked());
    auto* combo = child<QComboBox>(w, "Combo1");
    QCOMPARE(combo->currentText(), QString(","));
    QCOMPARE(QStringList({combo->itemText(0), combo->itemText(1), combo->itemText(2)}), QStringList({",", "TAB", "Space"}));
}

void TestSwissWindow::check_boxes_exclude_each_other()
{
    mq::testing::ScriptedPlatform p;
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

void TestSwissWindow::browse_buttons()
{
    mq::testing::ScriptedPlatform p;
    frm_swiss w(context_for(p));
    p.dialog.state().filterIndex = 4;
    p.dialog.answers.enqueue(mq::testing::ScriptedDialog::accept("/data/out.txt"));
    child<QPushButton>(w, "Command2")->click();
    QCOMPARE(child<QLineEdit>(w, "Text2")->text(), QString("/data/out.txt"));
    QCOMPARE(p.dialog.shown.back().state.filterIndex, 4);   // left as it was
    QVERIFY(!p.dialog.shown.back().state.explorerStyle);

    p.dialog.answers.enqueue(mq::testing::ScriptedDialog::accept("/data/in.txt"));
    child<QPushButton>(w, "Command1")->click();
    QCOMPARE(child<QLineEdit>(w, "Text1")->text(), QString("/data/in.txt"));
    QCOMPARE(p.dialog.shown.back().state.filterIndex, 1);
    QVERIFY(p.dialog.shown.back().state.explorerStyle);

    child<QPushButton>(w, "Command1")->click();   // cancelled
    QCOMPARE(child<QLineEdit>(w, "Text1")->text(), QString("/data/in.txt"));
    QCOMPARE(p.dialog.state().filterIndex, 1);   // stays on the shared dialog
}

void TestSwissWindow::convert_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<bool>("yx");
    QTest::addColumn<bool>("latlon");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("message");

    QTest::newRow("origin") << QByteArray("200000,600000,7\n") << "," << false << false
                            << QByteArray("7.43863722\t46.95108111\t7\r\n") << "Converting finished!" << "";
    QTest::newRow("typed semicolon, Y first") << QByteArray("600000;200000;7\n") << ";" << true << false
                                              << QByteArray("7.43863722\t46.95108111\t7\r\n")
                                              << "Converting finished!" << "";
    QTest::newRow("Lat, Lon") << QByteArray("7.43863722 46.95108111 7\n") << "Space" << false << true
                              << QByteArray("600000.35\t199999.83\t7\r\n") << "Converting finished!" << "";
    QTest::newRow("bad line") << QByteArray("200000,600000,7\n200000,x,7\n") << "," << false << false
                              << QByteArray("7.43863722\t46.95108111\t7\r\n") << "-"
                              << "line 2: field 2 (Y) is not a number: 'x'";
}

void TestSwissWindow::convert()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, delimiter);
    QFETCH(bool, yx);
    QFETCH(bool, latlon);
    QFETCH(QByteArray, output);
    QFETCH(QString, label);
    QFETCH(QString, message);

    mq::testing::ScriptedPlatform p;
    mq::testing::TempFolder files;
    frm_swiss w(context_for(p));
    child<QLineEdit>(w, "Text1")->setText(QString::fromStdString(files.write("in.txt", input.toStdString())));
    child<QLineEdit>(w, "Text2")->setText(QString::fromStdString(files.path("out.txt")));
    child<QComboBox>(w, "Combo1")->setCurrentText(delimiter);
    if (yx) child<QRadioButton>(w, "op_yx")->click();
    if (latlon) child<QCheckBox>(w, "ck_latlon")->click();
    child<QPushButton>(w, "Command3")->click();
    QCOMPARE(label4(w), QString("Please wait: ..."));
    QTRY_COMPARE(label4(w), label);
    QCOMPARE(QByteArray::fromStdString(files.read("out.txt")), output);
    auto* bar = child<QProgressBar>(w, "progress_bar");
    if (message.isEmpty()) QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(p.messages.shown.size(), message.isEmpty() ? 0u : 1u);
    if (!message.isEmpty()) {
        QVERIFY2(p.messages.shown[0].text.contains(message), qPrintable(p.messages.shown[0].text));
        QCOMPARE(p.messages.shown[0].title, QString("Swiss - Lat Lon Converter"));
    }
}

void TestSwissWindow::empty_path_does_nothing()
{
    mq::testing::ScriptedPlatform p;
    mq::testing::TempFolder files;
    frm_swiss w(context_for(p));
    child<QLineEdit>(w, "Text1")->setText(QString::fromStdString(files.write("in.txt", "200000,600000,7\n")));
    child<QPushButton>(w, "Command3")->click();
    QTest::qWait(100);
    QCOMPARE(label4(w), QString("-"));
    QVERIFY(p.messages.shown.empty());
}

QTEST_MAIN(TestSwissWindow)
#include "test_swiss_window.moc"
