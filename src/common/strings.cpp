#include "common/strings.h"

namespace mq::text {

std::string replace_all(std::string_view text, std::string_view what, std::string_view with)
{
    if (what.empty()) return std::string(text);
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, from)) {
        result.append(text, from, at - from);
        result.append(with);
        from = at + what.size();
    }
    result.append(text, from);
    return result;
}

std::string quoted(std::string_view text, std::size_t max)
{
    const bool cut = max != 0 && text.size() > max;
    if (cut) text = text.substr(0, max);
    std::string out;
    out.reserve(text.size() + 5);
    out += '\'';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 32 && byte != 127) {
            out += c;
            continue;
        }
        constexpr char kHex[] = "0123456789abcdef";
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
    }
    if (cut) out += "...";
    out += '\'';
    return out;
}

bool has_inner_cr(std::string_view line)
{
    const std::size_t cr = line.find('\r');
    return cr != std::string_view::npos && line.find_first_not_of('\r', cr) != std::string_view::npos;
}

}  // namespace mq::text
