// The SRTM tile conversion, binary xyz to text and positions along a track,
// run on generated files.
#include "tile_fixture.h"
#include "tools/binary_xyz.h"
#include "tools/srtm_tile.h"
#include "tools/track_positions.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace mq::tools;
using mq::testing::double_at;
using mq::testing::doubles;
using mq::testing::make_tile;
using mq::testing::read_file;
using mq::testing::write_file;

namespace {

constexpr const char* kAbsent = "(absent)";

QString shown(const std::optional<std::string>& text) { return text ? QString::fromStdString(*text) : kAbsent; }

std::string str(const QString& s) { return s.toStdString(); }

// A height that differs from sample to sample and covers negative values.
int sample_height(int r, int c) { return (r * 7 + c) % 3000 - 100; }

}  // namespace

class TestFileTools : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir_.isValid()); }

    void tile_names_data();
    void tile_names();
    void region_and_batch_data();
    void region_and_batch();
    void unfiltered_records_data();
    void unfiltered_records();
    void bounds_and_voids_data();
    void bounds_and_voids();
    void refused_before_writing_data();
    void refused_before_writing();
    void stop_and_progress();
    void one_arc_second_tile();

    void binary_to_text_data();
    void binary_to_text();
    void binary_stop_keeps_lines();

    void track_coordinates_data();
    void track_coordinates();
    void track_files_data();
    void track_files();

private:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

void TestFileTools::tile_names_data()
{
    QTest::addColumn<QString>("tile");
    QTest::addColumn<QString>("south");
    QTest::addColumn<QString>("west");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("grid");
    QTest::newRow("north east") << "D:\\srtm\\N45E010.hgt" << "45" << "010" << "D:\\srtm\\N45E010.xyz"
                                << "D:\\srtm\\N45E010.grd";
    QTest::newRow("lower case letters") << "/data/n45e010.hgt" << kAbsent << kAbsent << "/data/n45e010.xyz"
                                        << "/data/n45e010.grd";
    QTest::newRow("not .hgt") << "/data/N45E010.HGT" << kAbsent << kAbsent << kAbsent << kAbsent;
    QTest::newRow("short path") << "a/N45E010.hgt" << "45" << "010" << "a/N45E010.xyz" << "a/N45E010.grd";
    QTest::newRow("bare name") << "N45E010.hgt" << "45" << "010" << "N45E010.xyz" << "N45E010.grd";
    // Only the tile name counts, not the letter that ends its folder's name.
    QTest::newRow("folder ends in E") << "/ARCHIVE/N45E010.hgt" << "45" << "010" << "/ARCHIVE/N45E010.xyz"
                                      << "/ARCHIVE/N45E010.grd";
    QTest::newRow("folder ends in S") << "/TILES/S12W077.hgt" << "-12" << "-077" << "/TILES/S12W077.xyz"
                                      << "/TILES/S12W077.grd";
}

void TestFileTools::tile_names()
{
    QFETCH(QString, tile);
    const TileName name = parse_tile_name(str(tile));
    QTEST(shown(name.south), "south");
    QTEST(shown(name.west), "west");
    QTEST(shown(name.output_path), "output");
    QTEST(shown(name.xyz_name), "output");
    QTEST(shown(name.grid_name), "grid");
}

void TestFileTools::region_and_batch_data()
{
    QTest::addColumn<QString>("south");
    QTest::addColumn<QString>("west");
    QTest::addColumn<int>("samples");
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("spacing");
    QTest::newRow("N45E010") << "45" << "010" << 1201 << "010/11/45/46" << "-I3c";
    QTest::newRow("S12W077") << "-12" << "-077" << 1201 << "-077/-76/-12/-11" << "-I3c";
    QTest::newRow("one arc-second") << "45" << "010" << 3601 << "010/11/45/46" << "-I1c";
    QTest::newRow("not a number") << "4x" << "010" << 1201 << kAbsent << "";
}

void TestFileTools::region_and_batch()
{
    QFETCH(QString, south);
    QFETCH(QString, west);
    QFETCH(int, samples);
    QFETCH(QString, region);
    QFETCH(QString, spacing);
    QCOMPARE(shown(region_text(str(south), str(west))), region);
    const std::string batch = path("SRTM_grid.bat").toStdString();
    GridBatch lines{"D:\\srtm\\N45E010.xyz", "D:\\srtm\\N45E010.grd", str(south), str(west), samples,
                    XyzFormat::Binary};
    const auto status = write_grid_batch(batch, lines);
    QCOMPARE(status.ok(), region != kAbsent);
    if (!status) return;
    const QByteArray expected = "echo off\r\ncls\r\necho *\r\n"
                                "echo **** I am calculating your grid:  D:\\srtm\\N45E010.grd\r\n"
                                "surface  D:\\srtm\\N45E010.xyz -Gx_srtm.grd " + spacing.toLatin1() + " -R" +
                                region.toLatin1() + " -H0 -bi3 -V\r\n"
                                "del D:\\srtm\\N45E010.xyz\r\n"
                                "grdlandmask -R" + region.toLatin1() + " -Df " + spacing.toLatin1() +
                                " -NNaN/1 -Gx_land.grd -V\r\n"
                                "grdmath x_srtm.grd x_land.grd OR -V = D:\\srtm\\N45E010.grd\r\n"
                                "del x_*.*";
    QCOMPARE(read_file(path("SRTM_grid.bat")), expected);
    // surface reads text records as text.
    lines.format = XyzFormat::Ascii;
    QCOMPARE(QByteArray::fromStdString(*grid_batch_text(lines)),
             QByteArray(expected).replace(" -H0 -bi3 -V", " -H0 -V"));
}

void TestFileTools::unfiltered_records_data()
{
    QTest::addColumn<bool>("big_endian");
    QTest::addColumn<bool>("binary");
    QTest::newRow("big endian, binary") << true << true;
    QTest::newRow("little endian, binary") << false << true;
    QTest::newRow("big endian, text") << true << false;
    QTest::newRow("little endian, text") << false << false;
}

void TestFileTools::unfiltered_records()
{
    QFETCH(bool, big_endian);
    QFETCH(bool, binary);
    QVERIFY(write_file(path("N45E010.hgt"), make_tile(1201, sample_height, big_endian)));
    HgtConversion job{str(path("N45E010.hgt")), str(path("out.xyz")),
                      big_endian ? ByteOrder::Big : ByteOrder::Little,
                      binary ? XyzFormat::Binary : XyzFormat::Ascii, "-32768", "32767", "45", "010"};
    const auto result = convert_hgt_tile(job, {}, {});
    QVERIFY2(result.ok(), result.ok() ? "" : result.error().text().c_str());
    QCOMPARE(result->records, 1442401);
    QCOMPARE(result->stopped, false);
    const QByteArray out = read_file(path("out.xyz"));
    if (binary) {
        QCOMPARE(out.size(), qsizetype(1442401) * 24);
        const double expected[3][3] = {{10, 46, -100}, {10.0008333333, 46, -99}, {11, 45, double(sample_height(1200, 1200))}};
        const qsizetype offsets[3] = {0, 24, out.size() - 24};
        for (int i = 0; i < 3; ++i)
            for (int k = 0; k < 3; ++k) QCOMPARE(double_at(out, offsets[i] + 8 * k), expected[i][k]);
    } else {
        QVERIFY(out.startsWith("10\t46\t-100\r\n10.0008333333\t46\t-99\r\n10.0016666667\t46\t-98\r\n"));
        QVERIFY(out.endsWith("\r\n10.9991666667\t45\t" + QByteArray::number(sample_height(1200, 1199)) +
                             "\r\n11\t45\t" + QByteArray::number(sample_height(1200, 1200)) + "\r\n"));
        QCOMPARE(out.count('\n'), 1442401);
        // Row 1 starts 1/1200 degree further south.
        QVERIFY(out.contains("\r\n10\t45.9991666667\t-93\r\n"));
    }
}

void TestFileTools::bounds_and_voids_data()
{
    QTest::addColumn<QString>("min_z");
    QTest::addColumn<QString>("max_z");
    QTest::addColumn<QList<double>>("kept");
    // Row 0 holds a void, sea level, 1, 5000, 5001 and -5; all else is 0.
    QTest::newRow("default bounds") << "0.5" << "5000" << QList<double>{1, 5000};
    QTest::newRow("bounds are inclusive") << "1" << "5001" << QList<double>{1, 5000, 5001};
    QTest::newRow("negative range keeps the void") << "-32768" << "-5" << QList<double>{-32768, -5};
    QTest::newRow("empty range") << "10" << "4" << QList<double>{};
}

void TestFileTools::bounds_and_voids()
{
    QFETCH(QString, min_z);
    QFETCH(QString, max_z);
    QFETCH(QList<double>, kept);
    const int row0[] = {-32768, 0, 1, 5000, 5001, -5};
    const QByteArray tile = make_tile(1201, [&](int r, int c) { return r == 0 && c < 6 ? row0[c] : 0; });
    QCOMPARE(tile.left(2), QByteArray("\x80\x00", 2));   // the void, high byte first
    QVERIFY(write_file(path("N45E010.hgt"), tile));
    const HgtConversion job{str(path("N45E010.hgt")), str(path("out.xyz")), ByteOrder::Big, XyzFormat::Binary,
                            str(min_z), str(max_z), "45", "10"};
    const auto result = convert_hgt_tile(job, {}, {});
    QVERIFY(result.ok());
    const QByteArray out = read_file(path("out.xyz"));
    QList<double> heights;
    for (qsizetype at = 0; at + 24 <= out.size(); at += 24) heights << double_at(out, at + 16);
    QCOMPARE(heights, kept);
}

void TestFileTools::refused_before_writing_data()
{
    QTest::addColumn<int>("tile_bytes");
    QTest::addColumn<QString>("min_z");
    QTest::addColumn<QString>("south");
    QTest::addColumn<bool>("output_is_input");
    QTest::addColumn<QString>("message");
    QTest::newRow("short tile") << 1000 << "0.5" << "45" << false << "the tile has 1000 bytes; a tile of 1201 x 1201 samples has 2884802 bytes";
    QTest::newRow("one sample too many") << 2884804 << "0.5" << "45" << false << "2884804 bytes";
    QTest::newRow("Min_Z not a number") << 2884802 << "abc" << "45" << false << "Min Z-value 'abc' is not a number";
    QTest::newRow("South not a number") << 2884802 << "0.5" << "-\\N" << false << "south coordinate '-\\N'";
    QTest::newRow("output names the input") << 2884802 << "0.5" << "45" << true << "the output file is the input file";
}

void TestFileTools::refused_before_writing()
{
    QFETCH(int, tile_bytes);
    QFETCH(QString, min_z);
    QFETCH(QString, south);
    QFETCH(bool, output_is_input);
    QFETCH(QString, message);
    QVERIFY(write_file(path("N45E010.hgt"), QByteArray(tile_bytes, '\x01')));
    QVERIFY(write_file(path("old.xyz"), "kept"));
    const QString output = output_is_input ? path("./N45E010.hgt") : path("old.xyz");
    const HgtConversion job{str(path("N45E010.hgt")), str(output), ByteOrder::Big, XyzFormat::Binary,
                            str(min_z), "5000", str(south), "10"};
    const auto result = convert_hgt_tile(job, {}, {});
    QVERIFY(!result.ok());
    QVERIFY2(result.error().text().find(str(message)) != std::string::npos, result.error().text().c_str());
    QCOMPARE(read_file(path("old.xyz")), QByteArray("kept"));
    QCOMPARE(QFileInfo(path("N45E010.hgt")).size(), tile_bytes);
}

void TestFileTools::stop_and_progress()
{
    QVERIFY(write_file(path("N45E010.hgt"), make_tile(1201, [](int, int) { return 100; })));
    const HgtConversion job{str(path("N45E010.hgt")), str(path("out.xyz")), ByteOrder::Big, XyzFormat::Binary,
                            "0.5", "5000", "45", "10"};
    QList<qint64> rows;
    int asked = 0;
    const auto result = convert_hgt_tile(
        job, [&](const Progress& p) { rows << p.count; }, [&] { return ++asked > 25000; });
    QVERIFY(result.ok());
    QVERIFY(result->stopped);
    QCOMPARE(result->records, 25000);
    QCOMPARE(read_file(path("out.xyz")).size(), 25000 * 24);   // closed, complete records
    QCOMPARE(rows, (QList<qint64>{10, 20}));                   // stopped in row 21

    rows.clear();
    QVERIFY(convert_hgt_tile(job, [&](const Progress& p) { rows << p.count; }, {}).ok());
    QCOMPARE(rows.size(), 120);
    QCOMPARE(rows.front(), 10);
    QCOMPARE(rows.back(), 1200);
}

void TestFileTools::one_arc_second_tile()
{
    QVERIFY(write_file(path("N45E010.hgt"), make_tile(3601, [](int r, int c) { return r == 0 && c < 2 ? 7 : 0; })));
    const auto result = convert_hgt_tile(
        {str(path("N45E010.hgt")), str(path("out.xyz")), ByteOrder::Big, XyzFormat::Ascii, "0.5", "5000", "45", "10"},
        {}, {});
    QVERIFY(result.ok());
    QCOMPARE(result->samples_per_row, 3601);
    QCOMPARE(read_file(path("out.xyz")), QByteArray("10\t46\t7\r\n10.0002777778\t46\t7\r\n"));
}

void TestFileTools::binary_to_text_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("left_over");
    const QByteArray example = doubles({10, 45.5, -120, 10.1, 45.5, -121});
    const QByteArray example_text = "10\t45.5\t-120\r\n10.1\t45.5\t-121\r\n";
    QTest::newRow("two records") << example << example_text << 0;
    QTest::newRow("zeros are written") << doubles({0, 0, 0, 1, 0, -0.0}) << QByteArray("0\t0\t0\r\n1\t0\t0\r\n") << 0;
    QTest::newRow("partial tail") << example + QByteArray(5, '\x7f') << example_text << 5;
    QTest::newRow("only a piece") << QByteArray(23, '\0') << QByteArray() << 23;
    QTest::newRow("empty file") << QByteArray() << QByteArray() << 0;
}

void TestFileTools::binary_to_text()
{
    QFETCH(QByteArray, input);
    QVERIFY(write_file(path("in.bin"), input));
    const auto result = convert_binary_xyz(str(path("in.bin")), str(path("out.txt")), {}, {});
    QVERIFY(result.ok());
    QTEST(read_file(path("out.txt")), "text");
    QTEST(int(result->left_over), "left_over");
    QCOMPARE(result->records, input.size() / 24);
}

void TestFileTools::binary_stop_keeps_lines()
{
    // Larger than one read block, so the stop comes in the middle of the file.
    QByteArray input;
    for (int i = 0; i < 20000; ++i) input += doubles({double(i), 1, 2});
    QVERIFY(write_file(path("in.bin"), input));
    int asked = 0;
    const auto result = convert_binary_xyz(str(path("in.bin")), str(path("out.txt")), {}, [&] { return ++asked > 9000; });
    QVERIFY(result.ok() && result->stopped);
    const QByteArray out = read_file(path("out.txt"));
    QCOMPARE(out.count('\n'), 9000);
    QVERIFY(out.endsWith("\r\n8999\t1\t2\r\n"));

    QVERIFY(!convert_binary_xyz(str(path("missing.bin")), str(path("out.txt")), {}, {}).ok());
    QCOMPARE(read_file(path("out.txt")), out);
    QVERIFY(!convert_binary_xyz(str(path("in.bin")), str(path("in.bin")), {}, {}).ok());
    QCOMPARE(read_file(path("in.bin")), input);
}

void TestFileTools::track_coordinates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");   // NaN: not a number
    const double nan = std::nan("");
    QTest::newRow("minutes") << "10:30" << 10.5;
    QTest::newRow("seconds") << "10:30:36" << 10.51;
    QTest::newRow("comma") << "10,5" << 10.5;
    QTest::newRow("negative minutes") << "-10:30" << -10.5;
    QTest::newRow("negative below one degree") << "-0:30" << -0.5;
    QTest::newRow("fourth part ignored") << "1:30:0:99" << 1.5;
    QTest::newRow("letters") << "1O:30" << nan;
    QTest::newRow("empty") << "" << nan;
    QTest::newRow("empty part") << "10::30" << nan;
    QTest::newRow("signed minutes") << "10:-30" << nan;
}

void TestFileTools::track_coordinates()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    const auto read = read_track_coordinate(str(text));
    QCOMPARE(read.has_value(), !std::isnan(value));
    if (read) QCOMPARE(*read, value);
}

void TestFileTools::track_files_data()
{
    QTest::addColumn<QStringList>("coordinates");   // x1, x2, y1, y2
    QTest::addColumn<QString>("samples");
    QTest::addColumn<QByteArray>("text");           // file after the run
    QTest::addColumn<QString>("message");           // empty: success
    QTest::newRow("four steps") << QStringList{"10", "11", "54", "54.5"} << "4"
                                << QByteArray("10\t54\r\n10.25\t54.125\r\n10.5\t54.25\r\n10.75\t54.375\r\n11\t54.5\r\n")
                                << "";
    QTest::newRow("one step") << QStringList{"-10:30", "-0:30", "1,5", "2"} << "1"
                              << QByteArray("-10.5\t1.5\r\n-0.5\t2\r\n") << "";
    QTest::newRow("equal points") << QStringList{"3", "3", "4", "4"} << "2"
                                  << QByteArray("3\t4\r\n3\t4\r\n3\t4\r\n") << "";
    QTest::newRow("repeated addition rounded") << QStringList{"0", "1", "0", "0"} << "3"
                                               << QByteArray("0\t0\r\n0.3333333333\t0\r\n0.6666666667\t0\r\n1\t0\r\n") << "";
    QTest::newRow("count halves to even") << QStringList{"0", "1", "0", "1"} << "2.5"
                                          << QByteArray("0\t0\r\n0.5\t0.5\r\n1\t1\r\n") << "";
    QTest::newRow("count zero") << QStringList{"0", "1", "0", "1"} << "0" << QByteArray("old") << "at least 1";
    QTest::newRow("count rounds to zero") << QStringList{"0", "1", "0", "1"} << "0.5" << QByteArray("old") << "at least 1";
    QTest::newRow("count letters") << QStringList{"0", "1", "0", "1"} << "ten" << QByteArray("old") << "'ten' is not a number";
    QTest::newRow("bad coordinate") << QStringList{"0", "1", "O", "1"} << "4" << QByteArray("old")
                                    << "y of the start point 'O' is not a number";
}

void TestFileTools::track_files()
{
    QFETCH(QStringList, coordinates);
    QFETCH(QString, samples);
    QFETCH(QString, message);
    QVERIFY(write_file(path("track.txt"), "old"));
    const TrackRequest request{str(coordinates[0]), str(coordinates[1]), str(coordinates[2]), str(coordinates[3]),
                               str(samples), str(path("track.txt"))};
    const auto result = calc_track_positions(request, {}, {});
    QCOMPARE(result.ok(), message.isEmpty());
    if (!result) QVERIFY2(result.error().text().find(str(message)) != std::string::npos, result.error().text().c_str());
    QTEST(read_file(path("track.txt")), "text");
}

QTEST_GUILESS_MAIN(TestFileTools)
#include "test_file_tools.moc"
