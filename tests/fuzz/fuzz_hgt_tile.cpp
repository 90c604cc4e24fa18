// The SRTM tile reader on arbitrary bytes: the tile name reader on the input
// as a path, and the conversion on a tile file made from it. Byte 0 chooses
// the byte order, the output format and whether the file is the input as it
// is (any size: the size check) or a whole 1201 x 1201 tile filled by
// repeating the input; bytes 1-2 say after how many samples to stop.
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
