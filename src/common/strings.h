// Small text helpers shared by the catalogue and the text tools.
#pragma once

#include <string>
#include <string_view>

namespace mq::text {

// Every occurrence of what, scanned left to right without overlap, replaced
// by with. An empty what leaves the text as it is.
std::string replace_all(std::string_view text, std::string_view what, std::string_view with);

}  // namespace mq::text
