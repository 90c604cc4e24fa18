// The SRTM tile reader on arbitrary bytes: the tile name reader on the input
// as a path, and the conversion on a tile file made from it. Byte 0 chooses
// the byte order, the output format and whether the file is the input as it
// is (any size: the size check) or a whole 1201 x 1201 tile filled by
// repeating the input; bytes 1-2 say after how many samples to stop.
#include "tools/srtm_tile.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <chrono>

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto name = mq::tools::parse_tile_name(text);
    if (name.south && name.west) (void)mq::tools::region_text(*name.south, *name.west);
    if (size < 3) return 0;

    static const fs::path dir = fs::temp_directory_path() / ("fuzz_hgt_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(dir);
    const fs::path tile = dir / "N45E010.hgt";
    const std::uint8_t mode = data[0];
    const std::int64_t stop_after = (data[1] << 8) | data[2];
    const std::uint8_t* body = data + 3;
    const std::size_t body_size = size - 3;
    if (std::FILE* f = std::fopen(tile.string().c_str(), "wb")) {
        if ((mode & 4) && body_size > 0) {
            std::string whole(static_cast<std::size_t>(mq::tools::kTileBytes1201), '\0');
            for (std::size_t i = 0; i < whole.size(); ++i) whole[i] = static_cast<char>(body[i % body_size]);
            std::fwrite(whole.data(), 1, whole.size(), f);
        } else {
            std::fwrite(body, 1, body_size, f);
        }
        std::fclose(f);
    }
    mq::tools::HgtConversion job{tile.string(), (dir / "out.xyz").string(),
                                 (mode & 1) ? mq::tools::ByteOrder::Little : mq::tools::ByteOrder::Big,
                                 (mode & 2) ? mq::tools::XyzFormat::Ascii : mq::tools::XyzFormat::Binary,
                                 "-32768", "32767", (mode & 8) ? "-90" : "45", (mode & 16) ? "-180" : "179"};
    std::int64_t asked = 0;
    (void)mq::tools::convert_hgt_tile(job, {}, [&] { return ++asked > stop_after; });
    return 0;
}
