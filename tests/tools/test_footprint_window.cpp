// The insonified-area window driven like a user would: defaults, key
// filters, the grid size, and a run on the worker thread with its progress
// label, Stop, the refusal of a second Start and its messages.
#include "tools/ui/frm_footprint.h"
#include "platform/scripted_platform.h"
#include "platform/window_driver.h"

#include <QTemporaryDir>

using namespace mq::testing;
using mq::platform::MessageIcon;

namespace {

struct Fixture {
    ScriptedPlatform platform;
    mq::tools::ToolContext context;
    QStringList picks;  // what the shared open dialog answers, in turn
    Fixture()
    {
        context.services = platform.services();
        context.openFileDialog = [this] { return picks.isEmpty() ? QString() : picks.takeFirst(); };
    }
};

void fill_box(QWidget& w, const QString& lat_min, const QString& lat_max, const QString& lon_min,
              const QString& lon_max)
{
    set_text(w, "lat_min", lat_min);
    set_text(w, "lat_max", lat_max);
    set_text(w, "lon_min", lon_min);
    set_text(w, "lon_max", lon_max);
}

}  // namespace

class TestFootprintWindow : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir_.isValid() && QDir::setCurrent(dir_.path())); }
    void starts_as_described();
    void key_filters_data();
    void key_filters();
    void grid_size_data();
    void grid_size();
    void start_messages_data();
    void start_messages();
    void run_stop_and_refusal();

private:
    QTemporaryDir dir_;
};

void TestFootprintWindow::starts_as_described()
{
    Fixture f;
    f.picks << "/data/pings.txt"
            << ""
            << "/data/out.bin";
    frm_footprint w(f.context);
    QCOMPARE(w.windowTitle(), QString("Calculate Insonified Area"));
    const std::pair<const char*, const char*> texts[] = {
        {"Label1", "Input file: Ping position and depth (ASCII xyz):"},
        {"Label2", "Ouput file: Grid position insonified by the beam (binary):"},
        {"Label5", "Latitude min:"},
        {"Label6", "Latitude max:"},
        {"Label7", "Longitude min:"},
        {"Label8", "Longitude max:"},
        {"Label3", "Beam width \u00b0:"},
        {"t_beam", "6.46"},
        {"Label10", "Beam width grid size  m:"},
        {"t_grid_space", "1"},
        {"Label4", "Output grid size m:"},
        {"Text4", "1"},
        {"Label9", "-"},
        {"Label11", "Ping #:"},
        {"lat_min", ""},
        {"Text1", ""}};
    for (const auto& [name, text] : texts) QCOMPARE(text_of(w, name), QString::fromUtf8(text));
    QCOMPARE(child<QPushButton>(w, "Command3")->text(), QString("Start"));
    QCOMPARE(child<QPushButton>(w, "Command4")->text(), QString("Stop"));
    QCOMPARE(child<QPushButton>(w, "Command5")->text(), QString("Calculate grid size"));
    click(w, "Command1");
    click(w, "Command2");  // cancelled: unchanged
    click(w, "Command2");
    QCOMPARE(text_of(w, "Text1"), QString("/data/pings.txt"));
    QCOMPARE(text_of(w, "Text2"), QString("/data/out.bin"));
}

void TestFootprintWindow::key_filters_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("expected");
    QTest::newRow("box edge") << "lat_min"
                              << "-./09:";
    QTest::newRow("longitude edge") << "lon_max"
                                    << "-./09:";
    QTest::newRow("beam") << "t_beam"
                          << "./09";
    QTest::newRow("spacing") << "t_grid_space"
                             << "./09";
    QTest::newRow("output grid size") << "Text4"
                                      << "/09";
}

void TestFootprintWindow::key_filters()
{
    QFETCH(QString, box);
    QFETCH(QString, expected);
    Fixture f;
    frm_footprint w(f.context);
    auto* edit = child<QLineEdit>(w, box);
    edit->clear();
    QTest::keyClicks(edit, "-./09:aE, ");
    QCOMPARE(edit->text(), expected);
}

void TestFootprintWindow::grid_size_data()
{
    QTest::addColumn<QStringList>("box");
    QTest::addColumn<QString>("spacing");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("message");
    QTest::newRow("0.1 degree at 54") << QStringList{"54", "54.1", "10", "10.1"} << "1"
                                      << "X: 6524 / Y: 11112"
                                      << "";
    QTest::newRow("colon notation") << QStringList{"54", "54:06", "10", "10:06"} << "1"
                                    << "X: 6524 / Y: 11112"
                                    << "";
    QTest::newRow("spacing rounds to 0") << QStringList{"54", "54.1", "10", "10.1"} << ".4"
                                         << "-"
                                         << "the spacing '.4' must round to a whole number of at least 1";
    QTest::newRow("empty edge") << QStringList{"54", "", "10", "10.1"} << "1"
                                << "-"
                                << "Latitude max: '' is not a coordinate";
}

void TestFootprintWindow::grid_size()
{
    QFETCH(QStringList, box);
    QFETCH(QString, spacing);
    QFETCH(QString, label);
    QFETCH(QString, message);
    Fixture f;
    frm_footprint w(f.context);
    fill_box(w, box[0], box[1], box[2], box[3]);
    set_text(w, "t_grid_space", spacing);
    click(w, "Command5");
    QCOMPARE(text_of(w, "Label9"), label);
    const auto& shown = f.platform.messages.shown;
    QCOMPARE(shown.size(), std::size_t(message.isEmpty() ? 0 : 1));
    if (!message.isEmpty()) {
        QCOMPARE(shown[0].text, message);
        QCOMPARE(shown[0].icon, MessageIcon::Exclamation);
        QCOMPARE(shown[0].title, QString("Calculate Insonified Area"));
    }
}

void TestFootprintWindow::start_messages_data()
{
    QTest::addColumn<QByteArray>("pings");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("spacing");
    QTest::addColumn<QString>("message");  // empty: none
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("written");  // bytes in the output afterwards (-1: no file)
    const QByteArray ping = "20.5 10.5 100\n";
    QTest::newRow("one ping") << ping << "out.bin"
                              << "1"
                              << "You covered 88 square meter!"
                              << "Mapquill" << 88 * 24;
    QTest::newRow("no output path") << ping << ""
                                    << "1"
                                    << ""
                                    << "" << -1;
    QTest::newRow("zero spacing") << ping << "out.bin"
                                  << "0"
                                  << "Beam width grid size  m: '0' must be a number greater than 0"
                                  << "Calculate Insonified Area" << -1;
    QTest::newRow("bad line keeps the records before it") << ping + "20.5 x 100\n"
                                                          << "out.bin"
                                                          << "1"
                                                          << "pings.txt, line 2: field 2 is not a number"
                                                          << "Calculate Insonified Area" << 88 * 24;
}

void TestFootprintWindow::start_messages()
{
    QFETCH(QByteArray, pings);
    QFETCH(QString, output);
    QFETCH(QString, spacing);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QFETCH(int, written);
    write_file("pings.txt", pings);
    QFile::remove("out.bin");
    Fixture f;
    frm_footprint w(f.context);
    set_text(w, "Text1", "pings.txt");
    set_text(w, "Text2", output);
    fill_box(w, "10", "11", "20", "21");
    set_text(w, "t_grid_space", spacing);
    click(w, "Command3");
    QTRY_VERIFY(!w.running());
    const auto& shown = f.platform.messages.shown;
    QCOMPARE(shown.size(), std::size_t(message.isEmpty() ? 0 : 1));
    if (!message.isEmpty()) {
        QCOMPARE(shown[0].text, message);
        QCOMPARE(shown[0].title, title);
        QCOMPARE(shown[0].icon, title == "Mapquill" ? MessageIcon::None : MessageIcon::Exclamation);
    }
    QCOMPARE(QFile("out.bin").exists() ? QFile("out.bin").size() : -1, qint64(written));
}

void TestFootprintWindow::run_stop_and_refusal()
{
    QByteArray pings;
    for (int i = 0; i < 300000; ++i) pings += "20.5 10.5 -100\n";
    write_file("many.txt", pings);
    Fixture f;
    frm_footprint w(f.context);
    set_text(w, "Text1", "many.txt");
    set_text(w, "Text2", "many.bin");
    fill_box(w, "10", "11", "20:00", "21");
    click(w, "Command3");
    QVERIFY(w.running());
    QTRY_VERIFY_WITH_TIMEOUT(text_of(w, "Label11").startsWith("Ping: "), 20000);
    QVERIFY2(text_of(w, "Label11").endsWith('0'), qPrintable(text_of(w, "Label11")));
    set_text(w, "Text2", "other.bin");
    click(w, "Command3");  // refused while running
    QVERIFY(!QFile::exists("other.bin"));
    QElapsedTimer stopping;
    stopping.start();
    click(w, "Command4");
    QTRY_VERIFY_WITH_TIMEOUT(!w.running(), 2000);
    QVERIFY2(stopping.elapsed() < 500, qPrintable(QString::number(stopping.elapsed())));
    const auto& shown = f.platform.messages.shown;
    QCOMPARE(shown.size(), std::size_t(1));
    const QString area = shown[0].text.section(' ', 2, 2);
    QVERIFY2(shown[0].text.startsWith("You covered ") && shown[0].text.endsWith(" square meter!"),
             qPrintable(shown[0].text));
    const qint64 records = area.toLongLong();  // 88 distinct points of 1 m² and 88 records a ping
    QVERIFY(records > 0 && records < 300000LL * 88);
    QCOMPARE(QFile("many.bin").size(), records * 24);
}

QTEST_MAIN(TestFootprintWindow)
#include "test_footprint_window.moc"
