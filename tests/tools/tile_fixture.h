// Generated inputs for the file-tool tests, SRTM tiles and binary xyz records
// (standard library only; Qt tests wrap them in QByteArray::fromStdString),
// and short forms for checking an operation's result.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>

namespace mq::testing {

// A tile of n x n samples whose heights come from height(row, column).
inline std::string make_tile(int n, const std::function<int(int, int)>& height, bool big_endian = true)
{
    std::string tile(static_cast<std::size_t>(n) * static_cast<std::size_t>(n) * 2, '\0');
    char* p = tile.data();
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            const auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(height(r, c)));
            const char hi = static_cast<char>(v >> 8), lo = static_cast<char>(v & 0xFF);
            *p++ = big_endian ? hi : lo;
            *p++ = big_endian ? lo : hi;
        }
    return tile;
}

// Little-endian doubles, as the binary xyz files hold them.
inline std::string doubles(std::initializer_list<double> values)
{
    std::string out;
    for (double v : values) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        for (int i = 0; i < 8; ++i) out += static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
    return out;
}

inline double double_at(const std::string& bytes, std::size_t offset)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

// The error's text, or "" on success.
template <class R>
std::string error_text(const R& result)
{
    return result.ok() ? std::string() : result.error().text();
}

// `part` when `text` holds it, else `text` itself; an empty part only matches
// an empty text. CHECK(matched(text, part) == part) shows the text on failure.
inline std::string matched(const std::string& text, const std::string& part)
{
    return !part.empty() && text.find(part) != std::string::npos ? part : text;
}

}  // namespace mq::testing
