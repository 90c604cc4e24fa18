// The colour mixer's arithmetic and the colour tables it writes.
#include "catalogue/colour_mixer.h"
#include "catalogue/colour_table.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace mq::catalogue;

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

QString table_for(const ColourTableSource& source)
{
    auto stops = read_colour_stops(source);
    if (!stops) return QString::fromStdString("error: " + stops.error().text());
    auto text = colour_table_text(stops.value());
    return QString::fromStdString(text ? text.value() : "error: " + text.error().text());
}

QString rgb(const Rgb& c) { return QString::fromStdString(rgb_text(c)); }

}  // namespace

class TestColourTable : public QObject {
    Q_OBJECT

private slots:
    void colour_texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");   // rgb_text of the result, or "-" when refused
        const std::pair<const char*, const char*> rows[] = {
            {"255/128/0", "255/128/0"}, {" 1 / 2 /3 ", "1/2/3"}, {"256/0/0", "-"}, {"-1/0/0", "-"},
            {"1/2", "-"}, {"1/2/3/4", "-"}, {"1//3", "-"}, {"1.5/2/3", "-"}, {"-", "-"}};
        for (const auto& [text, read] : rows) QTest::newRow(text) << text << read;
    }
    void colour_texts()
    {
        QFETCH(QString, text);
        QFETCH(QString, read);
        const auto colour = read_rgb_text(text.toStdString());
        QCOMPARE(colour ? rgb(*colour) : QStringLiteral("-"), read);
    }

    // Ranges the pen width cannot take draw a plain bar, a backwards scale or
    // keep the last bar; none of them fails.
    void bars_data()
    {
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("maxColour");
        QTest::addColumn<QString>("bar");   // "keep": no new bar
        const auto row = [](const char* name, const char* low, const char* high, const char* colour,
                            const char* bar) { QTest::newRow(name) << low << high << colour << bar; };
        row("white to black", "0", "100", "0/0/0",
            "501 strokes, pen 5, 0 + 100, 255/255/255 at 0 to 0/0/0 at 100");
        row("empty range", "5", "5", "0/0/0", "0 strokes, pen 0, 5 + 0, plain 255/255/255");
        row("max below min", "100", "0", "0/0/0",
            "501 strokes, pen 5, 100 + -100, 255/255/255 at 100 to 0/0/0 at 0");
        row("wider than 1000", "0", "2000", "1/2/3",
            "501 strokes, pen 0, 0 + 2000, 255/255/255 at 0 to 1/2/3 at 2000");
        row("narrow", "0", "0.001", "0/0/0",
            "501 strokes, pen 500000, 0 + 0.001, 255/255/255 at 0 to 0/0/0 at 0.001");
        row("min not a number", "abc", "100", "0/0/0", "keep");
        row("max empty", "0", "", "0/0/0", "keep");
        row("overflowing range", "-1e308", "1e308", "0/0/0", "keep");
        row("colour label unset", "0", "100", "-", "keep");
    }
    void bars()
    {
        QFETCH(QString, low);
        QFETCH(QString, high);
        QFETCH(QString, maxColour);
        QFETCH(QString, bar);
        const auto b =
            make_color(low.toStdString(), high.toStdString(), "255/255/255", maxColour.toStdString());
        QString shown = "keep";
        if (b) {
            shown = QString("%1 strokes, pen %2, %3 + %4, ")
                        .arg(b->strokes.size()).arg(b->pen_width).arg(b->left).arg(b->width);
            if (b->strokes.empty()) {
                shown += "plain " + rgb(b->plain);
            } else {
                const auto &first = b->strokes.front(), &last = b->strokes.back();
                shown += QString("%1 at %2 to %3 at %4")
                             .arg(rgb(first.colour)).arg(first.value).arg(rgb(last.colour)).arg(last.value);
            }
            QVERIFY(b->plain == (Rgb{255, 255, 255}));
        }
        QCOMPARE(shown, bar);
    }

    void pen_on_the_screen()
    {
        // pen asked, bar pixels, pen used
        for (const auto& [pen, pixels, used] :
             {std::tuple{5, 500, 5}, {0, 500, 1}, {0, 1200, 3}, {500, 500, 11}}) {
            QVERIFY2(stroke_pen_pixels(pen, pixels) == used,
                     qPrintable(QString("%1 %2").arg(pen).arg(pixels)));
        }
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

    void tables_data()
    {
        QTest::addColumn<int>("stop");   // the entry changed: -1 minimum, -2 maximum, else a stop
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QString>("table");
        const auto row = [](const char* name, int stop, const char* value, const char* colour,
                            const QString& table) {
            QTest::newRow(name) << stop << value << colour << table;
        };
        const QString no_colour = "has no colour: double-click its swatch to give it the mixed colour";
        row("minimum not a number", -1, "x", "0/0/0", "error: the minimum: the value \"x\" is not a number");
        row("maximum without colour", -2, "1", "-", "error: the maximum " + no_colour);
        row("stop not a number", 3, "1,5", "1/2/3", "error: stop 4: the value \"1,5\" is not a number");
        row("stop without colour", 9, "20", "-", "error: stop 10 " + no_colour);
        row("no range", -2, "-10", "0/0/0", "error: the colour table needs at least two different values");
        row("maximum below minimum runs upwards", -1, "200", "0/0/0",
            "# GMT colour palette table made with Mapquill\r\n# COLOR_MODEL = RGB\r\n"
            "100 2 2 2 200 0 0 0\r\nB 2 2 2\r\nF 0 0 0\r\nN 128 128 128\r\n");
    }
    void tables()
    {
        QFETCH(int, stop);
        QFETCH(QString, value);
        QFETCH(QString, colour);
        QFETCH(QString, table);
        ColourTableSource source{{"-10", "1/1/1"}, {"100", "2/2/2"}, {}};
        source.stops.assign(10, {"", "-"});
        auto& entry = stop == -1   ? source.minimum
                      : stop == -2 ? source.maximum
                                   : source.stops[std::size_t(stop)];
        entry = {value.toStdString(), colour.toStdString()};
        QCOMPARE(table_for(source), table);
    }

    void table_matches_expected_file()
    {
        QFile expected(QStringLiteral(MQ_TEST_DATA_DIR "/expected/colour_table.cpt"));
        QVERIFY(expected.open(QIODevice::ReadOnly));
        QCOMPARE(table_for(sample_source()).toUtf8(), expected.readAll());
    }

    // GMT itself reads the table back.
    void gmt_reads_the_table()
    {
        const QString gmt = QStandardPaths::findExecutable(QStringLiteral("gmt"));
        if (gmt.isEmpty()) QSKIP("gmt is not installed");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("mixer.cpt"));
        QVERIFY(save_colour_table(path.toStdString(), table_for(sample_source()).toStdString()).ok());
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
