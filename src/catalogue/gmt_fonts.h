// The fonts that GMT's font settings take by number, each with the screen font
// the font reference window shows its sample in.
#pragma once

#include <array>
#include <string_view>

namespace mq::catalogue {

struct GmtFont {
    std::string_view entry;         // the list entry, "15: AvantGarde-Demi" (some end with a blank)
    std::string_view screen_font;   // the screen font name of the sample
    bool bold;
    bool italic;
};

inline constexpr std::size_t kGmtFontCount = 39;

const std::array<GmtFont, kGmtFontCount>& gmt_fonts();

}  // namespace mq::catalogue
