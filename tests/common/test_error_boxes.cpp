// What a user sees when a run fails: the number and text of the file tools'
// error boxes and mapquill-tools' one-line complaints. Each row of
// data/error_boxes.txt names a failing call ("<name>: <operation> <arguments>",
// or "cli <arguments>") and what it shows. The calculator windows' rows
// ("window ...") are checked in tests/calc.
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
#include <sstream>

using namespace mq::tools;
using mq::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

const char* const kGolden =
#include "error_boxes_golden.h"
    ;

template <class R>
mq::Error error_of(const R& result)
{
    return result.ok() ? mq::Error{"<no error>", {}, 0} : result.error();
}

}  // namespace

TEST_CASE("error boxes and command-line complaints keep their numbers and texts")
{
    const TempFolder dir;
    const std::string tile = mq::testing::make_tile(1201, [](int, int) { return 7; });
    for (const char* name : {"N45E010.hgt", "cut.hgt"}) dir.write(name, tile);
    dir.write("in.bin", std::string(48, '\0'));
    dir.write("short.hgt", "0123456789");
    dir.write("n.txt", "500000 1e8 1\n");
    dir.write("far.txt", "1e9,1e9,1\n");
    dir.write("seven.txt", "1200000,2600000,1\n");
    dir.write("lat.txt", "7,91,1\n");
    dir.write("ro.txt", "old");
    fs::create_directory(dir.root() / "folder");
    fs::permissions(dir.root() / "ro.txt", fs::perms::owner_read);
    const std::string big = "17976931348623157" + std::string(292, '0');
    // The row's arguments, with the folder's paths, the largest double and '' (an empty text) filled in.
    const auto arguments = [&](const std::string& text) {
        std::vector<std::string> out;
        std::istringstream words(text);
        for (std::string w; words >> w;) {
            for (std::size_t at; (at = w.find("<big>")) != std::string::npos;) w.replace(at, 5, big);
            out.push_back(w == "''" ? "" : w.starts_with("<dir>/") ? dir.path(w.substr(6)) : w);
        }
        return out;
    };
    // The tile cut.hgt is cut short while it is read.
    const auto cut = [&](const Progress& at) {
        if (at.count == 10) fs::resize_file(fs::u8path(dir.path("cut.hgt")), 1201 * 2 * 15);
    };
    const auto box = [&](const std::vector<std::string>& a) {
        const std::string& op = a.at(0);
        if (op == "bin") return error_of(convert_binary_xyz(a.at(1), a.at(2), {}, {}));
        if (op == "hgt")
            return error_of(convert_hgt_tile(
                {a.at(1), a.at(6), ByteOrder::Big, XyzFormat::Ascii, a[2], a[3], a[4], a[5]}, cut, {}));
        if (op == "batch") return error_of(write_grid_batch(a.at(1), {a.at(2), "x.grd", a.at(3), "10"}));
        if (op == "track") {
            TrackRequest r{a.at(2), "1", "0", "1", a.at(3), a.at(1)};
            r.whole_samples = a.size() > 4;
            return error_of(calc_track_positions(r, {}, {}));
        }
        if (op == "folder") {
            mq::Error e = error_of(GridRunFolder::create(a.at(1)));
            e.file = "<a new folder in ro.txt>";   // its name is drawn by chance
            return e;
        }
        if (op == "start") return mq::Error{"the gridding could not be started", "mapquill-tools", 0};
        return mq::Error{"<no such operation>", {}, 0};
    };
    // The text as the golden file holds it: the folder as <dir>, / for \, and line ends written out.
    const auto shown = [&dir](std::string text) {
        const std::string root = dir.root().string();
        for (std::size_t at; (at = text.find(root)) != std::string::npos;)
            text.replace(at, root.size(), "<dir>");
        std::string out;
        for (const char c : text)
            out += c == '\\' ? "/" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
        return out;
    };

    int rows = 0;
    std::istringstream golden(kGolden);
    for (std::string line; std::getline(golden, line);) {
        const std::size_t bar = line.find(" | ");
        const std::string name = line.substr(0, bar);
        if (bar == std::string::npos || name.starts_with("window ")) continue;
        ++rows;
        if (name.starts_with("cli ")) {
            const std::vector<std::string> command = arguments(name.substr(4));
            const std::vector<std::string_view> args(command.begin(), command.end());
            std::ostringstream out, err;
            const int code = mq::cli::run_tools(args, out, err);
            std::string text = err.str();
            if (text.ends_with('\n')) text.pop_back();
            CHECK(line == name + " | " + std::to_string(code) + "  " + shown(text));
        } else {
            const std::size_t colon = name.find(": ");
            const mq::Error e = box(arguments(colon == std::string::npos ? "" : name.substr(colon + 2)));
            CHECK(line == name + " | " + shown(mq::error_box_text(e)));
        }
    }
    CHECK(rows == 45);   // the golden file was read whole
    fs::permissions(dir.root() / "ro.txt", fs::perms::owner_all);   // to remove it
}
