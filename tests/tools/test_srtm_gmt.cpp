// End to end with GMT: a generated tile on the coast of Istria is converted
// and gridded by two mapquill-tools runs at once, each in a folder of its
// own, and the grids are checked with GMT's own tools. Skipped where GMT is
// not installed.
#include "platform/test_files.h"
#include "tools/tile_fixture.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace {

// GMT run in `folder` (its -G options take no names with blanks).
QString gmt_output(const QString& folder, const QStringList& args, const QByteArray& input = {})
{
    QProcess gmt;
    gmt.setWorkingDirectory(folder);
    gmt.start("gmt", args);
    gmt.write(input);
    gmt.closeWriteChannel();
    gmt.waitForFinished(120000);
    return QString::fromUtf8(gmt.readAllStandardOutput()).trimmed();
}

}  // namespace

class TestSrtmGmt : public QObject {
    Q_OBJECT

private slots:
    void tile_to_masked_grid();
};

void TestSrtmGmt::tile_to_masked_grid()
{
    if (QStandardPaths::findExecutable("gmt").isEmpty()) QSKIP("GMT is not installed");
    QTemporaryDir top;
    // A folder name that cmd.exe would cut or expand unless written with care.
    const QStringList folders{top.filePath("R&D 50%"), top.filePath("second")};
    // Land heights everywhere, sea included: the land mask must remove the sea.
    const auto heights = mq::testing::make_tile(1201, [](int r, int c) { return 100 + (r + c) % 200; });
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", top.filePath("tmp"));   // where the runs make their folders
    QVERIFY(QDir().mkpath(top.filePath("tmp")));
    std::vector<std::unique_ptr<QProcess>> runs;
    for (const QString& folder : folders) {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(mq::testing::write_file(folder + "/N45E013.hgt", QByteArray::fromStdString(heights)));
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->setWorkingDirectory(folder);
        runs.back()->setProcessEnvironment(env);
        runs.back()->start(MQ_TOOLS_PATH, {"srtm", "N45E013.hgt", "N45E013.xyz", "--make-grid"});
    }
    for (auto& run : runs) {
        QVERIFY(run->waitForFinished(600000));
        QVERIFY2(run->exitCode() == 0, run->readAllStandardError().constData());
    }
    for (const QString& folder : folders) {
        QVERIFY(QFile::exists(folder + "/N45E013.grd"));
        QVERIFY(!QFile::exists(folder + "/N45E013.xyz"));   // deleted by the batch
        QVERIFY(QDir(folder).entryList({"x_*"}, QDir::Files).isEmpty());
    }
    QVERIFY(QDir(top.filePath("tmp")).isEmpty());   // each run removed its folder

    const QString dir = folders[0], grid = dir + "/N45E013.grd";
    // west east south north ... n_columns n_rows
    const QStringList info = gmt_output(dir, {"grdinfo", "-C", grid}).split('\t');
    QVERIFY2(info.size() >= 11, qPrintable(info.join(' ')));
    QCOMPARE(info.mid(1, 4), (QStringList{"13", "14", "45", "46"}));
    QCOMPARE(info.mid(9, 2), (QStringList{"1201", "1201"}));
    // Open Adriatic west of Istria is masked; inland Slovenia keeps the tile's height.
    const QStringList values =
        gmt_output(dir, {"grdtrack", "-GN45E013.grd"}, "13.1 45.3\n13.9 45.8\n").split('\n');
    QCOMPARE(values.size(), 2);
    QCOMPARE(values[0].split('\t').last(), QString("NaN"));
    QCOMPARE(values[1].split('\t').last().toDouble(), 100.0 + (240 + 1080) % 200);
}

QTEST_GUILESS_MAIN(TestSrtmGmt)
#include "test_srtm_gmt.moc"
