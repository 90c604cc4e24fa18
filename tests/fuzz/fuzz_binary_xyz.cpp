// The binary xyz reader on arbitrary bytes (any length, NaN, infinities,
// denormals): it must write whole text lines and report the bytes left over.
#include "tools/binary_xyz.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <chrono>

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fs::path dir = fs::temp_directory_path() / ("fuzz_bin_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(dir);
    const fs::path in = dir / "in.bin";
    if (std::FILE* f = std::fopen(in.string().c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    const auto result = mq::tools::convert_binary_xyz(in.string(), (dir / "out.txt").string(), {}, {});
    if (!result) return 0;
    if (result->records != static_cast<std::int64_t>(size / 24) ||
        result->left_over != static_cast<std::int64_t>(size % 24))
        std::abort();
    return 0;
}
