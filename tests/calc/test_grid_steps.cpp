#include "calc/grid_steps.h"

#include <QTest>

using mq::calc::GridMode;

Q_DECLARE_METATYPE(GridMode)

class TestGridSteps : public QObject {
    Q_OBJECT

private slots:
    void value_text_data();
    void value_text();
    void three_notation_data();
    void three_notation();
    void calculate_data();
    void calculate();
};

void TestGridSteps::value_text_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("held");   // empty: not a value
    QTest::newRow("decimal") << "10" << "10.0000000";
    QTest::newRow("minutes") << "10:30" << "10.5000000";
    QTest::newRow("seconds") << "0:0:30" << "0.0083330";
    QTest::newRow("sign covers minutes") << "-10:30" << "-10.5000000";
    QTest::newRow("rounded to six") << "0.00000049" << "0.0000000";
    QTest::newRow("half to even at six") << "0.0000125" << "0.0000120";
    QTest::newRow("extra fields ignored") << "1:2:3:4" << "1.0341670";
    QTest::newRow("letters") << "1O" << "";
    QTest::newRow("empty field") << "10::30" << "";
    QTest::newRow("comma") << "10,5" << "";
    QTest::newRow("overflow") << "1.79e308:1.79e308" << "";
}

void TestGridSteps::value_text() {
    QFETCH(QString, text);
    QFETCH(QString, held);
    QCOMPARE(QString::fromStdString(mq::calc::read_value_text(text.toStdString()).value_or("")), held);
}

void TestGridSteps::three_notation_data() {
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<QString>("shown");   // empty: none
    QTest::newRow("whole") << "2.00000000" << "02:00:00.00 / 02:0.0000 / 2.00000000";
    QTest::newRow("no carry") << "0.33333333" << "00:19:60.00 / 00:20.0000 / 0.33333333";
    QTest::newRow("negative") << "-1.50000000" << "-01:30:00.00 / -01:30.0000 / -1.50000000";
    QTest::newRow("negative below one degree") << "-0.50000000" << "-00:30:00.00 / -00:30.0000 / -0.50000000";
    QTest::newRow("no point") << "2" << "";
    QTest::newRow("letters") << "x.5" << "";
}

void TestGridSteps::three_notation() {
    QFETCH(QString, decimal);
    QFETCH(QString, shown);
    QCOMPARE(QString::fromStdString(mq::calc::three_notation_text(decimal.toStdString()).value_or("")), shown);
}

void TestGridSteps::calculate_data() {
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("max");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("size");
    QTest::addColumn<GridMode>("mode");
    QTest::addColumn<bool>("calculated");
    QTest::addColumn<GridMode>("mode_after");
    QTest::addColumn<QString>("range");     // "-": none
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("step_size");

    const auto A = GridMode::Amount;
    const auto S = GridMode::Size;
    const QString two = "02:00:00.00 / 02:0.0000 / 2.00000000";
    QTest::newRow("amount 4") << "10" << "12" << "4" << "" << A << true << A << two << "4"
                              << "00:30:00.00 / 00:30.0000 / 0.50000000";
    QTest::newRow("size selects its option") << "10" << "12" << "" << "0:0:30" << A << true << S << two << "240"
                                             << "00:00:30.00 / 00:0.5000 / 0.00833333";
    QTest::newRow("negative colon values") << "-10:30" << "-9:30" << "60" << "" << A << true << A
                                           << "01:00:00.00 / 01:0.0000 / 1.00000000" << "60"
                                           << "00:01:00.00 / 00:1.0000 / 0.01666667";
    QTest::newRow("seconds not carried") << "0" << "1" << "" << "0.3" << S << true << S
                                         << "01:00:00.00 / 01:0.0000 / 1.00000000" << "3"
                                         << "00:19:60.00 / 00:20.0000 / 0.33333333";
    QTest::newRow("quarter degree") << "7.5" << "8.25" << "" << "0:15" << S << true << S
                                    << "00:45:00.00 / 00:45.0000 / 0.75000000" << "3"
                                    << "00:15:00.00 / 00:15.0000 / 0.25000000";
    QTest::newRow("both filled, user picks size") << "10" << "12" << "4" << "0.5" << S << true << S << two << "4"
                                                  << "00:30:00.00 / 00:30.0000 / 0.50000000";
    QTest::newRow("amount half to even") << "0" << "2.5" << "" << "1" << S << true << S
                                         << "02:30:00.00 / 02:30.0000 / 2.50000000" << "2"
                                         << "01:15:00.00 / 01:15.0000 / 1.25000000";
    QTest::newRow("both empty") << "10" << "12" << "" << "" << S << false << S << "-" << "-" << "-";
    QTest::newRow("min empty") << "" << "12" << "4" << "" << A << false << A << "-" << "-" << "-";
    QTest::newRow("amount 0") << "10" << "12" << "0" << "" << A << true << A << two << "0" << "-";
    QTest::newRow("amount too large") << "10" << "12" << "32768" << "" << A << true << A << two << "-" << "-";
    QTest::newRow("amount letters") << "10" << "12" << "abc" << "" << A << true << A << two << "-" << "-";
    QTest::newRow("size 0") << "10" << "12" << "" << "0" << S << true << S << two << "-" << "-";
    QTest::newRow("size negative") << "10" << "12" << "" << "-1" << S << true << S << two << "-" << "-";
    QTest::newRow("size gives no step") << "10" << "12" << "" << "5" << S << true << S << two << "0" << "-";
    QTest::newRow("size letters") << "10" << "12" << "" << "x" << S << true << S << two << "-" << "-";
    QTest::newRow("min letters") << "ten" << "12" << "4" << "" << A << true << A << "-" << "4" << "-";
    QTest::newRow("min letters, size mode") << "ten" << "12" << "" << "1" << S << true << S << "-" << "-" << "-";
    QTest::newRow("range too large") << "-1e308" << "1e308" << "4" << "" << A << true << A << "-" << "4" << "-";
}

void TestGridSteps::calculate() {
    QFETCH(QString, min);
    QFETCH(QString, max);
    QFETCH(QString, amount);
    QFETCH(QString, size);
    QFETCH(GridMode, mode);
    QFETCH(bool, calculated);
    QFETCH(GridMode, mode_after);
    QFETCH(QString, range);
    QFETCH(QString, steps);
    QFETCH(QString, step_size);

    const auto r = mq::calc::calculate_grid_steps(
        {min.toStdString(), max.toStdString(), amount.toStdString(), size.toStdString(), mode});
    auto shown = [](const std::optional<std::string>& v) { return QString::fromStdString(v.value_or("-")); };
    QCOMPARE(r.calculated, calculated);
    QCOMPARE(r.mode, mode_after);
    QCOMPARE(shown(r.range), range);
    QCOMPARE(shown(r.amount), steps);
    QCOMPARE(shown(r.size), step_size);
    // Every missing result is explained.
    const bool complete = r.range && r.amount && r.size;
    QCOMPARE(r.problem.empty(), complete);
}

QTEST_APPLESS_MAIN(TestGridSteps)
#include "test_grid_steps.moc"
