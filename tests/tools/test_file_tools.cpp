// The SRTM tile conversion, binary xyz to text and positions along a track,
// run on generated files.
#include "temp_folder.h"
#include "tools/binary_xyz.h"
#include "tools/srtm_tile.h"
#include "tools/tile_fixture.h"
#include "tools/track_positions.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace mq::tools;
using mq::testing::double_at;
using mq::testing::doubles;
using mq::testing::make_tile;

namespace {

constexpr const char* kAbsent = "(absent)";

std::string shown(const std::optional<std::string>& text) { return text ? *text : kAbsent; }

std::int64_t line_count(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

bool ends_with(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A height that differs from sample to sample and covers negative values.
int sample_height(int r, int c) { return (r * 7 + c) % 3000 - 100; }

}  // namespace

TEST_CASE("parse_tile_name: corner, output and grid names from the tile's own name")
{
    struct Row {
        const char* tile;
        const char* south;
        const char* west;
        const char* output;
        const char* grid;
    };
    const Row rows[] = {
        {"D:\\srtm\\N45E010.hgt", "45", "010", "D:\\srtm\\N45E010.xyz", "D:\\srtm\\N45E010.grd"},
        {"/data/n45e010.hgt", kAbsent, kAbsent, "/data/n45e010.xyz", "/data/n45e010.grd"},
        {"/data/N45E010.HGT", kAbsent, kAbsent, kAbsent, kAbsent},
        {"N45E010.hgt", "45", "010", "N45E010.xyz", "N45E010.grd"},
        // Only the tile name counts, not the letter that ends its folder's name.
        {"/ARCHIVE/N45E010.hgt", "45", "010", "/ARCHIVE/N45E010.xyz", "/ARCHIVE/N45E010.grd"},
        {"/TILES/S12W077.hgt", "-12", "-077", "/TILES/S12W077.xyz", "/TILES/S12W077.grd"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.tile);
        const TileName name = parse_tile_name(row.tile);
        CHECK(shown(name.south) == row.south);
        CHECK(shown(name.west) == row.west);
        CHECK(shown(name.output_path) == row.output);
        CHECK(shown(name.xyz_name) == row.output);
        CHECK(shown(name.grid_name) == row.grid);
    }
}

TEST_CASE("region_text and the gridding batch file")
{
    struct Row {
        const char* south;
        const char* west;
        int samples;
        const char* region;
        const char* spacing;
    };
    const Row rows[] = {
        {"45", "010", 1201, "010/11/45/46", "-I3c"},
        {"-12", "-077", 1201, "-077/-76/-12/-11", "-I3c"},
        {"45", "010", 3601, "010/11/45/46", "-I1c"},
        {"4x", "010", 1201, kAbsent, ""},
    };
    mq::testing::TempFolder dir;
    for (const Row& row : rows) {
        CAPTURE(row.south);
        const std::string region = row.region, spacing = row.spacing;
        CHECK(shown(region_text(row.south, row.west)) == region);
        GridBatch lines{"D:\\srtm\\N45E010.xyz", "D:\\srtm\\N45E010.grd", row.south, row.west, row.samples,
                        XyzFormat::Binary};
        const auto status = write_grid_batch(dir.path("SRTM_grid.bat"), lines);
        CHECK(status.ok() == (region != kAbsent));
        if (!status) continue;
        const std::string expected = "echo off\r\ncls\r\necho *\r\n"
                                     "echo **** I am calculating your grid:  D:\\srtm\\N45E010.grd\r\n"
                                     "surface  D:\\srtm\\N45E010.xyz -Gx_srtm.grd " + spacing + " -R" + region +
                                     " -H0 -bi3 -V\r\n"
                                     "del D:\\srtm\\N45E010.xyz\r\n"
                                     "grdlandmask -R" + region + " -Df " + spacing + " -NNaN/1 -Gx_land.grd -V\r\n"
                                     "grdmath x_srtm.grd x_land.grd OR -V = D:\\srtm\\N45E010.grd\r\n"
                                     "del x_*.*";
        CHECK(dir.read("SRTM_grid.bat") == expected);
        // surface reads text records as text.
        lines.format = XyzFormat::Ascii;
        std::string text = expected;
        text.replace(text.find(" -H0 -bi3 -V"), 12, " -H0 -V");
        CHECK(*grid_batch_text(lines) == text);
    }
}

TEST_CASE("convert_hgt_tile: every record in both byte orders and both formats")
{
    mq::testing::TempFolder dir;
    for (bool big_endian : {true, false})
        for (bool binary : {true, false}) {
            CAPTURE(big_endian);
            CAPTURE(binary);
            dir.write("N45E010.hgt", make_tile(1201, sample_height, big_endian));
            HgtConversion job{dir.path("N45E010.hgt"), dir.path("out.xyz"),
                              big_endian ? ByteOrder::Big : ByteOrder::Little,
                              binary ? XyzFormat::Binary : XyzFormat::Ascii, "-32768", "32767", "45", "010"};
            const auto result = convert_hgt_tile(job, {}, {});
            REQUIRE(result.ok());
            CHECK(result->records == 1442401);
            CHECK(!result->stopped);
            const std::string out = dir.read("out.xyz");
            if (binary) {
                REQUIRE(out.size() == std::size_t(1442401) * 24);
                const double expected[3][3] = {
                    {10, 46, -100}, {10.0008333333, 46, -99}, {11, 45, double(sample_height(1200, 1200))}};
                const std::size_t offsets[3] = {0, 24, out.size() - 24};
                for (int i = 0; i < 3; ++i)
                    for (int k = 0; k < 3; ++k) CHECK(double_at(out, offsets[i] + 8 * k) == expected[i][k]);
            } else {
                CHECK(out.rfind("10\t46\t-100\r\n10.0008333333\t46\t-99\r\n10.0016666667\t46\t-98\r\n", 0) == 0);
                CHECK(ends_with(out, "\r\n10.9991666667\t45\t" + std::to_string(sample_height(1200, 1199)) +
                                         "\r\n11\t45\t" + std::to_string(sample_height(1200, 1200)) + "\r\n"));
                CHECK(line_count(out) == 1442401);
                // Row 1 starts 1/1200 degree further south.
                CHECK(out.find("\r\n10\t45.9991666667\t-93\r\n") != std::string::npos);
            }
        }
}

TEST_CASE("convert_hgt_tile: the height bounds are inclusive and the void is a height like any other")
{
    struct Row {
        const char* min_z;
        const char* max_z;
        std::vector<double> kept;
    };
    // Row 0 holds a void, sea level, 1, 5000, 5001 and -5; all else is 0.
    const Row rows[] = {
        {"0.5", "5000", {1, 5000}},
        {"1", "5001", {1, 5000, 5001}},
        {"-32768", "-5", {-32768, -5}},
        {"10", "4", {}},
    };
    const int row0[] = {-32768, 0, 1, 5000, 5001, -5};
    const std::string tile = make_tile(1201, [&](int r, int c) { return r == 0 && c < 6 ? row0[c] : 0; });
    REQUIRE(tile.substr(0, 2) == std::string("\x80\x00", 2));   // the void, high byte first
    mq::testing::TempFolder dir;
    dir.write("N45E010.hgt", tile);
    for (const Row& row : rows) {
        CAPTURE(row.min_z);
        const HgtConversion job{dir.path("N45E010.hgt"), dir.path("out.xyz"), ByteOrder::Big, XyzFormat::Binary,
                                row.min_z, row.max_z, "45", "10"};
        REQUIRE(convert_hgt_tile(job, {}, {}).ok());
        const std::string out = dir.read("out.xyz");
        std::vector<double> heights;
        for (std::size_t at = 0; at + 24 <= out.size(); at += 24) heights.push_back(double_at(out, at + 16));
        CHECK(heights == row.kept);
    }
}

TEST_CASE("convert_hgt_tile refuses before writing")
{
    struct Row {
        std::int64_t tile_bytes;
        const char* min_z;
        const char* south;
        bool output_is_input;
        const char* message;
    };
    const Row rows[] = {
        {1000, "0.5", "45", false, "the tile has 1000 bytes; a tile of 1201 x 1201 samples has 2884802 bytes"},
        {2884804, "0.5", "45", false, "2884804 bytes"},
        {2884802, "abc", "45", false, "Min Z-value 'abc' is not a number"},
        {2884802, "0.5", "-\\N", false, "south coordinate '-\\N'"},
        {2884802, "0.5", "45", true, "the output file is the input file"},
    };
    mq::testing::TempFolder dir;
    for (const Row& row : rows) {
        CAPTURE(row.message);
        dir.write("N45E010.hgt", std::string(static_cast<std::size_t>(row.tile_bytes), '\x01'));
        dir.write("old.xyz", "kept");
        const std::string output = dir.path(row.output_is_input ? "./N45E010.hgt" : "old.xyz");
        const HgtConversion job{dir.path("N45E010.hgt"), output, ByteOrder::Big, XyzFormat::Binary,
                                row.min_z, "5000", row.south, "10"};
        const auto result = convert_hgt_tile(job, {}, {});
        REQUIRE(!result.ok());
        CHECK(result.error().text().find(row.message) != std::string::npos);
        CHECK(dir.read("old.xyz") == "kept");
        CHECK(std::filesystem::file_size(std::filesystem::u8path(dir.path("N45E010.hgt"))) ==
              static_cast<std::uintmax_t>(row.tile_bytes));
    }
}

TEST_CASE("convert_hgt_tile: progress every ten rows, a stop keeps complete records")
{
    mq::testing::TempFolder dir;
    dir.write("N45E010.hgt", make_tile(1201, [](int, int) { return 100; }));
    const HgtConversion job{dir.path("N45E010.hgt"), dir.path("out.xyz"), ByteOrder::Big, XyzFormat::Binary,
                            "0.5", "5000", "45", "10"};
    std::vector<std::int64_t> rows;
    int asked = 0;
    const auto result = convert_hgt_tile(
        job, [&](const Progress& p) { rows.push_back(p.count); }, [&] { return ++asked > 25000; });
    REQUIRE(result.ok());
    CHECK(result->stopped);
    CHECK(result->records == 25000);
    CHECK(dir.read("out.xyz").size() == 25000 * 24);            // closed, complete records
    CHECK(rows == std::vector<std::int64_t>{10, 20});           // stopped in row 21

    rows.clear();
    REQUIRE(convert_hgt_tile(job, [&](const Progress& p) { rows.push_back(p.count); }, {}).ok());
    REQUIRE(rows.size() == 120);
    CHECK(rows.front() == 10);
    CHECK(rows.back() == 1200);
}

TEST_CASE("convert_hgt_tile: a one arc-second tile")
{
    mq::testing::TempFolder dir;
    dir.write("N45E010.hgt", make_tile(3601, [](int r, int c) { return r == 0 && c < 2 ? 7 : 0; }));
    const auto result = convert_hgt_tile(
        {dir.path("N45E010.hgt"), dir.path("out.xyz"), ByteOrder::Big, XyzFormat::Ascii, "0.5", "5000", "45", "10"},
        {}, {});
    REQUIRE(result.ok());
    CHECK(result->samples_per_row == 3601);
    CHECK(dir.read("out.xyz") == "10\t46\t7\r\n10.0002777778\t46\t7\r\n");
}

TEST_CASE("convert_binary_xyz")
{
    struct Row {
        std::string input, text;
        std::int64_t left_over;
    };
    const std::string example = doubles({10, 45.5, -120, 10.1, 45.5, -121});
    const std::string example_text = "10\t45.5\t-120\r\n10.1\t45.5\t-121\r\n";
    const Row rows[] = {
        {example, example_text, 0},
        {doubles({0, 0, 0, 1, 0, -0.0}), "0\t0\t0\r\n1\t0\t0\r\n", 0},
        {example + std::string(5, '\x7f'), example_text, 5},
        {std::string(23, '\0'), "", 23},
        {"", "", 0},
    };
    mq::testing::TempFolder dir;
    for (const Row& row : rows) {
        CAPTURE(row.text);
        const auto result = convert_binary_xyz(dir.write("in.bin", row.input), dir.path("out.txt"), {}, {});
        REQUIRE(result.ok());
        CHECK(dir.read("out.txt") == row.text);
        CHECK(result->left_over == row.left_over);
        CHECK(result->records == static_cast<std::int64_t>(row.input.size() / 24));
    }
}

TEST_CASE("convert_binary_xyz: a stop keeps the lines written, a refusal keeps the files")
{
    // Larger than one read block, so the stop comes in the middle of the file.
    std::string input;
    for (int i = 0; i < 20000; ++i) input += doubles({double(i), 1, 2});
    mq::testing::TempFolder dir;
    const std::string in = dir.write("in.bin", input);
    int asked = 0;
    const auto result = convert_binary_xyz(in, dir.path("out.txt"), {}, [&] { return ++asked > 9000; });
    REQUIRE(result.ok());
    CHECK(result->stopped);
    const std::string out = dir.read("out.txt");
    CHECK(line_count(out) == 9000);
    CHECK(ends_with(out, "\r\n8999\t1\t2\r\n"));

    CHECK(!convert_binary_xyz(dir.path("missing.bin"), dir.path("out.txt"), {}, {}).ok());
    CHECK(dir.read("out.txt") == out);
    CHECK(!convert_binary_xyz(in, in, {}, {}).ok());
    CHECK(dir.read("in.bin") == input);
}

TEST_CASE("calc_track_positions")
{
    struct Row {
        const char* name;
        const char* x1;
        const char* x2;
        const char* y1;
        const char* y2;
        const char* samples;
        const char* text;      // the file after the run
        const char* message;   // empty: success
    };
    const Row rows[] = {
        {"four steps", "10", "11", "54", "54.5", "4",
         "10\t54\r\n10.25\t54.125\r\n10.5\t54.25\r\n10.75\t54.375\r\n11\t54.5\r\n", ""},
        // The shared coordinate rule, with "," read as ".".
        {"colon notation and comma", "-10:30", "-0:30", "1,5", "10:30:36", "1", "-10.5\t1.5\r\n-0.5\t10.51\r\n", ""},
        {"equal points", "3", "3", "4", "4", "2", "3\t4\r\n3\t4\r\n3\t4\r\n", ""},
        {"repeated addition rounded", "0", "1", "0", "0", "3",
         "0\t0\r\n0.3333333333\t0\r\n0.6666666667\t0\r\n1\t0\r\n", ""},
        {"count halves to even", "0", "1", "0", "1", "2.5", "0\t0\r\n0.5\t0.5\r\n1\t1\r\n", ""},
        {"count rounds to zero", "0", "1", "0", "1", "0.5", "old", "at least 1"},
        {"count letters", "0", "1", "0", "1", "ten", "old", "'ten' is not a number"},
        {"bad coordinate", "0", "1", "O", "1", "4", "old", "y of the start point 'O' is not a number"},
        {"signed minutes", "0", "10:-30", "0", "1", "4", "old", "x of the end point '10:-30' is not a number"},
    };
    mq::testing::TempFolder dir;
    for (const Row& row : rows) {
        CAPTURE(row.name);
        dir.write("track.txt", "old");
        const TrackRequest request{row.x1, row.x2, row.y1, row.y2, row.samples, dir.path("track.txt")};
        const auto result = calc_track_positions(request, {}, {});
        CHECK(result.ok() == (*row.message == 0));
        if (!result) CHECK(result.error().text().find(row.message) != std::string::npos);
        CHECK(dir.read("track.txt") == row.text);
    }
}
