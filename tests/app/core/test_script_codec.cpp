// Script files as bytes: the format a file is read in, the text it gives and
// the bytes a text is saved as. Opened and saved unchanged, every file keeps
// its bytes; malformed UTF-8 is read in the 8-bit code page.
#include "app/core/script_codec.h"

#include <doctest/doctest.h>

#include <charconv>
#include <string>
#include <string_view>
#include <type_traits>

using namespace mq::app;
using namespace std::string_view_literals;

namespace {

// Bytes or UTF-16 units in hex, so that a failed check shows them.
template <class Unit>
std::string hexOf(std::basic_string_view<Unit> text)
{
    std::string out;
    for (Unit unit : text) {
        char digits[8];
        const unsigned value = std::make_unsigned_t<Unit>(unit);
        out.append(digits, std::to_chars(digits, digits + sizeof digits, value, 16).ptr).push_back(' ');
    }
    return out;
}
std::string hex(std::string_view bytes) { return hexOf(bytes); }
std::string hex(std::u16string_view text) { return hexOf(text); }

std::u16string decoded(std::string_view bytes)
{
    std::u16string text;
    LoadedScript::fromBytes(bytes, text);
    return text;
}

}  // namespace

TEST_CASE("a file read and saved unchanged keeps its bytes")
{
    const Encoding utf8 = Encoding::Utf8, cp = Encoding::CodePage, le = Encoding::Utf16Le,
                   be = Encoding::Utf16Be;
    const Encoding ascii = forNewDocument().encoding;   // plain ASCII reads as a new document would
    const LineEnd crlf = LineEnd::CrLf, lf = LineEnd::Lf, cr = LineEnd::Cr;
    std::string high, all;
    for (int b = 0; b <= 0xFF; ++b) (b >= 0x80 ? high : all).push_back(char(b));
    all = all + high;
    struct Case {
        std::string name;
        std::string_view bytes;
        Encoding encoding;
        bool bom;
        LineEnd lineEnd;
        bool keepsOriginal;   // mixed line ends: only the original bytes give the file back
    };
    const Case cases[] = {
        {"empty file", ""sv, ascii, false, crlf, false},
        {"no line end", "echo off"sv, ascii, false, crlf, false},
        {"CR LF", "a\r\nb\r\n"sv, ascii, false, crlf, false},
        {"CR LF, no final", "a\r\nb"sv, ascii, false, crlf, false},
        {"LF", "a\nb\n"sv, ascii, false, lf, false},
        {"CR", "a\rb\r"sv, ascii, false, cr, false},
        {"empty lines", "\r\n\r\n\r\n"sv, ascii, false, crlf, false},
        {"NUL bytes", "a\0b\r\n\0"sv, ascii, false, crlf, false},
        {"mixed, CR LF most", "a\r\nb\nc\r\n"sv, ascii, false, crlf, true},
        {"mixed, LF most", "a\nb\nc\r\nd\r"sv, ascii, false, lf, true},
        {"mixed, CR most", "a\rb\rc\r\n"sv, ascii, false, cr, true},
        {"CR then CR LF tie", "\r\r\n"sv, ascii, false, crlf, true},
        {"LF CR is two ends", "a\n\rb"sv, ascii, false, lf, true},

        {"UTF-8", "Gr\xC3\xBC\xC3\x9F\r\n\xE2\x82\xAC"sv, utf8, false, crlf, false},
        {"UTF-8 BOM", "\xEF\xBB\xBFz\xC3\xA9\n"sv, utf8, true, lf, false},
        {"BOM only", "\xEF\xBB\xBF"sv, utf8, true, crlf, false},
        {"two BOMs", "\xEF\xBB\xBF\xEF\xBB\xBF"sv, utf8, true, crlf, false},
        {"BOM later only", "a\xEF\xBB\xBF"sv, utf8, false, crlf, false},
        {"4-byte UTF-8", "\xF0\x9F\x97\xBA map\r\n"sv, utf8, false, crlf, false},
        {"highest code point", "\xF4\x8F\xBF\xBF"sv, utf8, false, crlf, false},
        {"2- and 3-byte minimum", "\xC2\x80\xE0\xA0\x80"sv, utf8, false, crlf, false},
        {"around surrogates", "\xED\x9F\xBF\xEE\x80\x80"sv, utf8, false, crlf, false},
        {"4-byte minimum", "\xF0\x90\x80\x80"sv, utf8, false, crlf, false},
        {"UTF-8 mixed ends", "\xC3\xA4\r\n\xC3\xB6\n"sv, utf8, false, crlf, true},
        {"paragraph separator", "c\xE2\x80\xA9" "d\r\n"sv, utf8, false, crlf, true},
        {"frame marks", "a\xEF\xB7\x90" "b\xEF\xB7\x91" "c"sv, utf8, false, crlf, true},

        {"1252 bytes 80-FF", high, cp, false, crlf, false},
        {"1252 undefined five", "\x81\x8D\x8F\x90\x9D"sv, cp, false, crlf, false},
        {"1252 text CR LF", "caf\xE9\r\n\x80 5\r\n"sv, cp, false, crlf, false},
        {"all 256 bytes", all, cp, false, lf, true},

        {"overlong slash", "\xC0\xAF"sv, cp, false, crlf, false},
        {"C1 lead", "\xC1\xBF"sv, cp, false, crlf, false},
        {"overlong 3-byte max", "\xE0\x9F\xBF"sv, cp, false, crlf, false},
        {"overlong 4-byte max", "\xF0\x8F\xBF\xBF"sv, cp, false, crlf, false},
        {"extra continuation", "\xC3\xA9\xA9"sv, cp, false, crlf, false},
        {"overlong 3-byte", "\xE0\x80\xAF"sv, cp, false, crlf, false},
        {"overlong 4-byte", "\xF0\x80\x80\xAF"sv, cp, false, crlf, false},
        {"encoded surrogate", "a\xED\xA0\x80"sv, cp, false, crlf, false},
        {"surrogate pair as CESU", "\xED\xA0\xBD\xED\xB8\x80"sv, cp, false, crlf, false},
        {"above U+10FFFF", "\xF4\x90\x80\x80"sv, cp, false, crlf, false},
        {"F5 lead", "\xF5\x80\x80\x80"sv, cp, false, crlf, false},
        {"truncated at end", "x\xE2\x82"sv, cp, false, crlf, false},
        {"truncated before CR LF", "\xE2\x82\r\n"sv, cp, false, crlf, false},
        {"lone continuation", "\x80"sv, cp, false, crlf, false},
        {"BOM then invalid", "\xEF\xBB\xBF\xFF\r\n"sv, cp, false, crlf, false},
        {"invalid, mixed ends", "\xFF\r\n\n\r"sv, cp, false, crlf, true},

        {"UTF-16 LE", "\xFF\xFE" "a\0\r\0\n\0\xE9\0"sv, le, false, crlf, false},
        {"UTF-16 BE, LF", "\xFE\xFF\0a\0\n\x4E\x2D"sv, be, false, lf, false},
        {"UTF-16 mark only", "\xFF\xFE"sv, le, false, crlf, false},
        {"UTF-16 astral pair", "\xFF\xFE\x3D\xD8\xFA\xDD"sv, le, false, crlf, false},
        {"UTF-16 lone surrogate kept", "\xFF\xFE\x00\xD8x\0"sv, le, false, crlf, false},
        {"UTF-16 mixed ends", "\xFF\xFE" "a\0\r\0\n\0b\0\n\0"sv, le, false, crlf, true},
        {"odd length is not UTF-16", "\xFF\xFE" "a"sv, cp, false, crlf, false},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        std::u16string text;
        const LoadedScript script = LoadedScript::fromBytes(c.bytes, text);
        CHECK(script.format().encoding == c.encoding);
        CHECK(script.format().utf8Bom == c.bom);
        CHECK(script.format().lineEnd == c.lineEnd);
        CHECK(script.keepsOriginalBytes() == c.keepsOriginal);
        // None of what the editor would take for a line break of its own.
        CHECK(text.find_first_of(u"\r\u2029\uFDD0\uFDD1") == std::u16string::npos);

        const EncodedScript saved = script.encode(text);
        CHECK(hex(saved.bytes) == hex(c.bytes));
        CHECK(saved.originalBytes == c.keepsOriginal);
        CHECK_FALSE(saved.switchedToUtf8);
        CHECK(saved.format == script.format());
        // Without the kept bytes, plain encoding alone must reproduce the file.
        if (!c.keepsOriginal) CHECK(hex(encodeText(text, script.format()).bytes) == hex(c.bytes));
    }
}

TEST_CASE("the text a file gives")
{
    const std::pair<std::string_view, std::u16string_view> cases[] = {
        {"a\r\nb"sv, u"a\nb"sv},
        {"a\rb"sv, u"a\nb"sv},
        {"a\n\rb"sv, u"a\n\nb"sv},
        {"\r\r\n"sv, u"\n\n"sv},
        {"a\r"sv, u"a\n"sv},
        {"\xE2\x82\xAC"sv, u"\u20AC"sv},                                // UTF-8
        {"\xEF\xBB\xBFx"sv, u"x"sv},                                    // the byte-order mark is dropped
        {"\xFF\xFEG\0r\0\xFC\0\r\0\n\0"sv, u"Gr\u00FC\n"sv},            // UTF-16 LE
        {"\xFE\xFF\x20\xAC\0\r\0x"sv, u"\u20AC\nx"sv},                  // UTF-16 BE, CR
        {"\xEF\xBB\xBF\xEF\xBB\xBF"sv, u"\uFEFF"sv},                    // a second mark is text
        {"\xF0\x9F\x97\xBA"sv, u"\U0001F5FA"sv},                        // astral
        {"\x80"sv, u"\u20AC"sv},                                        // 1252 euro
        {"\x93q\x94"sv, u"\u201Cq\u201D"sv},                            // 1252 quotes
        {"\x81\x8D\x8F\x90\x9D"sv, u"\u0081\u008D\u008F\u0090\u009D"sv},  // 1252 undefined
        {"\xC4\xFF"sv, u"\u00C4\u00FF"sv},                              // 1252 latin
        {"\xC3"sv, u"\u00C3"sv},                                        // truncated UTF-8 is 1252
        {"\xED\xA0\x80"sv, u"\u00ED\u00A0\u20AC"sv},                    // an encoded surrogate is 1252
        {"\xEF\xBB\xBF\xFF"sv, u"\u00EF\u00BB\u00BF\u00FF"sv},          // mark bytes in 1252
    };
    for (const auto& [bytes, text] : cases) {
        const std::string file = hex(bytes);
        CAPTURE(file);
        CHECK(hex(decoded(bytes)) == hex(text));
    }
}

TEST_CASE("an edited text is saved in the file's format")
{
    struct Case {
        std::string name;
        std::string_view original;
        std::u16string_view edited;
        std::string_view expected;
    };
    const Case cases[] = {
        {"CR LF file", "a\r\nb"sv, u"a\nb\nc"sv, "a\r\nb\r\nc"sv},
        {"LF file", "a\nb\n"sv, u"a\nX\n"sv, "a\nX\n"sv},
        {"CR file", "a\rb"sv, u"a\n\nb"sv, "a\r\rb"sv},
        {"no line end gets CR LF", "one"sv, u"one\ntwo"sv, "one\r\ntwo"sv},
        {"mixed uses most frequent", "a\nb\nc\r\n"sv, u"a\nb\nc\nd"sv, "a\nb\nc\nd"sv},
        {"CR LF in text is one end", "a\nb"sv, u"a\r\nb\rc"sv, "a\nb\nc"sv},
        {"BOM kept", "\xEF\xBB\xBF\xC3\xA9\r\n"sv, u"\u00E9\n\u00E8"sv, "\xEF\xBB\xBF\xC3\xA9\r\n\xC3\xA8"sv},
        {"1252 stays 1252", "caf\xE9"sv, u"caf\u00E9 \u20AC\u0081"sv, "caf\xE9 \x80\x81"sv},
        {"emptied file", "a\r\n"sv, u""sv, ""sv},
        {"UTF-16 LE stays", "\xFF\xFE" "a\0\r\0\n\0"sv, u"a\n\u5730"sv, "\xFF\xFE" "a\0\r\0\n\0\x30\x57"sv},
        {"UTF-16 BE stays", "\xFE\xFF\0a"sv, u"\u00E9a"sv, "\xFE\xFF\0\xE9\0" "a"sv},
        {"UTF-16 emptied keeps its mark", "\xFF\xFE" "a\0"sv, u""sv, "\xFF\xFE"sv},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        std::u16string text;
        const LoadedScript script = LoadedScript::fromBytes(c.original, text);
        const EncodedScript saved = script.encode(std::u16string(c.edited));
        CHECK(hex(saved.bytes) == hex(c.expected));
        CHECK_FALSE(saved.originalBytes);
        CHECK_FALSE(saved.switchedToUtf8);
    }
}

TEST_CASE("characters the format cannot hold")
{
    struct Case {
        std::string name;
        std::string_view original;   // 0xE9 alone is not UTF-8: such files are in the 8-bit code page
        std::u16string_view edited;
        std::string_view expected;
        bool switched;
        std::size_t replaced;
    };
    const Case cases[] = {
        {"CJK into 1252", "\xE9\r\n"sv, u"\u00E9\n\u5730"sv, "\xC3\xA9\r\n\xE5\x9C\xB0"sv, true, 0},
        {"astral into 1252", "\xE9"sv, u"\U0001F5FA"sv, "\xF0\x9F\x97\xBA"sv, true, 0},
        {"lone surrogate into UTF-8", "\xC3\xA9"sv, u"\xD800x"sv, "\xEF\xBF\xBDx"sv, false, 1},
        {"reversed pair into UTF-8 BOM", "\xEF\xBB\xBF"sv, u"\xDC00\xD800"sv,
         "\xEF\xBB\xBF\xEF\xBF\xBD\xEF\xBF\xBD"sv, false, 2},
        {"lone surrogate into 1252", "\xE9"sv, u"\xDFFF"sv, "\xEF\xBF\xBD"sv, true, 1},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        std::u16string text;
        LoadedScript script = LoadedScript::fromBytes(c.original, text);
        const TextFormat before = script.format();
        const EncodedScript saved = script.encode(std::u16string(c.edited));
        CHECK(hex(saved.bytes) == hex(c.expected));
        CHECK(saved.switchedToUtf8 == c.switched);
        CHECK(saved.replacedCharacters == c.replaced);
        CHECK(saved.format.encoding == Encoding::Utf8);
        CHECK(saved.format.lineEnd == before.lineEnd);
        // Encoding is a query: the document's format changes only once saved.
        CHECK(script.format() == before);

        script.markSaved(saved);
        CHECK(script.format().encoding == Encoding::Utf8);
        // What was written decodes to the same text (less the replaced halves),
        // and saving it again needs no switch.
        const std::u16string reread = decoded(saved.bytes);
        if (c.replaced == 0) CHECK(hex(reread) == hex(c.edited));
        CHECK_FALSE(script.encode(reread).switchedToUtf8);
    }
}

TEST_CASE("a saved edit replaces the original bytes")
{
    const std::string_view mixed = "a\r\nb\nc\r\n";
    std::u16string text;
    LoadedScript script = LoadedScript::fromBytes(mixed, text);
    REQUIRE(script.keepsOriginalBytes());

    // Saving unchanged keeps the original bytes and keeps them around.
    const EncodedScript same = script.encode(text);
    CHECK(same.originalBytes);
    script.markSaved(same);
    CHECK(script.keepsOriginalBytes());

    // A save after an edit puts the plain encoding on disk; the old bytes are
    // gone and must not come back for the old text either.
    const EncodedScript edited = script.encode(u"a\nb\nc\nd");
    CHECK(edited.bytes == "a\r\nb\r\nc\r\nd");
    script.markSaved(edited);
    CHECK_FALSE(script.keepsOriginalBytes());
    CHECK(script.encode(text).bytes == "a\r\nb\r\nc\r\n");

    // A text differing only in length from the original is not mistaken for it.
    const LoadedScript again = LoadedScript::fromBytes(mixed, text);
    CHECK_FALSE(again.encode(text.substr(0, text.size() - 1)).originalBytes);
    CHECK_FALSE(again.encode(text + u"x").originalBytes);
}

TEST_CASE("a new document")
{
    const TextFormat f = forNewDocument();
    CHECK(f.lineEnd == LineEnd::CrLf);
    CHECK_FALSE(f.utf8Bom);
#ifdef _WIN32
    CHECK(f.encoding == Encoding::CodePage);
    CHECK(f.codePage == systemCodePage());
#else
    CHECK(f.encoding == Encoding::Utf8);
#endif
    const LoadedScript script;
    CHECK(script.format() == f);
    CHECK(script.encode(u"@echo off\nREM x").bytes == "@echo off\r\nREM x");
    CHECK(script.encode(u"").bytes.empty());
}

#ifdef _WIN32
TEST_CASE("another system code page")
{
    // Central European Windows: the same bytes mean other letters than in
    // 1252, a letter 1250 lacks makes the file UTF-8, and the unassigned
    // byte 0x81 still comes back as it was.
    const TextFormat cp1250{Encoding::CodePage, false, LineEnd::CrLf, 1250};
    const std::string bytes = "\xB3\xF3" "d\x9F \x80\x81\r\n\xA9";
    const std::u16string text = decodeText(bytes, cp1250);
    CHECK(text == u"\u0142\u00F3d\u017A \u20AC\u0081\n\u00A9");
    const EncodedText back = encodeText(text, cp1250);
    CHECK(back.bytes == bytes);
    CHECK_FALSE(back.switchedToUtf8);
    const EncodedText wider = encodeText(u"\u00E6", cp1250);   // not in 1250
    CHECK(wider.switchedToUtf8);
    CHECK(wider.bytes == "\xC3\xA6");
}
#endif
