// Qt puts the user's locale in force at start. Under a locale with a decimal
// comma nothing the tools read or write may change: the number rules, the
// files and a window's conversion keep "." as the decimal point.
#include "calc/ui/grid_space_calc.h"
#include "common/number_rules.h"
#include "platform/scripted_platform.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <clocale>

class TestLocale : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void number_rules_keep_the_point();
    void window_conversion_keeps_the_point();
};

void TestLocale::initTestCase()
{
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        if (qEnvironmentVariableIsSet("CI")) QFAIL("de_DE.UTF-8 is missing; scripts/setup.sh generates it");
        QSKIP("the de_DE.UTF-8 locale is not generated here");
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(std::localeconv()->decimal_point[0], ',');
}

void TestLocale::number_rules_keep_the_point()
{
    namespace num = mq::numbers;
    QCOMPARE(num::read_number("2.5").value_or(0), 2.5);
    QVERIFY(!num::read_number("2,5").has_value());
    QCOMPARE(num::general_text(-1234.5), std::string("-1234.5"));
    QCOMPARE(num::general_text(1.5e-7), std::string("1.5E-07"));
    QCOMPARE(num::format_pattern(2.675, "#0.00"), std::string("2.68"));
    QCOMPARE(num::round_to(2.675, 2), 2.68);
    char buffer[num::kGeneralTextMax];
    QCOMPARE(std::string(buffer, num::general_text_to(buffer, 10.25)), std::string("10.25"));
}

void TestLocale::window_conversion_keeps_the_point()
{
    mq::testing::ScriptedPlatform platform;
    grid_space_calc window(platform.services());
    const QStringList boxes = {"10", "12", "4", ""};
    for (int i = 0; i < 4; ++i) window.findChild<QLineEdit*>(QString("Text%1").arg(i + 1))->setText(boxes[i]);
    QTest::mouseClick(window.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QCOMPARE(window.findChild<QLabel*>("result_0")->text(), QString("02:00:00.00 / 02:0.0000 / 2.00000000"));
    QCOMPARE(window.findChild<QLabel*>("result_2")->text(), QString("00:30:00.00 / 00:30.0000 / 0.50000000"));
}

QTEST_MAIN(TestLocale)
#include "test_locale.moc"
