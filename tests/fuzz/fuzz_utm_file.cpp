// Any bytes as a UTM easting/northing/depth file, with a zone and hemisphere
// taken from the first two bytes. Beyond not crashing or hanging: a failure
// names a line that was read, every written line ends in CR LF with exactly
// two TABs, and the output holds as many lines as were counted written.
// The coordinate reader and the degrees-and-minutes writer get the same text.
#include "calc/coordinate_text.h"
#include "tools/utm_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
    if (const auto value = mq::calc::coord_to_decimal(text)) {
        const auto degmm = mq::calc::dec2degmm(value.value());
        if (!degmm || degmm->find_first_of("\t\r\n") != std::string::npos) std::abort();
    }

    static const std::filesystem::path folder = std::filesystem::temp_directory_path();
    static const std::string in = (folder / ("fuzz_utm_" + std::to_string(::getpid()) + ".txt")).string();
    static const std::string out = (folder / ("fuzz_utm_" + std::to_string(::getpid()) + ".out")).string();
    std::ofstream(in, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    std::filesystem::remove(out);

    const mq::calc::UtmState state{static_cast<std::int16_t>(static_cast<std::int8_t>(data[0])),
                                   data[1] & 1 ? "N" : "S"};
    const auto r = mq::tools::convert_utm_file(in, out, state, {}, {});
    std::ifstream written(out, std::ios::binary);
    const std::string result((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    std::int64_t lines = 0;
    std::size_t start = 0;
    for (std::size_t end; (end = result.find('\n', start)) != std::string::npos; start = end + 1, ++lines) {
        const std::string line = result.substr(start, end - start);
        if (line.empty() || line.back() != '\r') std::abort();
        std::size_t tabs = 0;
        for (char c : line) tabs += c == '\t';
        if (tabs != 2) std::abort();
    }
    if (start != result.size()) std::abort();
    // A failed run writes only lines before the one that failed.
    if (r ? lines != r->records : r.error().line > 0 && lines >= r.error().line) std::abort();
    return 0;
}
