// The colour tables the mixer writes, byte for byte and as GMT reads them.
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

}  // namespace

class TestColourTable : public QObject {
    Q_OBJECT

private slots:
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
