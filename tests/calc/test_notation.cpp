#include "calc/notation.h"

#include <QTest>

using mq::calc::NotationProblem;

namespace {

// "0145" style text of the offered conversions, or "keep".
QString offered_text(const mq::calc::NotationDetection& d) {
    if (!d.offered) return "keep";
    QString s;
    for (int i = 0; i < mq::calc::kConversionCount; ++i)
        if (d.offered->test(static_cast<std::size_t>(i))) s += QString::number(i);
    return s;
}

}  // namespace

class TestNotation : public QObject {
    Q_OBJECT

private slots:
    void detect_data();
    void detect();
    void convert_data();
    void convert();
    void rewritten_input_data();
    void rewritten_input();
};

void TestNotation::detect_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("offered");
    QTest::addColumn<int>("selected");   // -1: keep the selection
    QTest::newRow("empty") << "" << "012345" << -1;
    QTest::newRow("whole degrees") << "45" << "012345" << -1;
    QTest::newRow("decimal") << "45.5" << "23" << 2;
    QTest::newRow("comma does not count") << "45,5" << "012345" << -1;
    QTest::newRow("degrees:minutes") << "10:30" << "0145" << 0;
    QTest::newRow("decimal minutes") << "10:30.5" << "05" << 0;
    QTest::newRow("seconds") << "10:30:45" << "14" << 1;
    QTest::newRow("decimal seconds") << "10:30:45.5" << "14" << 1;
    QTest::newRow("negative decimal") << "-45.5" << "23" << 2;
    QTest::newRow("four fields") << "1:2:3:4" << "keep" << -1;
}

void TestNotation::detect() {
    QFETCH(QString, text);
    QFETCH(QString, offered);
    QFETCH(int, selected);
    const auto d = mq::calc::detect_notation(text.toStdString());
    QCOMPARE(offered_text(d), offered);
    QCOMPARE(d.selected.value_or(-1), selected);
}

void TestNotation::convert_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("conversion");
    QTest::addColumn<QString>("result");   // empty: no result
    QTest::addColumn<int>("problem");

    const int none = int(NotationProblem::None);
    // Conversion 0: degrees:decimal minutes to decimal degrees.
    QTest::newRow("0 minutes") << "10:30.5" << 0 << "10.5083330" << none;
    QTest::newRow("0 negative") << "-10:30.5" << 0 << "-10.5083330" << none;
    QTest::newRow("0 whole minutes") << "10:30" << 0 << "10.5000000" << none;
    QTest::newRow("0 whole degrees") << "45" << 0 << "45.0000000" << none;
    QTest::newRow("0 comma") << "10:30,5" << 0 << "10.5083330" << none;
    QTest::newRow("0 empty field") << ":30" << 0 << "" << int(NotationProblem::NotANumber);
    QTest::newRow("0 empty text") << "" << 0 << "" << int(NotationProblem::NotANumber);
    QTest::newRow("0 letters") << "1O:30" << 0 << "" << int(NotationProblem::NotANumber);
    QTest::newRow("0 exponent in colon text") << "1e308:1e308" << 0 << "" << int(NotationProblem::NotANumber);
    const QString dbl_max = "17976931348623157" + QString(292, '0');
    QTest::newRow("0 sum too large") << dbl_max + ":" + dbl_max << 0 << "" << int(NotationProblem::OutOfRange);
    // Conversion 1: degrees:minutes:seconds to decimal degrees.
    QTest::newRow("1 seconds") << "10:30:45" << 1 << "10.5125000" << none;
    QTest::newRow("1 negative") << "-10:30:45" << 1 << "-10.5125000" << none;
    QTest::newRow("1 half to even at six decimals") << "0:0:0.0018" << 1 << "0.0000000" << none;
    QTest::newRow("1 odd half up at six decimals") << "0:0:0.0054" << 1 << "0.0000020" << none;
    QTest::newRow("1 no seconds") << "10:30" << 1 << "10.5000000" << none;
    // Conversion 2: decimal degrees to degrees:decimal minutes.
    QTest::newRow("2 decimal") << "45.5125" << 2 << "45:30.7500" << none;
    QTest::newRow("2 two-digit degrees") << "5.5" << 2 << "05:30.0000" << none;
    QTest::newRow("2 comma") << "10,5" << 2 << "10:30.0000" << none;
    QTest::newRow("2 negative") << "-5.5" << 2 << "-05:30.0000" << none;
    QTest::newRow("2 leading point") << ".5" << 2 << "00:30.0000" << none;
    QTest::newRow("2 minutes rounded to 3 first") << "0.00001" << 2 << "00:00.0010" << none;
    QTest::newRow("2 whole degrees") << "45" << 2 << "" << int(NotationProblem::NeedsDecimalPoint);
    QTest::newRow("2 two points") << "10.5.3" << 2 << "" << int(NotationProblem::NotANumber);
    // Conversion 3: decimal degrees to degrees:minutes:seconds.
    QTest::newRow("3 decimal") << "45.5125" << 3 << "45:30:45.00" << none;
    QTest::newRow("3 whole minutes") << "45.25" << 3 << "45:15:00.00" << none;
    QTest::newRow("3 sixty seconds, no carry") << "10.9999999" << 3 << "10:59:60.00" << none;
    QTest::newRow("3 negative") << "-45.5125" << 3 << "-45:30:45.00" << none;
    QTest::newRow("3 tiny minutes stay plain") << "10.000000025" << 3 << "10:00:00.00" << none;
    QTest::newRow("3 whole degrees") << "45" << 3 << "" << int(NotationProblem::NeedsDecimalPoint);
    // Conversion 4: degrees:minutes:seconds to degrees:decimal minutes.
    QTest::newRow("4 seconds") << "10:30:45" << 4 << "10:30.7500" << none;
    QTest::newRow("4 one digit") << "5:3:3" << 4 << "05:03.0500" << none;
    QTest::newRow("4 negative") << "-10:30:45" << 4 << "-10:30.7500" << none;
    QTest::newRow("4 whole degrees") << "45" << 4 << "45:00.0000" << none;
    QTest::newRow("4 letters") << "10:3x:45" << 4 << "" << int(NotationProblem::NotANumber);
    // Conversion 5: degrees:decimal minutes to degrees:minutes:seconds.
    QTest::newRow("5 minutes") << "10:30.75" << 5 << "10:30:45.00" << none;
    QTest::newRow("5 negative") << "-10:30.5" << 5 << "-10:30:30.00" << none;
    QTest::newRow("5 sixty seconds") << "10:30.99999" << 5 << "10:30:60.00" << none;
    QTest::newRow("5 comma") << "10:30,75" << 5 << "10:30:45.00" << none;
    QTest::newRow("5 whole degrees") << "45" << 5 << "" << int(NotationProblem::NeedsDecimalPoint);
    QTest::newRow("5 point in degrees") << "45.5:30" << 5 << "" << int(NotationProblem::PointNotInMinutes);
    QTest::newRow("5 no minutes") << "45.5" << 5 << "" << int(NotationProblem::PointNotInMinutes);
    // Exponents are written out before converting.
    QTest::newRow("exponent") << "1.5e1" << 0 << "15.0000000" << none;
    QTest::newRow("exponent to decimals") << "1.5E-1" << 2 << "00:09.0000" << none;
    QTest::newRow("negative exponent value") << "-2.5e0" << 2 << "-02:30.0000" << none;
    QTest::newRow("exponent with comma") << "1,5e1" << 0 << "15.0000000" << none;
    QTest::newRow("unreadable exponent") << "1e5:30" << 0 << "" << int(NotationProblem::NotANumber);
    QTest::newRow("lone e") << "e" << 2 << "" << int(NotationProblem::NotANumber);
    QTest::newRow("conversion out of range") << "10.5" << 6 << "" << int(NotationProblem::UnknownConversion);
    QTest::newRow("long digits") << QString(5000, '7') << 0 << "" << int(NotationProblem::NotANumber);
}

void TestNotation::convert() {
    QFETCH(QString, text);
    QFETCH(int, conversion);
    QFETCH(QString, result);
    QFETCH(int, problem);
    const auto r = mq::calc::convert_notation(text.toStdString(), conversion);
    QCOMPARE(QString::fromStdString(r.result.value_or("")), result);
    QCOMPARE(int(r.problem), problem);
}

void TestNotation::rewritten_input_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("rewritten");
    QTest::newRow("no exponent") << "10,5" << "10,5";
    QTest::newRow("exponent") << "1.5e1" << "15";
    QTest::newRow("negative exponent") << "-1.5e1" << "-15";
    QTest::newRow("small exponent is plain") << "1.5e-7" << "0.00000015";
    QTest::newRow("unreadable kept") << "1e5:30" << "1e5:30";
}

void TestNotation::rewritten_input() {
    QFETCH(QString, text);
    QFETCH(QString, rewritten);
    QCOMPARE(QString::fromStdString(mq::calc::convert_notation(text.toStdString(), 0).rewritten), rewritten);
}

QTEST_APPLESS_MAIN(TestNotation)
#include "test_notation.moc"
