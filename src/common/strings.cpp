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

bool has_inner_cr(std::string_view line)
{
    const std::size_t cr = line.find('\r');
    return cr != std::string_view::npos && line.find_first_not_of('\r', cr) != std::string_view::npos;
}

}  // namespace mq::text
