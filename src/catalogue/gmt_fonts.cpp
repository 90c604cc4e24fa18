#include "catalogue/gmt_fonts.h"

namespace mq::catalogue {

const std::array<GmtFont, kGmtFontCount>& gmt_fonts()
{
    static constexpr std::array<GmtFont, kGmtFontCount> fonts = {{
        {"0: Helvetica", "Arial", false, false},
        {"1: Helvetica-Bold", "Arial", true, false},
        {"2: Helvetica-Oblique", "Arial", false, true},
        {"3: Helvetica-BoldOblique", "Arial", true, true},
        {"4: Times-Roman", "Times New Roman", false, false},
        {"5: Times-Bold", "Times New Roman", true, false},
        {"6: Times-Italic", "Times New Roman", false, true},
        {"7: Times-BoldItalic", "Times New Roman", true, true},
        {"8: Courier", "Courier", false, false},
        {"9: Courier-Bold", "Courier", true, false},
        {"10: Courier-Oblique", "Courier", false, true},
        {"11: Courier-BoldOblique", "Courier", true, true},
        {"12: Symbol", "Symbol", false, false},
        {"13: AvantGarde-Book", "AvantGarde Bk BT", false, false},
        {"14: AvantGarde-BookOblique", "AvantGarde Bk BT", false, true},
        {"15: AvantGarde-Demi", "AvantGarde Bk BT", false, false},
        {"16: AvantGarde-DemiOblique", "AvantGarde Bk BT", false, true},
        {"17: Bookman-Demi", "Book Antiqua", false, false},
        {"18: Bookman-DemiItalic", "Book Antiqua", false, true},
        {"19: Bookman-Light", "Bookman Old Style", false, false},
        {"20: Bookman-LightItalic", "Bookman Old Style", false, true},
        {"21: Helvetica-Narrow", "Arial Narrow", false, false},
        {"22: Helvetica-Narrow-Bold", "Arial Narrow", true, false},
        {"23: Helvetica-Narrow-Oblique ", "Arial Narrow", false, true},
        {"24: Helvetica-Narrow-BoldOblique", "Arial Narrow", true, true},
        {"25: New CenturySchlbk-Roman", "Century Schoolbook", false, false},
        {"26: New CenturySchlbk-Italic", "Century Schoolbook", false, true},
        {"27: New CenturySchlbk-Bold ", "Century Schoolbook", true, false},
        {"28: New CenturySchlbk-BoldItalic", "Century Schoolbook", true, true},
        {"29: Palatino-Roman", "Palatino Linotype", false, false},
        {"30: Palatino-Italic", "Palatino Linotype", false, true},
        {"31: Palatino-Bold", "Palatino Linotype", true, false},
        {"32: Palatino-BoldItalic", "Palatino Linotype", true, true},
        {"33: Zapf Chancery-MediumItalic", "Webdings", false, false},
        {"34: ZapfDingbats", "Wingdings", false, false},
        {"35: Ryumin-Light-EU C-H", "Palatino Linotype", false, true},
        {"36: Ryumin-Light-EU C-V", "Palatino Linotype", true, true},
        {"37: Gothic BBB-Medium-EU C-H", "BankGothic Md BT", false, false},
        {"38: Gothic BBB-Medium-EU C-V", "Century Gothic", false, false},
    }};
    return fonts;
}

}  // namespace mq::catalogue
