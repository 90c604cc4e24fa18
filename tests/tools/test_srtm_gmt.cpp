// End to end with GMT: a generated tile on the coast of Istria is converted,
// its batch file run, and the grid checked with GMT's own tools. Skipped
// where GMT is not installed.
#include "platform/test_files.h"
#include "tools/tile_fixture.h"
#include "tools/batch_runner.h"
#include "tools/srtm_tile.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace mq::tools;

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
    const QDir dir(top.filePath("R&D 50%"));
    QVERIFY(QDir().mkpath(dir.path()));
    const QString tile = dir.filePath("N45E013.hgt");
    // Land heights everywhere, sea included: the land mask must remove the sea.
    const auto heights = mq::testing::make_tile(1201, [](int r, int c) { return 100 + (r + c) % 200; });
    QVERIFY(mq::testing::write_file(tile, QByteArray::fromStdString(heights)));
    const TileName name = parse_tile_name(tile.toStdString());
    QVERIFY(convert_hgt_tile({tile.toStdString(), *name.output_path, ByteOrder::Big, XyzFormat::Binary, "0.5", "5000",
                              *name.south, *name.west},
                             {}, {})
                .ok());
    const std::string batch = dir.filePath("work/SRTM_grid.bat").toStdString();
    QVERIFY(QDir().mkpath(dir.filePath("work")));
    QVERIFY(write_grid_batch(batch, {*name.xyz_name, *name.grid_name, *name.south, *name.west}).ok());

    const auto run = run_batch_file(batch);
    QVERIFY(run.ok());
    const QString log = QString::fromUtf8(mq::testing::read_file(QString::fromStdString(run->log_path)));
    QVERIFY2(run->failed == 0, qPrintable(log));

    const QString grid = QString::fromStdString(*name.grid_name);
    QVERIFY(QFile::exists(grid));
    QVERIFY(!QFile::exists(QString::fromStdString(*name.xyz_name)));   // deleted by the batch
    QVERIFY(QDir(dir.filePath("work")).entryList({"x_*"}, QDir::Files).isEmpty());
    // west east south north ... n_columns n_rows
    const QStringList info = gmt_output(dir.path(), {"grdinfo", "-C", grid}).split('\t');
    QVERIFY2(info.size() >= 11, qPrintable(info.join(' ')));
    QCOMPARE(info.mid(1, 4), (QStringList{"13", "14", "45", "46"}));
    QCOMPARE(info.mid(9, 2), (QStringList{"1201", "1201"}));
    // Open Adriatic west of Istria is masked; inland Slovenia keeps the tile's height.
    const QStringList values = gmt_output(dir.path(), {"grdtrack", "-G" + QFileInfo(grid).fileName()}, "13.1 45.3\n13.9 45.8\n").split('\n');
    QCOMPARE(values.size(), 2);
    QCOMPARE(values[0].split('\t').last(), QString("NaN"));
    QCOMPARE(values[1].split('\t').last().toDouble(), 100.0 + (240 + 1080) % 200);
}

QTEST_GUILESS_MAIN(TestSrtmGmt)
#include "test_srtm_gmt.moc"
