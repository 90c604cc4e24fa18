#include "catalogue/comment_toggle.h"

namespace mq::catalogue {

namespace {

constexpr std::string_view kMark = "REM ";
constexpr std::string_view kLineEnd = "\r\n";

// Every occurrence of what, scanned left to right without overlap, replaced
// by with.
std::string replaceAll(std::string_view text, std::string_view what, std::string_view with)
{
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, from)) {
        result.append(text, from, at - from);
        result.append(with);
        from = at + what.size();
    }
    result.append(text, from);
    return result;
}

}  // namespace

std::string toggle_rem(std::string_view selection)
{
    if (selection.empty())
        return std::string(kMark);

    if (selection.find("REM") != std::string_view::npos)
        return replaceAll(selection, kMark, "");

    std::string lineEndThenMark(kLineEnd);
    lineEndThenMark += kMark;
    std::string commented(kMark);
    commented += replaceAll(selection, kLineEnd, lineEndThenMark);
    // A selection of whole lines ends with CR LF; the line after it is not
    // part of the selection and gets no mark.
    if (commented.ends_with(kMark))
        commented.resize(commented.size() - kMark.size());
    return commented;
}

}  // namespace mq::catalogue
