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
    // The free clone of the PostScript font that GMT itself draws with (the
    // URW base 35 fonts), used where the screen font is not installed; empty
    // for the fonts without one.
    std::string_view stand_in;
};

inline constexpr std::size_t kGmtFontCount = 39;

const std::array<GmtFont, kGmtFontCount>& gmt_fonts();

}  // namespace mq::catalogue
