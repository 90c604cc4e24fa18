// The SRTM tile name reader, and a tile (byte 0: byte order, format, whole-tile fill, corner;
// bytes 1-2: the samples before the stop).
#include "harness.h"
#include "tools/srtm_tile.h"

MQ_FUZZ_TARGET(text)
{
    const auto name = mq::tools::parse_tile_name(text);
    if (name.south && name.west) (void)mq::tools::region_text(*name.south, *name.west);
    if (text.size() < 3) return;

    const unsigned mode = std::uint8_t(text[0]);
    const std::int64_t stop_after = (std::uint8_t(text[1]) << 8) | std::uint8_t(text[2]);
    const std::string_view body = std::string_view(text).substr(3);
    std::string tile(body);
    if ((mode & 4) && !body.empty()) {
        tile.resize(static_cast<std::size_t>(mq::tools::kTileBytes1201));
        for (std::size_t i = body.size(); i < tile.size(); ++i) tile[i] = body[i % body.size()];
    }
    mq::tools::HgtConversion job{mq::fuzz::input_file("N45E010.hgt", tile), mq::fuzz::file("out.xyz"),
                                 (mode & 1) ? mq::tools::ByteOrder::Little : mq::tools::ByteOrder::Big,
                                 (mode & 2) ? mq::tools::XyzFormat::Ascii : mq::tools::XyzFormat::Binary,
                                 "-32768", "32767", (mode & 8) ? "-90" : "45", (mode & 16) ? "-180" : "179"};
    std::int64_t asked = 0;
    (void)mq::tools::convert_hgt_tile(job, {}, [&] { return ++asked > stop_after; });
}
