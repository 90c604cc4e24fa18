// Small text helpers shared by the catalogue and the text tools.
#pragma once

#include <string>
#include <string_view>

namespace mq::text {

// Every occurrence of what, scanned left to right without overlap, replaced
// by with. An empty what leaves the text as it is.
std::string replace_all(std::string_view text, std::string_view what, std::string_view with);

// True when a CR stands inside the line, with other bytes after it: the mark
// of a file whose lines end with CR alone, which a line reader splitting at
// LF sees as one long line. CRs at the very end (CR CR LF) do not count.
bool has_inner_cr(std::string_view line);

// A text as a message quotes it: in single quotes, every control byte
// (below 32, and 127) written as \x00 so that NULs, TABs and CRs show, and
// cut after `max` bytes with "..." when max is not 0.
std::string quoted(std::string_view text, std::size_t max = 0);

// The message for such a line, the same in every tool.
inline constexpr std::string_view kInnerCrMessage =
    "the line holds a CR before its end: lines must end with LF or CR LF, not with CR alone";

}  // namespace mq::text
