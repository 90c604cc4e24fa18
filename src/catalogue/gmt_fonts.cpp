#include "catalogue/gmt_fonts.h"

namespace mq::catalogue {

const std::array<GmtFont, kGmtFontCount>& gmt_fonts()
{
    static constexpr std::array<GmtFont, kGmtFontCount> fonts = {{
        {"0: Helvetica", "Arial", false, false, "Nimbus Sans"},
        {"1: Helvetica-Bold", "Arial", true, false, "Nimbus Sans"},
        {"2: Helvetica-Oblique", "Arial", false, true, "Nimbus Sans"},
        {"3: Helvetica-BoldOblique", "Arial", true, true, "Nimbus Sans"},
        {"4: Times-Roman", "Times New Roman", false, false, "Nimbus Roman"},
        {"5: Times-Bold", "Times New Roman", true, false, "Nimbus Roman"},
        {"6: Times-Italic", "Times New Roman", false, true, "Nimbus Roman"},
        {"7: Times-BoldItalic", "Times New Roman", true, true, "Nimbus Roman"},
        {"8: Courier", "Courier", false, false, "Nimbus Mono PS"},
        {"9: Courier-Bold", "Courier", true, false, "Nimbus Mono PS"},
        {"10: Courier-Oblique", "Courier", false, true, "Nimbus Mono PS"},
        {"11: Courier-BoldOblique", "Courier", true, true, "Nimbus Mono PS"},
        {"12: Symbol", "Symbol", false, false, "Standard Symbols PS"},
        {"13: AvantGarde-Book", "AvantGarde Bk BT", false, false, "URW Gothic"},
        {"14: AvantGarde-BookOblique", "AvantGarde Bk BT", false, true, "URW Gothic"},
        {"15: AvantGarde-Demi", "AvantGarde Bk BT", false, false, "URW Gothic"},
        {"16: AvantGarde-DemiOblique", "AvantGarde Bk BT", false, true, "URW Gothic"},
        {"17: Bookman-Demi", "Book Antiqua", false, false, "URW Bookman"},
        {"18: Bookman-DemiItalic", "Book Antiqua", false, true, "URW Bookman"},
        {"19: Bookman-Light", "Bookman Old Style", false, false, "URW Bookman"},
        {"20: Bookman-LightItalic", "Bookman Old Style", false, true, "URW Bookman"},
        {"21: Helvetica-Narrow", "Arial Narrow", false, false, "Nimbus Sans Narrow"},
        {"22: Helvetica-Narrow-Bold", "Arial Narrow", true, false, "Nimbus Sans Narrow"},
        {"23: Helvetica-Narrow-Oblique ", "Arial Narrow", false, true, "Nimbus Sans Narrow"},
        {"24: Helvetica-Narrow-BoldOblique", "Arial Narrow", true, true, "Nimbus Sans Narrow"},
        {"25: New CenturySchlbk-Roman", "Century Schoolbook", false, false, "C059"},
        {"26: New CenturySchlbk-Italic", "Century Schoolbook", false, true, "C059"},
        {"27: New CenturySchlbk-Bold ", "Century Schoolbook", true, false, "C059"},
        {"28: New CenturySchlbk-BoldItalic", "Century Schoolbook", true, true, "C059"},
        {"29: Palatino-Roman", "Palatino Linotype", false, false, "P052"},
        {"30: Palatino-Italic", "Palatino Linotype", false, true, "P052"},
        {"31: Palatino-Bold", "Palatino Linotype", true, false, "P052"},
        {"32: Palatino-BoldItalic", "Palatino Linotype", true, true, "P052"},
        {"33: Zapf Chancery-MediumItalic", "Webdings", false, false, "Z003"},
        {"34: ZapfDingbats", "Wingdings", false, false, "D050000L"},
        {"35: Ryumin-Light-EU C-H", "Palatino Linotype", false, true, ""},
        {"36: Ryumin-Light-EU C-V", "Palatino Linotype", true, true, ""},
        {"37: Gothic BBB-Medium-EU C-H", "BankGothic Md BT", false, false, ""},
        {"38: Gothic BBB-Medium-EU C-V", "Century Gothic", false, false, ""},
    }};
    return fonts;
}

}  // namespace mq::catalogue
