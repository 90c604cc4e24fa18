// Any bytes through the blank splitter and the placemark writer: the input
// is cut into four lines at LF bytes.
#include "tools/replace_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::array<std::string_view, 4> lines;
    std::size_t from = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t lf = text.find('\n', from);
        lines[i] = lf == std::string_view::npos ? text.substr(from) : text.substr(from, lf - from);
        from = lf == std::string_view::npos ? text.size() : lf + 1;
    }

    for (const auto line : lines) {
        std::string_view fields[12];
        const std::size_t count = mq::tools::split_blanks(line, fields, 12);
        std::size_t blanks = 0;
        for (char c : line) blanks += c == ' ';
        if (count != blanks + 1) std::abort();
        // The stored fields joined with blanks give back the start of the line.
        std::string joined;
        for (std::size_t i = 0; i < count && i < 12; ++i) {
            if (i) joined += ' ';
            joined += fields[i];
        }
        if (line.substr(0, joined.size()) != joined) std::abort();
    }

    std::string out;
    const auto made = mq::tools::append_placemark(lines, out);
    if (made.ok()) {
        if (out.rfind("<Placemark> <name> ", 0) != 0) std::abort();
        constexpr std::string_view kEnd = "</coordinates> </LineString>  </Placemark>\r\n\r\n";
        if (out.size() < kEnd.size() || out.compare(out.size() - kEnd.size(), kEnd.size(), kEnd) != 0) std::abort();
    } else if (!out.empty() || made.error().line < 1 || made.error().line > 4) {
        std::abort();
    }
    return 0;
}
