// What the fuzz targets share: entry point, check, input pieces and files.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

// MQ_FUZZ_TARGET(text) { ... }: the block runs on each input as a text.
#define MQ_FUZZ_TARGET(input)                                                         \
    static void fuzz_one(const std::string& input);                                   \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) \
    {                                                                                 \
        fuzz_one(std::string(reinterpret_cast<const char*>(data), size));             \
        return 0;                                                                     \
    }                                                                                 \
    static void fuzz_one(const std::string& input)

namespace mq::fuzz {

inline void check(bool promise)
{
    if (!promise) std::abort();   // the fuzzer reports the input
}

// At least `at_least` pieces; the last of `at_most` keeps the separators after it.
inline std::vector<std::string> pieces(std::string_view text, char separator, std::size_t at_least,
                                       std::size_t at_most = SIZE_MAX)
{
    std::vector<std::string> out(1);
    for (const char c : text) {
        if (c == separator && out.size() < at_most) out.emplace_back();
        else out.back() += c;
    }
    out.resize(std::max(out.size(), at_least));
    return out;
}

// The file `name` in a folder of this process's own; with `bytes`, written anew.
inline std::string file(const std::string& name, const std::string_view* bytes = nullptr)
{
    static const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    static const auto dir = std::filesystem::temp_directory_path() / ("mq-fuzz-" + std::to_string(stamp));
    std::filesystem::create_directories(dir);
    if (bytes) std::ofstream(dir / name, std::ios::binary).write(bytes->data(), std::ssize(*bytes));
    return (dir / name).string();
}
inline std::string input_file(const std::string& name, std::string_view bytes) { return file(name, &bytes); }

// The file's bytes; it is removed, so that the next run starts without it.
inline std::string take_output(const std::string& path)
{
    std::string bytes{std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
    std::filesystem::remove(path);
    return bytes;
}

}  // namespace mq::fuzz

using mq::fuzz::check;
