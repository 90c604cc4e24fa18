// The SRTM tile conversion on generated tiles.
#include "temp_folder.h"
#include "tools/srtm_tile.h"
#include "tools/tile_fixture.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace mq::tools;
using namespace mq::testing;

namespace {

std::string shown(const std::optional<std::string>& text) { return text.value_or("-"); }

std::int64_t line_count(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

// Heights that differ from sample to sample and cover negative values.
int sample_height(int r, int c) { return (r * 7 + c) % 3000 - 100; }

HgtConversion tile_job(const TempFolder& dir)
{
    return {dir.path("N45E010.hgt"), dir.path("out.xyz"), ByteOrder::Big, XyzFormat::Binary, "0.5", "5000", "45", "10"};
}

}  // namespace

TEST_CASE("parse_tile_name: south, west, output and grid from the tile's own name")
{
    const std::pair<const char*, const char*> rows[] = {
        {"D:\\srtm\\N45E010.hgt", "45 010 D:\\srtm\\N45E010.xyz D:\\srtm\\N45E010.grd"},
        {"/data/n45e010.hgt", "- - /data/n45e010.xyz /data/n45e010.grd"},
        {"/data/N45E010.HGT", "- - - -"},
        {"N45E010.hgt", "45 010 N45E010.xyz N45E010.grd"},
        // Only the tile name counts, not the letter that ends its folder's name.
        {"/ARCHIVE/N45E010.hgt", "45 010 /ARCHIVE/N45E010.xyz /ARCHIVE/N45E010.grd"},
        {"/TILES/S12W077.hgt", "-12 -077 /TILES/S12W077.xyz /TILES/S12W077.grd"},
    };
    for (const auto& [tile, expected] : rows) {
        const TileName n = parse_tile_name(tile);
        CHECK(shown(n.south) + ' ' + shown(n.west) + ' ' + shown(n.output_path) + ' ' + shown(n.grid_name) ==
              expected);
    }
}

TEST_CASE("region_text and the gridding batch file")
{
    struct Row {
        const char *south, *west;
        int samples;
        std::string region, spacing;
    };
    const Row rows[] = {
        {"45", "010", 1201, "010/11/45/46", "-I3c"},
        {"-12", "-077", 1201, "-077/-76/-12/-11", "-I3c"},
        {"45", "010", 3601, "010/11/45/46", "-I1c"},
        {"4x", "010", 1201, "-", ""},
    };
    TempFolder dir;
    for (const Row& row : rows) {
        CAPTURE(row.south);
        CHECK(shown(region_text(row.south, row.west)) == row.region);
        GridBatch batch{"D:\\srtm\\N45E010.xyz", "D:\\srtm\\N45E010.grd", row.south, row.west, row.samples};
        REQUIRE(write_grid_batch(dir.path("SRTM_grid.bat"), batch).ok() == (row.region != "-"));
        if (row.region == "-") continue;
        const std::string expected = "echo off\r\ncls\r\necho *\r\n"
                                     "echo **** I am calculating your grid:  D:\\srtm\\N45E010.grd\r\n"
                                     "surface  D:\\srtm\\N45E010.xyz -Gx_srtm.grd " + row.spacing + " -R" +
                                     row.region + " -H0 -bi3 -V\r\n"
                                     "del D:\\srtm\\N45E010.xyz\r\n"
                                     "grdlandmask -R" + row.region + " -Df " + row.spacing +
                                     " -NNaN/1 -Gx_land.grd -V\r\n"
                                     "grdmath x_srtm.grd x_land.grd OR -V = D:\\srtm\\N45E010.grd\r\n"
                                     "del x_*.*";
        CHECK(dir.read("SRTM_grid.bat") == expected);
        batch.format = XyzFormat::Ascii;   // surface reads text records as text
        std::string text = expected;
        CHECK(grid_batch_text(batch).value() == text.replace(text.find(" -bi3"), 5, ""));
    }
    // Names with blanks or "%" go in as cmd.exe reads them back whole; a
    // double quote cannot.
    GridBatch spaced{"C:\\Jo Smith\\N45E010.xyz", "C:\\R&D\\100%.grd", "45", "010", 1201};
    CHECK(grid_batch_text(spaced).value() ==
          "echo off\r\ncls\r\necho *\r\necho **** I am calculating your grid:  C:\\R^&D\\100%%.grd\r\n"
          "surface  \"C:\\Jo Smith\\N45E010.xyz\" -Gx_srtm.grd -I3c -R010/11/45/46 -H0 -bi3 -V\r\n"
          "del \"C:\\Jo Smith\\N45E010.xyz\"\r\n"
          "grdlandmask -R010/11/45/46 -Df -I3c -NNaN/1 -Gx_land.grd -V\r\n"
          "grdmath x_srtm.grd x_land.grd OR -V = \"C:\\R&D\\100%%.grd\"\r\ndel x_*.*");
    spaced.xyz_path = "C:\\a\"b.xyz";
    const auto refused = write_grid_batch(dir.path("quoted.bat"), spaced);
    REQUIRE(!refused);
    CHECK(refused.error().file == "C:\\a\"b.xyz");
    CHECK(!std::filesystem::exists(dir.path("quoted.bat")));
}

TEST_CASE("convert_hgt_tile: every record in both byte orders and both formats")
{
    TempFolder dir;
    for (bool big_endian : {true, false})
        for (bool binary : {true, false}) {
            CAPTURE(big_endian);
            CAPTURE(binary);
            dir.write("N45E010.hgt", make_tile(1201, sample_height, big_endian));
            HgtConversion job = tile_job(dir);
            job.byte_order = big_endian ? ByteOrder::Big : ByteOrder::Little;
            job.format = binary ? XyzFormat::Binary : XyzFormat::Ascii;
            job.min_z = "-32768";
            job.max_z = "32767";
            const auto result = convert_hgt_tile(job, {}, {});
            REQUIRE(result.ok());
            CHECK((result->records == 1442401 && !result->stopped));
            const std::string out = dir.read("out.xyz");
            const int last = sample_height(1200, 1200);
            if (binary) {
                REQUIRE(out.size() == std::size_t(1442401) * 24);
                const std::vector<double> ends = {double_at(out, 0),  double_at(out, 8),  double_at(out, 16),
                                                  double_at(out, 24), double_at(out, 32), double_at(out, 40),
                                                  double_at(out, out.size() - 24), double_at(out, out.size() - 16),
                                                  double_at(out, out.size() - 8)};
                CHECK(ends == std::vector<double>{10, 46, -100, 10.0008333333, 46, -99, 11, 45, double(last)});
            } else {
                CHECK(out.starts_with("10\t46\t-100\r\n10.0008333333\t46\t-99\r\n10.0016666667\t46\t-98\r\n"));
                CHECK(out.ends_with("\r\n10.9991666667\t45\t" + std::to_string(last - 1) + "\r\n11\t45\t" +
                                    std::to_string(last) + "\r\n"));
                CHECK(line_count(out) == 1442401);
                // Row 1 starts 1/1200 degree further south.
                CHECK(out.find("\r\n10\t45.9991666667\t-93\r\n") != std::string::npos);
            }
        }
}

TEST_CASE("convert_hgt_tile: the height bounds are inclusive and the void is a height like any other")
{
    struct Row {
        const char *min_z, *max_z;
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
    TempFolder dir;
    dir.write("N45E010.hgt", tile);
    for (const Row& row : rows) {
        CAPTURE(row.min_z);
        HgtConversion job = tile_job(dir);
        job.min_z = row.min_z;
        job.max_z = row.max_z;
        REQUIRE(convert_hgt_tile(job, {}, {}).ok());
        const std::string out = dir.read("out.xyz");
        std::vector<double> heights;
        for (std::size_t at = 0; at + 24 <= out.size(); at += 24) heights.push_back(double_at(out, at + 16));
        CHECK(heights == row.kept);
    }
}

TEST_CASE("convert_hgt_tile refuses before writing")
{
    const std::tuple<const char*, const char*, std::string> rows[] = {   // the rest in data/tool_cases.txt
        {"-\\N", "old.xyz", "south coordinate '-\\N'"},
        {"45", "./N45E010.hgt", "the output file is the input file"},
    };
    TempFolder dir;
    const std::string tile(2884802, '\x01');
    dir.write("N45E010.hgt", tile);
    dir.write("old.xyz", "kept");
    for (const auto& [south, output, message] : rows) {
        HgtConversion job = tile_job(dir);
        job.output = dir.path(output);
        job.south = south;
        CHECK(matched(error_text(convert_hgt_tile(job, {}, {})), message) == message);
        CHECK(dir.read("old.xyz") + dir.read("N45E010.hgt") == "kept" + tile);
    }
}

TEST_CASE("convert_hgt_tile: progress every ten rows, a stop keeps complete records, a one arc-second tile")
{
    TempFolder dir;
    dir.write("N45E010.hgt", make_tile(1201, [](int, int) { return 100; }));
    std::vector<std::int64_t> rows;
    const auto note = [&](const Progress& p) { rows.push_back(p.count); };
    int asked = 0;
    const auto result = convert_hgt_tile(tile_job(dir), note, [&] { return ++asked > 25000; });
    REQUIRE(result.ok());
    CHECK((result->stopped && result->records == 25000));
    CHECK(dir.read("out.xyz").size() == 25000 * 24);   // closed, complete records
    CHECK(rows == std::vector<std::int64_t>{10, 20});   // stopped in row 21

    rows.clear();
    REQUIRE(convert_hgt_tile(tile_job(dir), note, {}).ok());
    CHECK((rows.size() == 120 && rows.front() == 10 && rows.back() == 1200));

    dir.write("N45E010.hgt", make_tile(3601, [](int r, int c) { return r == 0 && c < 2 ? 7 : 0; }));
    HgtConversion job = tile_job(dir);
    job.format = XyzFormat::Ascii;
    const auto fine = convert_hgt_tile(job, {}, {});
    REQUIRE(fine.ok());
    CHECK(fine->samples_per_row == 3601);
    CHECK(dir.read("out.xyz") == "10\t46\t7\r\n10.0002777778\t46\t7\r\n");
}
