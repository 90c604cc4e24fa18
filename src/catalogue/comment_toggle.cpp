#include "catalogue/comment_toggle.h"

#include "common/strings.h"

namespace mq::catalogue {

namespace {

constexpr std::string_view kMark = "REM ";
constexpr std::string_view kLineEnd = "\r\n";


}  // namespace

std::string toggle_rem(std::string_view selection)
{
    if (selection.empty())
        return std::string(kMark);

    if (selection.find("REM") != std::string_view::npos)
        return text::replace_all(selection, kMark, "");

    std::string lineEndThenMark(kLineEnd);
    lineEndThenMark += kMark;
    std::string commented(kMark);
    commented += text::replace_all(selection, kLineEnd, lineEndThenMark);
    // A selection of whole lines ends with CR LF; the line after it is not
    // part of the selection and gets no mark.
    if (commented.ends_with(kMark))
        commented.resize(commented.size() - kMark.size());
    return commented;
}

}  // namespace mq::catalogue
