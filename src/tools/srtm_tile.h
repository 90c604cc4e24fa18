// SRTM ".hgt" elevation tiles: the tile's corner from its file name, the
// conversion of its samples into longitude, latitude, height records (binary
// doubles or text), and the batch file that grids those records with GMT and
// masks the sea.
//
// A tile is headerless: rows of signed 16-bit heights from north to south,
// samples from west to east, the first and last row and column on the tile's
// bounding degree lines. 1201 x 1201 samples (3 arc-seconds apart) or
// 3601 x 3601 samples (1 arc-second apart); any other size is refused.
#pragma once

#include "common/result.h"
#include "tools/runner.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mq::tools {

// What a tile's path says. Everything is absent for a path that does not end
// in ".hgt" (case-sensitive).
struct TileName {
    std::optional<std::string> south;         // "45", "-12"
    std::optional<std::string> west;          // "010", "-077"
    std::optional<std::string> output_path;   // the path with "xyz" for "hgt"
    std::optional<std::string> xyz_name;      // the same text
    std::optional<std::string> grid_name;     // the path with "grd" for "hgt"
};

// Looks for "S", "N", "E" and "W" (upper case, in that order, a later find
// overwriting an earlier one) in the last 11 characters of the path, the
// tile name (or in the whole of a shorter path). "S" gives South "-" and the
// next 2 characters, "N" the next 2, "E" West as the next 3, "W" "-" and the
// next 3.
TileName parse_tile_name(std::string_view path);

enum class ByteOrder { Big, Little };      // of the tile's samples
enum class XyzFormat { Binary, Ascii };    // of the output records

struct HgtConversion {
    std::string input;
    std::string output;
    ByteOrder byte_order = ByteOrder::Big;
    XyzFormat format = XyzFormat::Binary;
    // The four numbers as typed; they are read before anything is written.
    std::string min_z = "0.5";
    std::string max_z = "5000";
    std::string south;   // whole degrees of the tile's south edge
    std::string west;    // whole degrees of the tile's west edge
};

inline constexpr std::int64_t kTileBytes1201 = 1201LL * 1201 * 2;   // 2 884 802
inline constexpr std::int64_t kTileBytes3601 = 3601LL * 3601 * 2;   // 25 934 402

// Writes one record for every sample with min_z <= height <= max_z, in the
// order read: longitude West + c/n, latitude South + 1 - r/n (n = samples per
// degree, both rounded to 10 decimals) and the height. Binary records are
// three little-endian doubles; text records are "lon TAB lat TAB height CR LF"
// in the general form. Progress comes at the start of every 10th row
// (count = that row's number counted from 1); the stop query is asked before
// every sample. On a stop or a read error the records written so far stay in
// the output (beside an existing output, see io::OutputFile::keep_partial).
// Bad numbers, a tile of the wrong size or an output that names the input
// are reported before the output is created. The summary gives the tile's
// `samples_per_row` (1201 or 3601) and the `records` written.
Result<RunSummary> convert_hgt_tile(const HgtConversion& job, const ProgressFn& progress,
                                    const StopFn& stop);

// GMT's region west/east/south/north: the West text, West + 1, the South
// text, South + 1 ("010/11/45/46", "-077/-76/-12/-11"). Empty when a text is
// not a number.
std::optional<std::string> region_text(std::string_view south, std::string_view west);

struct GridBatch {
    std::string xyz_path;         // the converted records
    std::string grid_name;        // the grid GMT writes
    std::string south, west;      // as in the boxes
    int samples_per_row = 1201;   // 1201 grids at "-I3c", 3601 at "-I1c"
    // Text records: surface reads them as text, so "-bi3" is left out.
    XyzFormat format = XyzFormat::Binary;
};

// The nine lines of the gridding batch file, each ended by CR LF but the last.
// File names that hold blanks or characters cmd.exe gives a meaning are
// written so that it reads them back whole. An Error when South or West is
// not a number, or a name holds a double quote.
Result<std::string> grid_batch_text(const GridBatch& batch);

// Writes grid_batch_text to `batch_path` (replacing the file whole).
Status write_grid_batch(const std::string& batch_path, const GridBatch& batch);

}  // namespace mq::tools
