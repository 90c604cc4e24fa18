// mapquill-tools srtm IN OUT [--byte-order big|little] [--format binary|ascii]
//   [--min-z Z] [--max-z Z] [--south S] [--west W] [--make-grid]
#include "cli/cli_progress.h"
#include "cli/tool.h"

#include <CLI/CLI.hpp>
#include "common/file_stream.h"
#include "tools/grid_run.h"
#include "tools/srtm_tile.h"

#include <filesystem>
#include <iostream>

namespace mq::cli {

namespace {

constexpr std::string_view kTool = "srtm";

std::string utf8_of(const std::filesystem::path& path)
{
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string absolute_text(const std::string& path)
{
    const auto p = io::path_from_utf8(path);
    std::error_code ec;
    if (!p) return path;
    const auto abs = std::filesystem::absolute(p.value(), ec);
    if (ec) return path;
    return utf8_of(abs);
}

// Why the tile's corner is not known: a lower-case tile name ("n45e013.hgt")
// is read as no name at all, as the window reads it.
std::string missing_corner_text(const std::string& path, bool no_south)
{
    const auto p = io::path_from_utf8(path);
    const std::string file = p ? utf8_of(p.value().filename()) : path;
    std::string upper = file;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (upper.size() > 4 && upper.ends_with(".HGT")) upper.replace(upper.size() - 4, 4, ".hgt");
    const tools::TileName read = tools::parse_tile_name(upper);
    if (upper != file && read.south && read.west)
        return "tile names are upper case, as " + upper + "; rename the tile or give --south and --west";
    return "the tile name gives no " + std::string(no_south ? "south" : "west") +
           " coordinate; give --south and --west";
}

}  // namespace

int run_srtm(Args args, std::ostream& out, std::ostream& err)
{
    CLI::App app{"Converts an SRTM elevation tile (.hgt, 1201 x 1201 or 3601 x 3601 samples) into\n"
                 "longitude, latitude, height records, keeping heights from --min-z to --max-z.\n"
                 "Binary records are three little-endian doubles; text records are\n"
                 "lon TAB lat TAB height CR LF. With --make-grid the gridding batch file is\n"
                 "written into a fresh folder under the temporary folder and run there (GMT's\n"
                 "surface, grdlandmask and grdmath); the run stops at a failing line, which the\n"
                 "message names, and the folder is removed at its end.",
                 "mapquill-tools srtm"};
    std::string in, output, byte_order = "big", format = "binary", min_z = "0.5", max_z = "5000", south, west;
    bool make_grid = false;
    app.add_option("IN", in, "the tile, e.g. N45E010.hgt")->required();
    app.add_option("OUT", output, "the xyz file to write")->required();
    app.add_option("--byte-order", byte_order, "byte order of the samples (default big)")
        ->check(CLI::IsMember({"big", "little"}));
    app.add_option("--format", format, "output records (default binary)")->check(CLI::IsMember({"binary", "ascii"}));
    app.add_option("--min-z", min_z, "lowest height kept (default 0.5)");
    app.add_option("--max-z", max_z, "highest height kept (default 5000)");
    app.add_option("--south", south, "whole degrees of the south edge (default: from the tile name)");
    app.add_option("--west", west, "whole degrees of the west edge (default: from the tile name)");
    app.add_flag("--make-grid", make_grid, "write the gridding batch file and run it");
    app.footer("Exit status: 0 when done; 1 when the input cannot be converted or the gridding\n"
               "failed; 2 on a usage error.");
    if (const auto code = read_arguments(app, kTool, app.help(), args, out, err)) return *code;

    // The name is read from the full path, as the window gets it from its dialog.
    const std::string full = absolute_text(in);
    const tools::TileName name = tools::parse_tile_name(full);
    if (south.empty() && name.south) south = *name.south;
    if (west.empty() && name.west) west = *name.west;
    if (south.empty() || west.empty()) {
        complain(err, kTool, missing_corner_text(full, south.empty()));
        return kBadInput;
    }
    const tools::HgtConversion job{in, output,
                                   byte_order == "little" ? tools::ByteOrder::Little : tools::ByteOrder::Big,
                                   format == "ascii" ? tools::XyzFormat::Ascii : tools::XyzFormat::Binary,
                                   min_z, max_z, south, west};
    const InterruptStop interrupt;
    const auto result = [&] {
        TerminalProgress progress(err, stderr_is_terminal(), "Row #: ");
        return tools::convert_hgt_tile(job, progress.callback(), interrupt.stop_fn());
    }();
    if (!result) return bad_input(err, kTool, result.error().text());
    if (result->stopped) return stopped(err, kTool, result->records, result->kept);
    out << result->records << (result->records == 1 ? " record" : " records") << " written to " << output << '\n';
    if (!make_grid) return kSuccess;

    std::string grid = name.grid_name.value_or("");
    if (grid.empty()) {
        auto p = io::path_from_utf8(output);
        grid = p ? utf8_of(std::filesystem::path(p.value()).replace_extension(".grd")) : output + ".grd";
    }
    const tools::GridBatch batch{absolute_text(output), absolute_text(grid), south, west,
                                 result->samples_per_row, job.format};
    out << "Your grid will be saved as: " << batch.grid_name << '\n';
    out.flush();
    // The window runs the same: a folder of the run's own, removed at its end.
    if (auto s = tools::run_gridding(batch); !s) return bad_input(err, kTool, s.error().text());
    return kSuccess;
}

}  // namespace mq::cli
