// What a user sees when a run fails: the number and text of the file tools'
// error boxes and mapquill-tools' one-line complaints, for a failing input
// of each kind, against data/error_boxes.txt. The calculator windows' boxes
// are checked against the same file in tests/calc.
#include "calc/coordinate_text.h"
#include "cli/tool.h"
#include "common/result.h"
#include "temp_folder.h"
#include "tools/binary_xyz.h"
#include "tools/grid_run.h"
#include "tools/srtm_tile.h"
#include "tools/tile_fixture.h"
#include "tools/track_positions.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

using namespace mq::tools;
using mq::testing::TempFolder;

namespace {

const char* const kGolden =
#include "error_boxes_golden.h"
    ;

template <class R>
mq::Error error_of(const R& result)
{
    return result.ok() ? mq::Error{"<no error>", {}, 0} : result.error();
}

TrackRequest track(const std::string& out, const char* x1, const char* samples, bool whole = false)
{
    TrackRequest r{x1, "1", "0", "1", samples, out};
    r.whole_samples = whole;
    return r;
}

}  // namespace

TEST_CASE("error boxes and command-line complaints keep their numbers and texts")
{
    const TempFolder dir;
    const std::string in = dir.write("in.bin", std::string(48, '\0'));
    const std::string tile = mq::testing::make_tile(1201, [](int, int) { return 7; });
    dir.write("N45E010.hgt", tile);
    const std::string cut_tile = dir.write("cut.hgt", tile);
    dir.write("short.hgt", "0123456789");
    dir.write("ro.txt", "old");
    std::filesystem::create_directory(dir.root() / "folder");
    std::filesystem::permissions(dir.root() / "ro.txt", std::filesystem::perms::owner_read);
    const auto p = [&dir](const char* name) { return dir.path(name); };
    auto hgt = [&](const char* input, const char* min_z, const char* max_z, const char* south,
                   const char* west, const char* output = "out.xyz") {
        return error_of(convert_hgt_tile(
            {p(input), p(output), ByteOrder::Big, XyzFormat::Ascii, min_z, max_z, south, west}, {}, {}));
    };
    // A tile that is cut short while it is read.
    auto cut_short = [&] {
        const auto cut = [&](const Progress& at) {
            if (at.count == 10)
                std::filesystem::resize_file(std::filesystem::u8path(cut_tile), 1201 * 2 * 15);
        };
        return error_of(convert_hgt_tile(
            {cut_tile, p("out.xyz"), ByteOrder::Big, XyzFormat::Ascii, "0", "9", "45", "10"}, cut, {}));
    };
    auto bin = [&](const std::string& input, const std::string& output) {
        return error_of(convert_binary_xyz(input, output, {}, {}));
    };
    auto batch = [&](const char* xyz, const char* south) {
        return error_of(write_grid_batch(p("grid.bat"), {xyz, "x.grd", south, "10"}));
    };
    auto positions = [](const TrackRequest& r) { return error_of(calc_track_positions(r, {}, {})); };

    const std::pair<const char*, std::function<mq::Error()>> boxes[] = {
        {"binary missing input", [&] { return bin(p("none.bin"), p("out.txt")); }},
        {"binary input is a folder", [&] { return bin(p("folder"), p("out.txt")); }},
        {"binary empty input name", [&] { return bin("", p("out.txt")); }},
        {"binary output is the input", [&] { return bin(in, in); }},
        {"binary output is a folder", [&] { return bin(in, p("folder")); }},
        {"binary read-only output", [&] { return bin(in, p("ro.txt")); }},
        {"srtm Min Z", [&] { return hgt("N45E010.hgt", "low", "9", "45", "10"); }},
        {"srtm Max Z", [&] { return hgt("N45E010.hgt", "0", "high", "45", "10"); }},
        {"srtm south", [&] { return hgt("N45E010.hgt", "0", "9", "4x", "10"); }},
        {"srtm west", [&] { return hgt("N45E010.hgt", "0", "9", "45", "ten"); }},
        {"srtm missing tile", [&] { return hgt("none.hgt", "0", "9", "45", "10"); }},
        {"srtm tile of the wrong size", [&] { return hgt("short.hgt", "0", "9", "45", "10"); }},
        {"srtm tile cut short", cut_short},
        {"srtm output is a folder", [&] { return hgt("N45E010.hgt", "0", "9", "45", "10", "folder"); }},
        {"srtm batch south", [&] { return batch("a.xyz", "x"); }},
        {"srtm batch quote", [&] { return batch("a\".xyz", "45"); }},
        {"srtm run folder",
         [&] {
             mq::Error e = error_of(GridRunFolder::create(p("ro.txt")));
             e.file = "<a new folder in ro.txt>";  // its name is drawn by chance
             return e;
         }},
        {"srtm start",
         [] {
             return mq::Error{"the gridding could not be started", "mapquill-tools", 0};
         }},
        {"track x", [&] { return positions(track(p("t.txt"), "east", "4")); }},
        {"track samples", [&] { return positions(track(p("t.txt"), "0", "many")); }},
        {"track whole samples", [&] { return positions(track(p("t.txt"), "0", "2.5", true)); }},
        {"track samples 0", [&] { return positions(track(p("t.txt"), "0", "0")); }},
        {"track samples 3e9", [&] { return positions(track(p("t.txt"), "0", "3e9")); }},
        {"track output is a folder", [&] { return positions(track(p("folder"), "0", "4")); }},
    };
    const std::string big = "17976931348623157" + std::string(292, '0');
    const std::vector<std::vector<std::string>> commands = {
        {"latlon", "abc"},
        {"latlon", "45", "--conversion", "2"},
        {"latlon", "45.5:30", "--conversion", "5"},
        {"latlon", "1e400:1"},
        {"latlon", big + ":" + big},
        {"gridstep", "--min", "ten", "--max", "12", "--amount", "4"},
        {"gridstep", "--min", "10", "--max", "12", "--size", "0"},
        {"gridstep", "--min", "10", "--max", "12", "--size", "0.0000001"},
        {"bin2ascii", p("none.bin"), p("out.txt")},
        {"track", p("t.txt"), "--x1=0", "--x2=1", "--y1=0", "--y2=1", "--samples=x"},
        {"track", p("t.txt"), "--x1=0", "--x2=1", "--y1=0", "--y2=1", "--samples=2.5"},
        {"utm", "--lon", "0", "--lat", "91"},
        {"utm-inverse", "--hemisphere", "N", "--zone", "0", "500000", "0"},
        {"utm-inverse", "--hemisphere", "N", "--zone", "11.5", "500000", "0"},
        {"utm-inverse", "--hemisphere", "N", "--zone", "61", "500000", "0"},
        {"utm-inverse", "--hemisphere", "N", "--zone", "32", "500000", "1e8"},
        {"utm-file", "--hemisphere", "N", "--zone", "32", dir.write("n.txt", "500000 1e8 1\n"), p("out.txt")},
        {"utm-file", "--hemisphere", "N", "--zone", "61", p("n.txt"), p("out.txt")},
        {"swiss", dir.write("far.txt", "1e9,1e9,1\n"), p("out.txt")},
        {"swiss", dir.write("seven.txt", "1200000,2600000,1\n"), p("out.txt")},
        {"swiss", "--to-swiss", dir.write("lat.txt", "7,91,1\n"), p("out.txt")},
    };

    std::map<std::string, std::string> expected;
    std::istringstream golden(kGolden);
    for (std::string line; std::getline(golden, line);)
        if (const auto bar = line.find(" | "); bar != std::string::npos)
            expected[line.substr(0, bar)] = line.substr(bar + 3);
    auto shown = [&dir](std::string text) {
        const std::string root = dir.root().string();
        for (std::size_t at; (at = text.find(root)) != std::string::npos;)
            text.replace(at, root.size(), "<dir>");
        std::string out;
        for (const char c : text)
            out += c == '\\' ? "/" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
        return out;
    };
    std::size_t rows = 0;
    for (const auto& [name, make] : boxes) {
        ++rows;
        const std::string got = shown(mq::error_box_text(make()));
        CHECK(name + (" | " + got) == name + (" | " + expected[name]));
    }
    for (const auto& command : commands) {
        std::vector<std::string_view> args(command.begin(), command.end());
        std::ostringstream out, err;
        const int code = mq::cli::run_tools(args, out, err);
        std::string name = "cli";
        for (const auto& a : command) name += ' ' + shown(a).substr(0, 24);
        std::string text = err.str();
        if (!text.empty() && text.back() == '\n') text.pop_back();
        text = shown(text);
        ++rows;
        CHECK(name + " | " + std::to_string(code) + "  " + text == name + " | " + expected[name]);
    }
    std::filesystem::permissions(dir.root() / "ro.txt", std::filesystem::perms::owner_all);   // to remove it
    // Every golden row of this test was made (the calculator windows' rows are theirs).
    std::size_t theirs = 0;
    for (const auto& row : expected) theirs += row.first.starts_with("window ") ? 1 : 0;
    CHECK(rows + theirs == expected.size());
}
