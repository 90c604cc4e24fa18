// The GMT 6 check against GMT itself: what it finds fails or warns at
// compatibility level 6, and what it mends runs there without a message.
// Skipped where GMT is not installed.
#include "tools/gmt_changes.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <set>

namespace {

struct GmtRun {
    int exit_code = -1;
    QString messages;   // stderr
};

// A command line of GMT programs (words split at blanks, no quotes) run in
// `folder`, whose gmt.conf asks for compatibility level 6.
GmtRun run_gmt(const QString& folder, const QString& line, const QString& output = {})
{
    QFile conf(folder + "/gmt.conf");
    if (!conf.open(QIODevice::WriteOnly) || conf.write("GMT_COMPATIBILITY = 6\n") < 0) return {};
    conf.close();
    QStringList words = line.split(' ', Qt::SkipEmptyParts);
    const QString program = words.takeFirst();
    QProcess gmt;
    gmt.setWorkingDirectory(folder);
    gmt.setStandardOutputFile(output.isEmpty() ? QProcess::nullDevice() : folder + "/" + output);
    gmt.start(program, words);
    gmt.waitForFinished(60000);
    return {gmt.exitStatus() == QProcess::NormalExit ? gmt.exitCode() : -1,
            QString::fromUtf8(gmt.readAllStandardError())};
}

bool complains(const GmtRun& run)
{
    return run.exit_code != 0 || run.messages.contains("[ERROR]") || run.messages.contains("[WARNING]") ||
           run.messages.contains("[COMPATIBILITY]");
}

}  // namespace

class TestGmt6Gmt : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void rows_against_gmt();

private:
    QTemporaryDir dir_;
};

void TestGmt6Gmt::initTestCase()
{
    if (QStandardPaths::findExecutable("gmt").isEmpty()) QSKIP("GMT is not installed");
    QFile data(dir_.filePath("d.xyz"));
    QVERIFY(data.open(QIODevice::WriteOnly));
    data.write("# lon lat z\n0.001 0.001 1\n0.009 0.002 2\n0.005 0.008 3\n0.002 0.006 2\n0.008 0.009 1\n");
    data.close();
    QCOMPARE(run_gmt(dir_.path(), "gmt surface d.xyz -R0/0.01/0/0.01 -I0.001 -h1 -Gx.grd").exit_code, 0);
    QCOMPARE(run_gmt(dir_.path(), "gmt grdmath -R0/360/-10/10 -I10 -fg X = w.grd").exit_code, 0);
    QCOMPARE(run_gmt(dir_.path(), "gmt psbasemap -R0/1/0/1 -JX2c -B1", "x.ps").exit_code, 0);
}

// Every row of the table has its line in gmt6_rows.txt.
void TestGmt6Gmt::rows_against_gmt()
{
    QFile rows(MQ_TEST_DATA_DIR "/data/gmt6_rows.txt");
    QVERIFY(rows.open(QIODevice::ReadOnly));
    std::set<std::size_t> covered;
    while (!rows.atEnd()) {
        const std::string line = rows.readLine().trimmed().toStdString();
        if (line.empty() || line[0] == '#') continue;
        const auto findings = mq::tools::gmt6_check(line);
        QVERIFY2(!findings.empty(), line.c_str());
        bool mendable = true;
        for (const auto& f : findings) {
            covered.insert(f.rule);
            mendable = mendable && f.mendable;
        }
        const GmtRun old_run = run_gmt(dir_.path(), QString::fromStdString(line));
        QVERIFY2(complains(old_run), line.c_str());
        if (!mendable) continue;   // a parameter GMT 6 has no more
        const std::string mended = mq::tools::gmt6_mend(line, findings);
        const GmtRun new_run = run_gmt(dir_.path(), QString::fromStdString(mended));
        QVERIFY2(!complains(new_run), qPrintable(QString::fromStdString(mended) + "\n" + new_run.messages));
    }
    for (std::size_t i = 0; i < mq::tools::gmt4_changes().size(); ++i)
        if (mq::tools::gmt4_changes()[i].kind != mq::tools::GmtChangeKind::prefix)
            QVERIFY2(covered.count(i), std::string(mq::tools::gmt4_changes()[i].old_form).c_str());
}

QTEST_GUILESS_MAIN(TestGmt6Gmt)
#include "test_gmt6_gmt.moc"
