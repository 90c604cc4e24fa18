// Any bytes as a ping file for the insonified-area calculator, with the
// beam width and spacing taken from the first two bytes. Beyond not
// crashing or hanging: the output is whole 24-byte records, as many as
// counted, every one with the value 1, and the distinct points never exceed
// the records. The stop query ends a run after a few hundred lines or rows,
// so that a deep ping cannot fill the disk.
#include "tools/footprint.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
    static const std::filesystem::path folder = std::filesystem::temp_directory_path();
    static const std::string in = (folder / ("fuzz_ping_" + std::to_string(::getpid()) + ".txt")).string();
    static const std::string out = (folder / ("fuzz_ping_" + std::to_string(::getpid()) + ".bin")).string();
    std::ofstream(in, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    std::filesystem::remove(out);

    const double beam = data[0] % 16;     // 0 .. 15 degrees
    const double spacing = data[1] % 17;  // 0 (refused) .. 16 m
    const mq::tools::GeoBox box{-90, 90, -180, 180};
    int asked = 0;
    const auto r =
        mq::tools::calc_footprint_file(in, out, box, beam, spacing, {}, [&asked] { return ++asked > 256; });
    if (r && (r->distinct_points > r->records || r->records % 4 != 0)) std::abort();
    std::ifstream written(out, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    if (bytes.size() % 96 != 0 || (r && static_cast<std::int64_t>(bytes.size()) != r->records * 24)) std::abort();
    for (std::size_t at = 16; at < bytes.size(); at += 24) {
        double value;
        std::memcpy(&value, bytes.data() + at, sizeof value);
        if (value != 1.0) std::abort();
    }
    return 0;
}
