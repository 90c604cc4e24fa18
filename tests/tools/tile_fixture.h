// Generated SRTM tiles and small file helpers for the file-tool tests.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstring>
#include <functional>

namespace mq::testing {

// A tile of n x n samples whose heights come from height(row, column).
inline QByteArray make_tile(int n, const std::function<int(int, int)>& height, bool big_endian = true)
{
    QByteArray tile(n * n * 2, '\0');
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

inline bool write_file(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray read_file(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QByteArray doubles(std::initializer_list<double> values)
{
    QByteArray out;
    for (double v : values) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        for (int i = 0; i < 8; ++i) out.append(static_cast<char>((bits >> (8 * i)) & 0xFF));
    }
    return out;
}

inline double double_at(const QByteArray& bytes, qsizetype offset)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(bytes[offset + i]);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

}  // namespace mq::testing
