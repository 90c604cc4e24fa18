// Script files as bytes: the format a file is read in, the text it gives and
// the bytes a text is saved as (the tables in data/documents.txt). Opened and
// saved unchanged, every file keeps its bytes; malformed UTF-8 is read in the
// 8-bit code page.
#include "app/core/script_codec.h"
#include "case_file.h"
#include "common/golden_rows.h"

#include <doctest/doctest.h>

#include <charconv>
#include <map>
#include <string>
#include <string_view>
#include <type_traits>

using namespace mq::app;

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

const char* const kGolden =
#include "documents_golden.h"
    ;

auto table(const char* kind) { return mq::testing::golden_rows(kGolden, kind); }

std::string bytesOf(const std::string& field) { return mq::testing::unescape(field); }

// A text of the table: \uXXXX is one UTF-16 unit; the rest reads as bytes do.
std::u16string unitsOf(const std::string& field)
{
    std::u16string out;
    for (std::size_t at = 0, mark;; at = mark + 6) {
        mark = field.find("\\u", at);
        for (const char c : bytesOf(field.substr(at, mark - at)))
            out += char16_t(static_cast<unsigned char>(c));
        if (mark == std::string::npos) return out;
        out += char16_t(std::stoi(field.substr(mark + 2, 4), nullptr, 16));
    }
}

std::u16string decoded(std::string_view bytes)
{
    std::u16string text;
    LoadedScript::fromBytes(bytes, text);
    return text;
}

}  // namespace

TEST_CASE("a file read and saved unchanged keeps its bytes")
{
    const std::map<std::string, Encoding> encodings{
        {"ascii", forNewDocument().encoding}, {"utf8", Encoding::Utf8}, {"cp", Encoding::CodePage},
        {"le", Encoding::Utf16Le}, {"be", Encoding::Utf16Be}};
    const std::map<std::string, LineEnd> ends{
        {"crlf", LineEnd::CrLf}, {"lf", LineEnd::Lf}, {"cr", LineEnd::Cr}};
    // case | bytes | encoding | byte-order mark | line end | keeps the original bytes (mixed line ends)
    for (const auto& row : table("codec_file")) {
        CAPTURE(row[0]);
        const std::string bytes = bytesOf(row[1]);
        const bool keepsOriginal = row[5] == "1";
        std::u16string text;
        const LoadedScript script = LoadedScript::fromBytes(bytes, text);
        CHECK(script.format().encoding == encodings.at(row[2]));
        CHECK(script.format().utf8Bom == (row[3] == "1"));
        CHECK(script.format().lineEnd == ends.at(row[4]));
        CHECK(script.keepsOriginalBytes() == keepsOriginal);
        // None of what the editor would take for a line break of its own.
        CHECK(text.find_first_of(u"\r\u2029\uFDD0\uFDD1") == std::u16string::npos);

        const EncodedScript saved = script.encode(text);
        CHECK(hex(saved.bytes) == hex(bytes));
        CHECK(saved.originalBytes == keepsOriginal);
        CHECK_FALSE(saved.switchedToUtf8);
        CHECK(saved.format == script.format());
        // Without the kept bytes, plain encoding alone must reproduce the file.
        if (!keepsOriginal) CHECK(hex(encodeText(text, script.format()).bytes) == hex(bytes));
    }
}

TEST_CASE("the text a file gives")
{
    for (const auto& row : table("codec_text")) {
        CAPTURE(row[0]);
        CHECK(hex(decoded(bytesOf(row[1]))) == hex(unitsOf(row[2])));
    }
}

TEST_CASE("an edited text is saved in the file's format")
{
    for (const auto& row : table("codec_edit")) {   // case | file | edited text | saved bytes
        CAPTURE(row[0]);
        std::u16string text;
        const LoadedScript script = LoadedScript::fromBytes(bytesOf(row[1]), text);
        const EncodedScript saved = script.encode(unitsOf(row[2]));
        CHECK(hex(saved.bytes) == hex(bytesOf(row[3])));
        CHECK_FALSE(saved.originalBytes);
        CHECK_FALSE(saved.switchedToUtf8);
    }
}

TEST_CASE("characters the format cannot hold")
{
    // case | file | edited text | saved bytes | switched to UTF-8 | characters replaced
    for (const auto& row : table("codec_switch")) {
        CAPTURE(row[0]);
        const std::u16string edited = unitsOf(row[2]);
        std::u16string text;
        LoadedScript script = LoadedScript::fromBytes(bytesOf(row[1]), text);
        const TextFormat before = script.format();
        const EncodedScript saved = script.encode(edited);
        CHECK(hex(saved.bytes) == hex(bytesOf(row[3])));
        CHECK(saved.switchedToUtf8 == (row[4] == "1"));
        CHECK(saved.replacedCharacters == std::stoul(row[5]));
        CHECK(saved.format.encoding == Encoding::Utf8);
        CHECK(saved.format.lineEnd == before.lineEnd);
        // Encoding is a query: the document's format changes only once saved.
        CHECK(script.format() == before);

        script.markSaved(saved);
        CHECK(script.format().encoding == Encoding::Utf8);
        // What was written decodes to the same text (less the replaced halves),
        // and saving it again needs no switch.
        const std::u16string reread = decoded(saved.bytes);
        if (row[5] == "0") CHECK(hex(reread) == hex(edited));
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
