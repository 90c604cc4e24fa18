// The GMT 6 check against GMT itself: what it finds fails or warns at
// compatibility level 6, and what it mends runs there without a message.
// Skipped where GMT is not installed.
#include "catalogue/script_templates.h"
#include "tools/gmt_changes.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <set>

namespace {

struct GmtRun {
    int exit_code = -1;
    QString messages;  // stderr
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
    void catalogue_blocks_data();
    void catalogue_blocks();

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
    QFile series(dir_.filePath("t.txt"));
    QVERIFY(series.open(QIODevice::WriteOnly) && series.write("0 1\n0.01 2\n0.02 4\n") > 0);
    series.close();
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
            // GMT reads GMT 4's records as text without a word.
            mendable = mendable && (f.mendable || mq::tools::gmt4_changes()[f.rule].kind ==
                                                      mq::tools::GmtChangeKind::records);
        }
        const GmtRun old_run = run_gmt(dir_.path(), QString::fromStdString(line));
        QVERIFY2(complains(old_run), line.c_str());
        if (!mendable) continue;  // a parameter or option GMT 6 has no form for
        const std::string mended = mq::tools::gmt6_mend(line, findings);
        const GmtRun new_run = run_gmt(dir_.path(), QString::fromStdString(mended));
        QVERIFY2(!complains(new_run), qPrintable(QString::fromStdString(mended) + "\n" + new_run.messages));
    }
    for (std::size_t i = 0; i < mq::tools::gmt4_changes().size(); ++i)
        if (mq::tools::gmt4_changes()[i].kind != mq::tools::GmtChangeKind::prefix)
            QVERIFY2(covered.count(i), std::string(mq::tools::gmt4_changes()[i].old_form).c_str());
}

namespace {

QByteArray read_all(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// GMT's messages in a run's log.
QStringList gmt_messages(const QByteArray& log)
{
    QStringList found;
    for (const QString& line : QString::fromUtf8(log).split('\n'))
        if (line.contains("[ERROR]") || line.contains("[WARNING]") || line.contains("[COMPATIBILITY]"))
            found << line.trimmed();
    return found;
}

}  // namespace

// Every catalogue block with a GMT command has its entry in gmt6_blocks.txt.
void TestGmt6Gmt::catalogue_blocks_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("needs");  // its entry's lines; "cannot: ..." when it cannot run
    std::map<std::string, QStringList> entries;
    QStringList* entry = nullptr;
    for (const QByteArray& line : read_all(MQ_TEST_DATA_DIR "/data/gmt6_blocks.txt").split('\n')) {
        if (line.startsWith("== "))
            entry = &entries[line.mid(3).toStdString()];
        else if (entry && !line.isEmpty() && !line.startsWith('#'))
            *entry << QString::fromUtf8(line);
    }
    std::vector<mq::catalogue::ScriptTemplate> blocks = mq::catalogue::scriptTemplates();
    for (const auto& entry : mq::catalogue::snippetMenuEntries()) blocks.push_back(entry.snippet);
    for (const auto& block : blocks) {
        std::string text;
        for (const auto& piece : mq::catalogue::expandPieces(block, "1.1.2000  /  12:00:00")) text += piece;
        if (mq::tools::gmt6_check(text).empty()) continue;  // no GMT command
        const std::string name(block.name);
        if (name == "fordo" || name == "colum") continue;  // "gmt-command" stands for any
        QVERIFY2(entries.count(name), name.c_str());
        QTest::newRow(name.c_str()) << QByteArray::fromStdString(text) << entries[name];
        entries.erase(name);
    }
    QVERIFY2(entries.empty(), entries.empty() ? "" : entries.begin()->first.c_str());
}

// The block as written fails or warns at level 6 where it holds GMT 4
// forms; after "Mend all" it runs without GMT's messages.
void TestGmt6Gmt::catalogue_blocks()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, needs);
    if (!needs.isEmpty() && needs.front().startsWith("cannot: ")) QSKIP(qPrintable(needs.front()));
    QByteArray sets =
        "set grd_file=g\r\nset ps_file=map\r\nset scale=X10c\r\nset region=0/0.01/0/0.01\r\n"
        "set elevation=135/30\r\nset border=a0.005\r\n";
    for (const QString& need : needs)
        if (need.startsWith("set ")) sets += need.toUtf8() + "\r\n";
    QStringList old_messages;
    for (const bool mended : {false, true}) {
        QTemporaryDir dir;
        const QString folder = dir.path();
        QFile data(folder + "/d.xyz");
        QVERIFY(data.open(QIODevice::WriteOnly));
        data.write("0.001 0.001 1\n0.009 0.002 2\n0.005 0.008 3\n0.002 0.006 2\n0.008 0.009 1\n");
        data.close();
        QCOMPARE(run_gmt(folder, "gmt surface d.xyz -R0/0.01/0/0.01 -I0.001 -Gg.grd").exit_code, 0);
        QCOMPARE(run_gmt(folder, "gmt makecpt -Cseis -T0/3/0.5", "color1.cpt").exit_code, 0);
        for (const QString& need : needs) {
            if (!need.startsWith("gmt ")) continue;
            const qsizetype to = need.indexOf(" > ");
            const GmtRun run =
                run_gmt(folder, to < 0 ? need : need.left(to), to < 0 ? QString() : need.mid(to + 3));
            QVERIFY2(run.exit_code == 0, qPrintable(need + "\n" + run.messages));
        }
        const std::string script = (sets + text).toStdString();
        QFile batch(folder + "/s.bat");
        QVERIFY(batch.open(QIODevice::WriteOnly));
        batch.write(mended ? mq::tools::gmt6_mend(script, mq::tools::gmt6_check(script)).c_str()
                           : script.c_str());
        batch.close();
        QFile conf(folder + "/gmt.conf");
        QVERIFY(conf.open(QIODevice::WriteOnly) && conf.write("GMT_COMPATIBILITY = 6\n") > 0);
        conf.close();
        QProcess tools;
        tools.setWorkingDirectory(folder);
        tools.start(MQ_TOOLS_PATH, {"run-batch", "s.bat"});
        QVERIFY(tools.waitForFinished(120000));
        const QByteArray log = read_all(folder + "/s.log");
        if (!mended) {
            old_messages = gmt_messages(log);
            continue;
        }
        const QStringList messages = gmt_messages(log);
        const QString end = QString::fromUtf8(log).trimmed().section('\n', -1);
        QVERIFY2(tools.exitCode() == 0 && messages.isEmpty(),
                 qPrintable("mended:\n" + messages.join('\n') + "\n" + end + "\nas written:\n" +
                            old_messages.join('\n')));
    }
}

QTEST_GUILESS_MAIN(TestGmt6Gmt)
#include "test_gmt6_gmt.moc"
