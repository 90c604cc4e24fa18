// The shared number rules decide exact digits, so these tables probe the
// halves, the values that binary cannot hold exactly and the range limits.
#include "common/number_rules.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <string>

namespace num = mq::numbers;

class TestNumberRules : public QObject {
    Q_OBJECT

private slots:
    void read_number_data();
    void read_number();
    void read_int16_data();
    void read_int16();
    void round_to_data();
    void round_to();
    void format_pattern_data();
    void format_pattern();
    void format_rejects_unknown_patterns();
    void general_and_plain_text_data();
    void general_and_plain_text();
};

void TestNumberRules::read_number_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "45" << true << 45.0;
    QTest::newRow("blanks around") << " \t45.5 " << true << 45.5;
    QTest::newRow("plus sign") << "+4.5" << true << 4.5;
    QTest::newRow("minus sign") << "-4.5" << true << -4.5;
    QTest::newRow("leading point") << ".5" << true << 0.5;
    QTest::newRow("trailing point") << "5." << true << 5.0;
    QTest::newRow("exponent") << "1.5e1" << true << 15.0;
    QTest::newRow("exponent with sign") << "25E-1" << true << 2.5;
    QTest::newRow("underflow reads as 0") << "1e-400" << true << 0.0;
    QTest::newRow("300 digits") << QString(300, '1') << true << std::stod(std::string(300, '1'));
    QTest::newRow("long zero fraction") << "0." + QString(400, '0') + "1" << true << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blank") << "  " << false << 0.0;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("comma") << "1,5" << false << 0.0;
    QTest::newRow("two points") << "1.2.3" << false << 0.0;
    QTest::newRow("point only") << "." << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("double sign") << "--5" << false << 0.0;
    QTest::newRow("exponent only") << "e5" << false << 0.0;
    QTest::newRow("exponent without digits") << "1e" << false << 0.0;
    QTest::newRow("overflow") << "1e400" << false << 0.0;
    QTest::newRow("400 digits overflow") << QString(400, '9') << false << 0.0;
    QTest::newRow("hex") << "0x10" << false << 0.0;
    QTest::newRow("inf") << "inf" << false << 0.0;
    QTest::newRow("nan") << "nan" << false << 0.0;
    QTest::newRow("inner blank") << "1 2" << false << 0.0;
    QTest::newRow("colon") << "10:30" << false << 0.0;
}

void TestNumberRules::read_number() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const auto read = num::read_number(text.toStdString());
    QCOMPARE(read.has_value(), valid);
    if (valid) QCOMPARE(*read, value);
}

void TestNumberRules::read_int16_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");   // -99999: not an int16
    QTest::newRow("plain") << "4" << 4;
    QTest::newRow("upper limit") << "32767" << 32767;
    QTest::newRow("lower limit") << "-32768" << -32768;
    QTest::newRow("above") << "32768" << -99999;
    QTest::newRow("half rounds to even below") << "4.5" << 4;
    QTest::newRow("half rounds to even above") << "5.5" << 6;
    QTest::newRow("rounds past the limit") << "32767.5" << -99999;
    QTest::newRow("empty") << "" << -99999;
    QTest::newRow("slash") << "4/2" << -99999;
}

void TestNumberRules::read_int16() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    const auto read = num::read_int16(text.toStdString());
    QCOMPARE(read.value_or(-99999), expected);
}

void TestNumberRules::round_to_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("expected");
    QTest::newRow("2.5 to even") << 2.5 << 0 << 2.0;
    QTest::newRow("3.5 to even") << 3.5 << 0 << 4.0;
    QTest::newRow("0.5 to even") << 0.5 << 0 << 0.0;
    QTest::newRow("-2.5 to even") << -2.5 << 0 << -2.0;
    QTest::newRow("-3.5 to even") << -3.5 << 0 << -4.0;
    QTest::newRow("0.125") << 0.125 << 2 << 0.12;
    QTest::newRow("0.375") << 0.375 << 2 << 0.38;
    QTest::newRow("2.675 is a decimal half") << 2.675 << 2 << 2.68;
    QTest::newRow("2.665 is a decimal half") << 2.665 << 2 << 2.66;
    QTest::newRow("10.0000005") << 10.0000005 << 6 << 10.0;
    QTest::newRow("10.0000015") << 10.0000015 << 6 << 10.000002;
    QTest::newRow("-10.0000005") << -10.0000005 << 6 << -10.0;
    QTest::newRow("arithmetic noise") << 0.1 + 0.2 << 6 << 0.3;
    QTest::newRow("just above a half") << 2.50001 << 0 << 3.0;
    QTest::newRow("carry") << 99.995 << 2 << 100.0;
    QTest::newRow("below the last place") << 0.0004 << 3 << 0.0;
    QTest::newRow("half of the last place") << 0.0005 << 3 << 0.0;
    QTest::newRow("odd half of the last place") << 0.0015 << 3 << 0.002;
    QTest::newRow("tiny") << 1e-300 << 8 << 0.0;
    QTest::newRow("huge") << 1e300 << 2 << 1e300;
    QTest::newRow("negative decimals") << 123456.7 << -1 << 123457.0;
    QTest::newRow("16-digit half") << 1000000000000000.5 << 0 << 1000000000000000.0;
}

void TestNumberRules::round_to() {
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(double, expected);
    const double rounded = num::round_to(value, decimals);
    QVERIFY2(rounded == expected, qPrintable(QString::number(rounded, 'g', 17)));
    QVERIFY(!std::signbit(rounded) || expected < 0);
}

void TestNumberRules::format_pattern_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("half away") << 2.5 << "00" << "03";
    QTest::newRow("negative half away") << -2.5 << "00" << "-03";
    QTest::newRow("0.125 away") << 0.125 << "00.00" << "00.13";
    QTest::newRow("2.675 away") << 2.675 << "00.00" << "02.68";
    QTest::newRow("2.665 away") << 2.665 << "00.00" << "02.67";
    QTest::newRow("-0.125 away") << -0.125 << "#0.00" << "-0.13";
    QTest::newRow("seven decimals half") << 10.00000005 << "#0.0000000" << "10.0000001";
    QTest::newRow("two digits") << 5.0 << "00" << "05";
    QTest::newRow("never cut") << 123.0 << "00" << "123";
    QTest::newRow("carry to 60") << 59.9999 << "00.00" << "60.00";
    QTest::newRow("zero") << 0.0 << "#0.0000000" << "0.0000000";
    QTest::newRow("rounds to zero, no sign") << -0.001 << "00.00" << "00.00";
    QTest::newRow("minutes") << 30.75 << "00.0000" << "30.7500";
    QTest::newRow("optional digit") << 0.5 << "#0.0000" << "0.5000";
    QTest::newRow("no integer digit") << 0.5 << "#.00" << ".50";
    QTest::newRow("small value") << 1e-7 << "#0.0000000" << "0.0000001";
    QTest::newRow("large value") << 1e20 << "#0.00" << "100000000000000000000.00";
    QTest::newRow("eight decimals") << 1.0 / 60 << "#0.00000000" << "0.01666667";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "00" << "Infinity";
}

void TestNumberRules::format_pattern() {
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(num::format_pattern(value, pattern.toStdString())), expected);
}

void TestNumberRules::format_rejects_unknown_patterns() {
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, num::format_pattern(1.0, "0,00"));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, num::format_pattern(1.0, "0.0.0"));
    QVERIFY(!num::format_text("x", "00").has_value());
    QCOMPARE(num::format_text("5", "00").value_or("?"), std::string("05"));
}

void TestNumberRules::general_and_plain_text_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("general");
    QTest::addColumn<QString>("plain");
    QTest::newRow("noise dropped") << 30.000000000000004 << "30" << "30";
    QTest::newRow("decimals") << 30.75 << "30.75" << "30.75";
    QTest::newRow("sum") << 0.1 + 0.2 << "0.3" << "0.3";
    QTest::newRow("negative zero") << -0.0 << "0" << "0";
    QTest::newRow("negative") << -12.5 << "-12.5" << "-12.5";
    QTest::newRow("15 digits") << 123456789012345.0 << "123456789012345" << "123456789012345";
    QTest::newRow("1e15") << 1e15 << "1E+15" << "1000000000000000";
    QTest::newRow("1e-5") << 1e-5 << "0.00001" << "0.00001";
    QTest::newRow("1.5e-7") << 1.5e-7 << "1.5E-07" << "0.00000015";
    QTest::newRow("-2.5e20") << -2.5e20 << "-2.5E+20" << "-250000000000000000000";
    QTest::newRow("third") << 1.0 / 3 << "0.333333333333333" << "0.333333333333333";
    QTest::newRow("two thirds") << 2.0 / 3 << "0.666666666666667" << "0.666666666666667";
    QTest::newRow("minutes") << 0.9999999 * 60 << "59.999994" << "59.999994";
    QTest::newRow("nan") << std::nan("") << "NaN" << "NaN";
    QTest::newRow("carry to 1e15") << 999999999999999.9 << "1E+15" << "1000000000000000";
    QTest::newRow("whole with zeros") << 1200.0 << "1200" << "1200";
    QTest::newRow("tile step") << 10.0 + 1.0 / 1200 << "10.0008333333333" << "10.0008333333333";
    QTest::newRow("1e300") << -1e300 << "-1E+300" << ("-1" + QString(300, '0'));
}

void TestNumberRules::general_and_plain_text() {
    QFETCH(double, value);
    QFETCH(QString, general);
    QFETCH(QString, plain);
    QCOMPARE(QString::fromStdString(num::general_text(value)), general);
    QCOMPARE(QString::fromStdString(num::plain_text(value)), plain);
    char buffer[num::kGeneralTextMax];
    const std::size_t length = num::general_text_to(buffer, value);
    QCOMPARE(QString::fromLatin1(buffer, qsizetype(length)), general);
}

QTEST_APPLESS_MAIN(TestNumberRules)
#include "test_number_rules.moc"
