#include "tools/srtm_tile.h"

#include "common/file_stream.h"
#include "common/number_rules.h"
#include "tools/batch_runner.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <vector>

namespace mq::tools {

namespace {

namespace num = mq::numbers;

// Appends a double as 8 little-endian bytes.
char* put_le_double(char* out, double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) *out++ = static_cast<char>((bits >> (8 * i)) & 0xFF);
    return out;
}

std::string number_text(double value)
{
    std::array<char, num::kGeneralTextMax> buf{};
    return std::string(buf.data(), num::general_text_to(buf.data(), value));
}

// "mid" as counted from 1: up to n characters from position p (1-based).
std::string_view mid(std::string_view text, std::size_t p, std::size_t n)
{
    if (p < 1 || p > text.size()) return {};
    return text.substr(p - 1, n);
}

}  // namespace

TileName parse_tile_name(std::string_view path)
{
    TileName name;
    if (path.size() < 4 || path.substr(path.size() - 4) != ".hgt") return name;
    // Only the 11-character tile name is searched: a folder name ending in
    // one of the letters ("ARCHIVE\N45E010.hgt") must not count.
    const std::size_t start = path.size() < 11 ? 1 : path.size() - 10;
    // The 1-based position of the letter's first occurrence from `start`; 0 when none.
    auto find = [&](char letter) -> std::size_t {
        const std::size_t at = path.find(letter, start - 1);
        return at == std::string_view::npos ? 0 : at + 1;
    };
    if (const auto p = find('S')) name.south = std::string("-").append(mid(path, p + 1, 2));
    if (const auto p = find('N')) name.south = std::string(mid(path, p + 1, 2));
    if (const auto p = find('E')) name.west = std::string(mid(path, p + 1, 3));
    if (const auto p = find('W')) name.west = std::string("-").append(mid(path, p + 1, 3));
    const std::string stem(path.substr(0, path.size() - 3));
    name.output_path = stem + "xyz";
    name.xyz_name = name.output_path;
    name.grid_name = stem + "grd";
    return name;
}

std::optional<std::string> region_text(std::string_view south, std::string_view west)
{
    const auto s = num::read_number(south);
    const auto w = num::read_number(west);
    if (!s || !w) return std::nullopt;
    return std::string(west) + "/" + number_text(*w + 1) + "/" + std::string(south) + "/" +
           number_text(*s + 1);
}

Result<std::string> grid_batch_text(const GridBatch& batch)
{
    const auto region = region_text(batch.south, batch.west);
    if (!region)
        return Error{"the south or west coordinate is not a number", {}, 0}.as(ErrorKind::type_mismatch);
    const auto xyz = batch_argument(batch.xyz_path);
    const auto grd = batch_argument(batch.grid_name);
    if (!xyz || !grd)
        return Error{"a batch file cannot name a file whose name holds a double quote",
                     xyz ? batch.grid_name : batch.xyz_path, 0};
    const std::string spacing = batch.samples_per_row == 3601 ? "-I1c" : "-I3c";
    const std::string binary = batch.format == XyzFormat::Binary ? " -bi3" : "";
    return "echo off\r\n"
           "cls\r\n"
           "echo *\r\n"
           "echo **** I am calculating your grid:  " + batch_echo_text(batch.grid_name) + "\r\n" +
           "surface  " + *xyz + " -Gx_srtm.grd " + spacing + " -R" + *region + " -H0" + binary + " -V\r\n" +
           "del " + *xyz + "\r\n" +
           "grdlandmask -R" + *region + " -Df " + spacing + " -NNaN/1 -Gx_land.grd -V\r\n" +
           "grdmath x_srtm.grd x_land.grd OR -V = " + *grd + "\r\n" +
           "del x_*.*";
}

Status write_grid_batch(const std::string& batch_path, const GridBatch& batch)
{
    auto text = grid_batch_text(batch);
    if (!text) {
        Error e = text.error();
        if (e.file.empty()) e.file = batch_path;
        return e;
    }
    io::OutputFile out;
    if (auto s = out.open(batch_path); !s) return s;
    out.write(text.value());
    return out.commit();
}

Result<RunSummary> convert_hgt_tile(const HgtConversion& job, const ProgressFn& progress,
                                    const StopFn& stop)
{
    if (auto s = io::check_distinct_files(job.input, job.output); !s) return s.error();
    const auto min_z = num::read_number(job.min_z);
    const auto max_z = num::read_number(job.max_z);
    const auto south = num::read_int16(job.south);
    const auto west = num::read_int16(job.west);
    if (!min_z)
        return Error{"Min Z-value '" + job.min_z + "' is not a number", {}, 0}.as(ErrorKind::type_mismatch);
    if (!max_z)
        return Error{"Max Z-Value '" + job.max_z + "' is not a number", {}, 0}.as(ErrorKind::type_mismatch);
    if (!south)
        return Error{"the south coordinate '" + job.south + "' is not a whole number", {}, 0}.as(
            ErrorKind::type_mismatch);
    if (!west)
        return Error{"the west coordinate '" + job.west + "' is not a whole number", {}, 0}.as(
            ErrorKind::type_mismatch);

    io::InputFile in;
    if (auto s = in.open(job.input); !s) return s.error();
    RunSummary outcome;
    if (in.size() == kTileBytes1201) {
        outcome.samples_per_row = 1201;
    } else if (in.size() == kTileBytes3601) {
        outcome.samples_per_row = 3601;
    } else {
        // Reading past the end would invent heights.
        return Error{"the tile has " + std::to_string(in.size()) + " bytes; a tile of 1201 x 1201 samples has " +
                         std::to_string(kTileBytes1201) + " bytes (3601 x 3601 samples: " +
                         std::to_string(kTileBytes3601) + ")",
                     job.input, 0}
            .as(ErrorKind::past_end);
    }
    const int n = outcome.samples_per_row;
    const double per_degree = n - 1;

    // The coordinates repeat from row to row: work them out once.
    const bool binary = job.format == XyzFormat::Binary;
    std::vector<double> lon(static_cast<std::size_t>(n));
    std::vector<std::string> lon_text(binary ? 0 : static_cast<std::size_t>(n));
    for (int c = 0; c < n; ++c) {
        lon[static_cast<std::size_t>(c)] = num::round_to(*west + c / per_degree, 10);
        if (!binary) lon_text[static_cast<std::size_t>(c)] = number_text(lon[static_cast<std::size_t>(c)]) + '\t';
    }

    io::OutputFile out;
    if (auto s = out.open(job.output); !s) return s.error();

    std::vector<unsigned char> row(static_cast<std::size_t>(n) * 2);
    const bool big = job.byte_order == ByteOrder::Big;
    const double lo = *min_z;
    const double hi = *max_z;
    char record[64];
    for (int r = 0; r < n && !outcome.stopped; ++r) {
        if ((r + 1) % 10 == 0 && progress) progress({r + 1, in.position(), in.size()});
        if (in.read(reinterpret_cast<char*>(row.data()), row.size()) != row.size()) {
            Error e = in.failed()
                          ? in.error()
                          : Error{"the tile ended early (it changed while being read)", job.input, 0}.as(
                                ErrorKind::past_end);
            auto kept = out.keep_partial(outcome.records, job.input);
            if (!kept) return kept.error();
            e.note = kept.value();
            return e;
        }
        const double lat = num::round_to(*south + 1 - r / per_degree, 10);
        char lat_buf[num::kGeneralTextMax + 1];
        std::size_t lat_len = 0;
        if (binary) {
            put_le_double(record + 8, lat);
        } else {
            lat_len = num::general_text_to(lat_buf, lat);
            lat_buf[lat_len++] = '\t';
        }
        for (int c = 0; c < n; ++c) {
            if (stop && stop()) {
                outcome.stopped = true;
                break;
            }
            const unsigned char a = row[static_cast<std::size_t>(c) * 2];
            const unsigned char b = row[static_cast<std::size_t>(c) * 2 + 1];
            const auto bits = static_cast<std::uint16_t>(big ? (a << 8) | b : (b << 8) | a);
            const int height = static_cast<std::int16_t>(bits);
            if (!(lo <= height && height <= hi)) continue;
            if (binary) {
                put_le_double(record, lon[static_cast<std::size_t>(c)]);
                put_le_double(record + 16, height);
                out.write(std::string_view(record, 24));
            } else {
                out.write(lon_text[static_cast<std::size_t>(c)]);
                out.write(std::string_view(lat_buf, lat_len));
                char* end = std::to_chars(record, record + sizeof record, height).ptr;
                *end++ = '\r';
                *end++ = '\n';
                out.write(std::string_view(record, static_cast<std::size_t>(end - record)));
            }
            ++outcome.records;
        }
    }
    if (outcome.stopped) {
        auto kept = out.keep_partial(outcome.records, job.input);
        if (!kept) return kept.error();
        outcome.kept = kept.value();
        return outcome;
    }
    if (auto s = out.commit(); !s) return s.error();
    return outcome;
}

}  // namespace mq::tools
