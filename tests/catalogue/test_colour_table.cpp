// The colour mixer's arithmetic and the colour tables it writes.
#include "catalogue/colour_mixer.h"
#include "catalogue/colour_table.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace mq::catalogue;

Q_DECLARE_METATYPE(std::string)

namespace {

ColourTableSource sample_source()
{
    ColourTableSource source;
    source.minimum = {"-10", "255/255/255"};
    source.maximum = {"100.5", "0/0/0"};
    source.stops.assign(10, {"", "-"});
    source.stops[1] = {"50", "255/0/0"};
    source.stops[4] = {" 25 ", "0/0/255"};
    source.stops[6] = {"50", "0/255/0"};   // same value as stop 2: a sharp step
    source.stops[8] = {"", "9/9/9"};       // a colour without a value is left out
    return source;
}

std::string table_for(const ColourTableSource& source)
{
    auto stops = read_colour_stops(source);
    if (!stops) return "error: " + stops.error().text();
    auto text = colour_table_text(stops.value());
    return text ? text.value() : "error: " + text.error().text();
}

}  // namespace

class TestColourTable : public QObject {
    Q_OBJECT

private slots:
    void colour_texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");   // rgb_text of the result, or "-" when refused
        QTest::newRow("plain") << "255/128/0" << "255/128/0";
        QTest::newRow("blanks") << " 1 / 2 /3 " << "1/2/3";
        QTest::newRow("too big") << "256/0/0" << "-";
        QTest::newRow("negative") << "-1/0/0" << "-";
        QTest::newRow("two parts") << "1/2" << "-";
        QTest::newRow("four parts") << "1/2/3/4" << "-";
        QTest::newRow("empty part") << "1//3" << "-";
        QTest::newRow("fraction") << "1.5/2/3" << "-";
        QTest::newRow("dash") << "-" << "-";
    }
    void colour_texts()
    {
        QFETCH(QString, text);
        QFETCH(QString, read);
        const auto colour = read_rgb_text(text.toStdString());
        QCOMPARE(colour ? QString::fromStdString(rgb_text(*colour)) : QStringLiteral("-"), read);
    }

    void colour_number_of_orange() { QCOMPARE(colour_number({255, 128, 0}), 33023L); }

    void initial_bar_runs_white_to_black()
    {
        const auto bar = make_color("0", "100", "255/255/255", "0/0/0");
        QVERIFY(bar);
        QCOMPARE(bar->pen_width, 5);
        QCOMPARE(bar->strokes.size(), std::size_t(501));
        QCOMPARE(bar->strokes.front().value, 0.0);
        QCOMPARE(bar->strokes.back().value, 100.0);
        QVERIFY(bar->strokes.front().colour == (Rgb{255, 255, 255}));
        QVERIFY(bar->strokes.back().colour == (Rgb{0, 0, 0}));
        QVERIFY(bar->strokes[250].colour == (Rgb{127, 127, 127}) || bar->strokes[250].colour == (Rgb{128, 128, 128}));
    }

    // Ranges the pen width cannot take draw a plain bar, a backwards scale or
    // keep the last bar; none of them fails.
    void awkward_ranges_data()
    {
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("maxColour");
        QTest::addColumn<int>("strokes");   // -1: keep the last bar
        QTest::addColumn<int>("pen");
        QTest::addColumn<double>("width");
        QTest::newRow("empty range") << "5" << "5" << "0/0/0" << 0 << 0 << 0.0;
        QTest::newRow("max below min") << "100" << "0" << "0/0/0" << 501 << 5 << -100.0;
        QTest::newRow("wider than 1000") << "0" << "2000" << "0/0/0" << 501 << 0 << 2000.0;
        QTest::newRow("narrow") << "0" << "0.001" << "0/0/0" << 501 << 500000 << 0.001;
        QTest::newRow("min not a number") << "abc" << "100" << "0/0/0" << -1 << 0 << 0.0;
        QTest::newRow("max empty") << "0" << "" << "0/0/0" << -1 << 0 << 0.0;
        QTest::newRow("overflowing range") << "-1e308" << "1e308" << "0/0/0" << -1 << 0 << 0.0;
        QTest::newRow("colour label unset") << "0" << "100" << "-" << -1 << 0 << 0.0;
    }
    void awkward_ranges()
    {
        QFETCH(QString, low);
        QFETCH(QString, high);
        QFETCH(QString, maxColour);
        QFETCH(int, strokes);
        QFETCH(int, pen);
        QFETCH(double, width);
        const auto bar = make_color(low.toStdString(), high.toStdString(), "255/255/255", maxColour.toStdString());
        QCOMPARE(bar ? int(bar->strokes.size()) : -1, strokes);
        if (!bar) return;
        QCOMPARE(bar->pen_width, pen);
        QCOMPARE(bar->width, width);
        QVERIFY(bar->plain == (Rgb{255, 255, 255}));
    }

    void pen_on_the_screen_data()
    {
        QTest::addColumn<int>("pen");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("used");
        QTest::newRow("as asked") << 5 << 500 << 5;
        QTest::newRow("zero closes the gaps") << 0 << 500 << 1;
        QTest::newRow("wide bar needs more") << 0 << 1200 << 3;
        QTest::newRow("narrow range is capped") << 500 << 500 << 11;
    }
    void pen_on_the_screen()
    {
        QFETCH(int, pen);
        QFETCH(int, pixels);
        QFETCH(int, used);
        QCOMPARE(stroke_pen_pixels(pen, pixels), used);
    }

    void pointer_values_data()
    {
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::addColumn<double>("x");
        QTest::addColumn<QString>("value");
        QTest::newRow("middle") << "0" << "100" << 250.0 << "50";
        QTest::newRow("rounded") << "0" << "100" << 3.0 << "1";
        QTest::newRow("half to even") << "0" << "5" << 250.0 << "2";
        QTest::newRow("backwards") << "100" << "0" << 100.0 << "80";
        QTest::newRow("empty range") << "7" << "7" << 400.0 << "7";
    }
    void pointer_values()
    {
        QFETCH(QString, low);
        QFETCH(QString, high);
        QFETCH(double, x);
        QFETCH(QString, value);
        const auto bar = make_color(low.toStdString(), high.toStdString(), "0/0/0", "1/1/1");
        QVERIFY(bar);
        QCOMPARE(QString::fromStdString(value_text_at(*bar, x, 500)), value);
    }

    void table_matches_expected_file()
    {
        QFile expected(QStringLiteral(MQ_TEST_DATA_DIR "/expected/colour_table.cpt"));
        QVERIFY(expected.open(QIODevice::ReadOnly));
        QCOMPARE(QByteArray::fromStdString(table_for(sample_source())), expected.readAll());
    }

    void refused_tables_data()
    {
        QTest::addColumn<int>("stop");        // -1: minimum, -2: maximum
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QString>("message");
        QTest::newRow("minimum not a number") << -1 << "x" << "0/0/0"
                                              << "error: the minimum: the value \"x\" is not a number";
        QTest::newRow("maximum without colour") << -2 << "1" << "-"
            << "error: the maximum has no colour: double-click its swatch to give it the mixed colour";
        QTest::newRow("stop not a number") << 3 << "1,5" << "1/2/3" << "error: stop 4: the value \"1,5\" is not a number";
        QTest::newRow("stop without colour") << 9 << "20" << "-"
            << "error: stop 10 has no colour: double-click its swatch to give it the mixed colour";
        QTest::newRow("no range") << -2 << "-10" << "0/0/0" << "";
    }
    void refused_tables()
    {
        QFETCH(int, stop);
        QFETCH(QString, value);
        QFETCH(QString, colour);
        QFETCH(QString, message);
        ColourTableSource source;
        source.minimum = {"-10", "1/1/1"};
        source.maximum = {"100", "2/2/2"};
        source.stops.assign(10, {"", "-"});
        auto& entry = stop == -1 ? source.minimum : stop == -2 ? source.maximum : source.stops[std::size_t(stop)];
        entry = {value.toStdString(), colour.toStdString()};
        if (message.isEmpty()) message = "error: the colour table needs at least two different values";
        QCOMPARE(QString::fromStdString(table_for(source)), message);
    }

    void maximum_below_minimum_runs_upwards()
    {
        ColourTableSource source{{"100", "0/0/0"}, {"0", "255/255/255"}, {}};
        QCOMPARE(QString::fromStdString(table_for(source)),
                 QStringLiteral("# GMT colour palette table made with Mapquill\r\n# COLOR_MODEL = RGB\r\n"
                                "0 255 255 255 100 0 0 0\r\nB 255 255 255\r\nF 0 0 0\r\nN 128 128 128\r\n"));
    }

    // GMT itself reads the table back.
    void gmt_reads_the_table()
    {
        const QString gmt = QStandardPaths::findExecutable(QStringLiteral("gmt"));
        if (gmt.isEmpty()) QSKIP("gmt is not installed");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("mixer.cpt"));
        QVERIFY(save_colour_table(path.toStdString(), table_for(sample_source())).ok());
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(gmt, {QStringLiteral("makecpt"), QStringLiteral("-C") + path});
        QVERIFY(process.waitForFinished(30000));
        const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0, qPrintable(errors));
        QVERIFY2(!errors.contains(QStringLiteral("ERROR"), Qt::CaseInsensitive), qPrintable(errors));
        const QString table = QString::fromLocal8Bit(process.readAllStandardOutput());
        QVERIFY2(table.contains(QStringLiteral("50\tgreen\t100.5\tblack")), qPrintable(table));
        QVERIFY2(table.contains(QStringLiteral("-10\twhite\t25\tblue")), qPrintable(table));
    }
};

QTEST_GUILESS_MAIN(TestColourTable)
#include "test_colour_table.moc"
