// The two calculator windows driven like a user would: typing (through the
// key filters), option buttons, button clicks and the clipboard double.
#include "calc/ui/grid_space_calc.h"
#include "calc/ui/lat_lon_conv.h"
#include "platform/scripted_platform.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

template <typename T>
T* child(QWidget& w, const QString& name) {
    T* found = w.findChild<T*>(name);
    if (!found) qFatal("no control %s", qPrintable(name));
    return found;
}

// Types text key by key; "\b" stands for Backspace.
void type(QLineEdit* box, const QString& keys) {
    for (QChar c : keys) {
        if (c == '\b') QTest::keyClick(box, Qt::Key_Backspace);
        else QTest::keyClicks(box, QString(c));
    }
}

QString enabled_options(QWidget& w) {
    QString s;
    for (int i = 0; i < 6; ++i)
        if (child<QRadioButton>(w, QString("Option1_%1").arg(i))->isEnabled()) s += QString::number(i);
    return s;
}

int checked_option(QWidget& w) {
    for (int i = 0; i < 6; ++i)
        if (child<QRadioButton>(w, QString("Option1_%1").arg(i))->isChecked()) return i;
    return -1;
}

}  // namespace

class TestCalcWindows : public QObject {
    Q_OBJECT

private slots:
    void lat_lon_starts_as_described();
    void lat_lon_typing_data();
    void lat_lon_typing();
    void lat_lon_do_data();
    void lat_lon_do();
    void lat_lon_copy_result();
    void convert_and_copy_data();
    void convert_and_copy();
    void grid_starts_as_described();
    void grid_calculate_data();
    void grid_calculate();
    void grid_key_filters();
};

void TestCalcWindows::lat_lon_starts_as_described() {
    mq::testing::ScriptedPlatform p;
    auto s = p.services();
    lat_lon_conv w(s);
    QCOMPARE(w.windowTitle(), QString("Lat/Lon Converter"));
    QCOMPARE(child<QLineEdit>(w, "Text1")->text(), QString("one coordinate"));
    QCOMPARE(child<QLineEdit>(w, "Text2")->text(), QString("coord1/coord2/coord3/coord4"));
    QCOMPARE(child<QLabel>(w, "Label1")->text(), QString("-"));
    QCOMPARE(child<QLabel>(w, "Label2")->text(), QString("Result:"));
    QCOMPARE(child<QPushButton>(w, "Command1")->text(), QString("&Do"));
    QCOMPARE(child<QPushButton>(w, "Command2")->text(), QString("&Copy result"));
    QCOMPARE(child<QPushButton>(w, "Command3")->text(), QString("Convert and Copy"));
    QCOMPARE(child<QRadioButton>(w, "Option1_2")->text(), QString("dd.dddddd   ---> dd:mm.mmm"));
    QCOMPARE(child<QRadioButton>(w, "Option1_5")->text(), QString("dd:mm.mmm ---> dd:mm:ss.ss"));
    QCOMPARE(enabled_options(w), QString("012345"));
    QCOMPARE(checked_option(w), 0);
}

void TestCalcWindows::lat_lon_typing_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("enabled");
    QTest::addColumn<int>("checked");
    QTest::newRow("decimal degrees") << "45.5" << "45.5" << "23" << 2;
    QTest::newRow("unwanted keys dropped") << "a4b5,. 5+E" << "45.5" << "23" << 2;
    QTest::newRow("slash dropped") << "10/30" << "1030" << "012345" << 0;
    QTest::newRow("degrees:minutes") << "10:30" << "10:30" << "0145" << 0;
    QTest::newRow("negative minutes") << "-10:30.5" << "-10:30.5" << "05" << 0;
    QTest::newRow("seconds") << "10:30:45" << "10:30:45" << "14" << 1;
    QTest::newRow("exponent") << "1.5e1" << "1.5e1" << "23" << 2;
    QTest::newRow("four fields keep the last offer") << "1:2:3:4" << "1:2:3:4" << "14" << 1;
    QTest::newRow("backspace passes") << "45.5\b\b" << "45" << "012345" << 2;
    QTest::newRow("cleared again") << "10:30\b\b\b\b\b" << "" << "012345" << 0;
}

void TestCalcWindows::lat_lon_typing() {
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(QString, enabled);
    QFETCH(int, checked);
    mq::testing::ScriptedPlatform p;
    auto s = p.services();
    lat_lon_conv w(s);
    auto* text1 = child<QLineEdit>(w, "Text1");
    text1->clear();
    type(text1, keys);
    QCOMPARE(text1->text(), text);
    QCOMPARE(enabled_options(w), enabled);
    QCOMPARE(checked_option(w), checked);
    if (text.isEmpty()) QCOMPARE(child<QLabel>(w, "Label1")->text(), QString("-"));
}

void TestCalcWindows::lat_lon_do_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pick");        // option chosen by hand, -1: none
    QTest::addColumn<QString>("label");   // Label1 afterwards ("45:30.0000" before)
    QTest::addColumn<QString>("text_after");
    QTest::addColumn<int>("checked");
    QTest::newRow("decimal") << "45.5" << -1 << "45:30.0000" << "45.5" << 2;
    QTest::newRow("option by hand") << "10:30.5" << 5 << "10:30:30.00" << "10:30.5" << 5;
    QTest::newRow("minus removed, detection reselects")
        << "-10:30.5" << 5 << "-10.5083330" << "-10:30.5" << 0;
    QTest::newRow("exponent written out") << "1.5e1" << 0 << "15.0000000" << "15" << 0;
    QTest::newRow("negative exponent") << "-2.5e0" << 0 << "-02:30.0000" << "-2.5" << 2;
    QTest::newRow("whole degrees, no result") << "45" << 2 << "45:30.0000" << "45" << 2;
    QTest::newRow("point not in minutes") << "45.5:30" << 5 << "45:30.0000" << "45.5:30" << 5;
    QTest::newRow("letters") << "abc" << 0 << "45:30.0000" << "abc" << 0;
    QTest::newRow("long digits") << QString(5000, '9') << 0 << "45:30.0000" << QString(5000, '9') << 0;
    QTest::newRow("empty") << "" << 0 << "-" << "" << 0;
}

void TestCalcWindows::lat_lon_do() {
    QFETCH(QString, text);
    QFETCH(int, pick);
    QFETCH(QString, label);
    QFETCH(QString, text_after);
    QFETCH(int, checked);
    mq::testing::ScriptedPlatform p;
    auto s = p.services();
    lat_lon_conv w(s);
    auto* text1 = child<QLineEdit>(w, "Text1");
    auto* command1 = child<QPushButton>(w, "Command1");
    text1->setText("45.5");
    command1->click();
    text1->setText(text);
    if (pick >= 0) child<QRadioButton>(w, QString("Option1_%1").arg(pick))->setChecked(true);
    command1->click();
    QCOMPARE(child<QLabel>(w, "Label1")->text(), label);
    QCOMPARE(text1->text(), text_after);
    QCOMPARE(checked_option(w), checked);
}

void TestCalcWindows::lat_lon_copy_result() {
    mq::testing::ScriptedPlatform p;
    auto s = p.services();
    lat_lon_conv w(s);
    child<QLineEdit>(w, "Text1")->setText("10:30:45");
    QTest::mouseClick(child<QPushButton>(w, "Command2"), Qt::LeftButton);
    QCOMPARE(p.clipboard.content, QString("10.5125000"));
    QCOMPARE(p.clipboard.clears, 1);
}

void TestCalcWindows::convert_and_copy_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("copied");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("label1");
    QTest::newRow("negative region") << "-10:30/-9:30/50:00/51:00"
                                     << "-10.5000000/-9.5000000/50.0000000/51.0000000" << "51:00"
                                     << "51.0000000";
    QTest::newRow("piece without result kept as typed")
        << "10.5/12.25/50.125/51" << "10:30.0000/12:15.0000/50:07.5000/51" << "51" << "50:07.5000";
    QTest::newRow("mixed notations") << "45.5/abc/10:30/-5.5" << "45:30.0000/abc/10.5000000/-05:30.0000"
                                     << "-5.5" << "-05:30.0000";
    QTest::newRow("empty piece") << "10.5//11.5" << "10:30.0000//11:30.0000" << "11.5" << "11:30.0000";
    QTest::newRow("empty list empties the clipboard") << "" << "" << "one coordinate" << "-";
}

void TestCalcWindows::convert_and_copy() {
    QFETCH(QString, list);
    QFETCH(QString, copied);
    QFETCH(QString, text1);
    QFETCH(QString, label1);
    mq::testing::ScriptedPlatform p;
    p.clipboard.setText("old");
    auto s = p.services();
    lat_lon_conv w(s);
    child<QLineEdit>(w, "Text2")->setText(list);
    QTest::mouseClick(child<QPushButton>(w, "Command3"), Qt::LeftButton);
    QCOMPARE(p.clipboard.content, copied);
    QCOMPARE(p.clipboard.clears, 1);
    QCOMPARE(child<QLineEdit>(w, "Text1")->text(), text1);
    QCOMPARE(child<QLabel>(w, "Label1")->text(), label1);
}

void TestCalcWindows::grid_starts_as_described() {
    mq::testing::ScriptedPlatform p;
    auto s = p.services();
    grid_space_calc w(s);
    QCOMPARE(w.windowTitle(), QString("Grid size calculation"));
    QCOMPARE(child<QLabel>(w, "Label1")->text(), QString("Min value:"));
    QCOMPARE(child<QLabel>(w, "Label3")->text(), QString("Delta Max - Min:"));
    QCOMPARE(child<QRadioButton>(w, "Option2")->text(), QString("Size of gridding steps:"));
    QCOMPARE(child<QPushButton>(w, "Command1")->text(), QString("Calculate"));
    QVERIFY(child<QRadioButton>(w, "Option1")->isChecked());
    for (int i = 0; i < 3; ++i) QVERIFY(child<QLabel>(w, QString("result_%1").arg(i))->text().isEmpty());
    w.show();
    w.resize(600, 500);
    QCOMPARE(w.size(), QSize(346, 240));
}

void TestCalcWindows::grid_calculate_data() {
    QTest::addColumn<QStringList>("boxes");   // Text1..Text4
    QTest::addColumn<bool>("size_by_hand");
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<bool>("size_checked");
    const QString two = "02:00:00.00 / 02:0.0000 / 2.00000000";
    QTest::newRow("amount") << QStringList{"10", "12", "4", ""} << false
                            << QStringList{two, "4", "00:30:00.00 / 00:30.0000 / 0.50000000"} << false;
    QTest::newRow("size selects its option")
        << QStringList{"10", "12", "", "0:0:30"} << false
        << QStringList{two, "240", "00:00:30.00 / 00:0.5000 / 0.00833333"} << true;
    QTest::newRow("amount selects its option")
        << QStringList{"10", "12", "4", ""} << true
        << QStringList{two, "4", "00:30:00.00 / 00:30.0000 / 0.50000000"} << false;
    QTest::newRow("no carry of seconds")
        << QStringList{"0", "1", "", "0.3"} << false
        << QStringList{"01:00:00.00 / 01:0.0000 / 1.00000000", "3", "00:19:60.00 / 00:20.0000 / 0.33333333"}
        << true;
    QTest::newRow("amount 0") << QStringList{"10", "12", "0", ""} << false << QStringList{two, "0", "-"} << false;
    QTest::newRow("amount above 32767") << QStringList{"10", "12", "99999", ""} << false
                                        << QStringList{two, "-", "-"} << false;
    QTest::newRow("step of 0") << QStringList{"10", "12", "", "0"} << false << QStringList{two, "-", "-"} << true;
    QTest::newRow("letters") << QStringList{"ten", "12", "4", ""} << false << QStringList{"-", "4", "-"} << false;
    QTest::newRow("both empty: nothing changes") << QStringList{"10", "12", "", ""} << true
                                                 << QStringList{"", "", ""} << true;
}

void TestCalcWindows::grid_calculate() {
    QFETCH(QStringList, boxes);
    QFETCH(bool, size_by_hand);
    QFETCH(QStringList, results);
    QFETCH(bool, size_checked);
    mq::testing::ScriptedPlatform p;
    auto s = p.services();
    grid_space_calc w(s);
    for (int i = 0; i < 4; ++i) child<QLineEdit>(w, QString("Text%1").arg(i + 1))->setText(boxes[i]);
    if (size_by_hand) child<QRadioButton>(w, "Option2")->setChecked(true);
    QTest::mouseClick(child<QPushButton>(w, "Command1"), Qt::LeftButton);
    for (int i = 0; i < 3; ++i) QCOMPARE(child<QLabel>(w, QString("result_%1").arg(i))->text(), results[i]);
    QCOMPARE(child<QRadioButton>(w, "Option2")->isChecked(), size_checked);
}

void TestCalcWindows::grid_key_filters() {
    mq::testing::ScriptedPlatform p;
    auto s = p.services();
    grid_space_calc w(s);
    auto* amount = child<QLineEdit>(w, "Text3");
    auto* size = child<QLineEdit>(w, "Text4");
    auto* min = child<QLineEdit>(w, "Text1");
    type(amount, "1a2.:/-3 \b4");
    QCOMPARE(amount->text(), QString("12/4"));
    type(size, "1a2.:/-3e,");
    QCOMPARE(size->text(), QString("12.:/3"));
    type(min, "-1a:");   // no filter on the range boxes
    QCOMPARE(min->text(), QString("-1a:"));
}

QTEST_MAIN(TestCalcWindows)
#include "test_calc_windows.moc"
