// Any bytes opened as a script (8-bit, UTF-8 or UTF-16) and saved unchanged
// must come back byte for byte; the plain re-encoding of the text must be
// stable; and an edited text must read back as it was saved.
#include "app/core/script_codec.h"
#include "harness.h"

using namespace mq::app;

namespace {

// The text's units: bytes, or in UTF-16 the 16-bit units after the byte-order mark.
std::vector<unsigned> units(std::string_view bytes, Encoding encoding)
{
    std::vector<unsigned> out;
    if (encoding != Encoding::Utf16Le && encoding != Encoding::Utf16Be) {
        for (const char c : bytes) out.push_back(static_cast<unsigned char>(c));
        return out;
    }
    for (std::size_t i = 2; i + 2 <= bytes.size(); i += 2) {
        const unsigned b0 = static_cast<unsigned char>(bytes[i]);
        const unsigned b1 = static_cast<unsigned char>(bytes[i + 1]);
        out.push_back(encoding == Encoding::Utf16Le ? (b0 | (b1 << 8)) : ((b0 << 8) | b1));
    }
    return out;
}

// More than one kind of line end: besides a paragraph separator, the only
// reason a plain re-encoding may differ from the file.
bool hasMixedLineEnds(const std::vector<unsigned>& text)
{
    bool crlf = false, lf = false, cr = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        crlf |= pair;
        cr |= text[i] == '\r' && !pair;
        lf |= text[i] == '\n';
        i += pair;
    }
    return int(crlf) + int(lf) + int(cr) > 1;
}

// A paragraph separator or frame mark (U+2029, U+FDD0, U+FDD1), which the
// editor holds as a line break, so that only the original bytes give the
// file back.
bool hasParagraphSeparator(std::string_view bytes, Encoding encoding)
{
    if (encoding == Encoding::CodePage) return false;
    for (const char* mark : {"\xE2\x80\xA9", "\xEF\xB7\x90", "\xEF\xB7\x91"})
        if (encoding == Encoding::Utf8 && bytes.find(mark) != std::string_view::npos) return true;
    for (const unsigned unit : units(bytes, encoding))
        if (encoding != Encoding::Utf8 && (unit == 0x2029 || unit == 0xFDD0 || unit == 0xFDD1)) return true;
    return false;
}

}  // namespace

MQ_FUZZ_TARGET(bytes)
{
    std::u16string text;
    LoadedScript script = LoadedScript::fromBytes(bytes, text);
    check(text.find(u'\r') == std::u16string::npos);
    const Encoding encoding = script.format().encoding;
    check(script.keepsOriginalBytes() ==
          (hasMixedLineEnds(units(bytes, encoding)) || hasParagraphSeparator(bytes, encoding)));

    // Saved unchanged: the very bytes.
    const EncodedScript saved = script.encode(text);
    check(saved.bytes == bytes && saved.originalBytes == script.keepsOriginalBytes());
    check(!saved.switchedToUtf8 && saved.replacedCharacters == 0);

    // The plain re-encoding reads back as the same text and format, and
    // encoding that again changes nothing.
    const EncodedText plain = encodeText(text, script.format());
    check(!plain.switchedToUtf8 && plain.replacedCharacters == 0 && plain.format == script.format());
    if (!script.keepsOriginalBytes()) check(plain.bytes == bytes);
    // (8-bit text starting with "\xFF\xFE" or "\xFE\xFF" in an even number of
    // bytes reads back as UTF-16, as in other Windows editors.)
    const bool looksLikeUtf16 = plain.bytes.size() % 2 == 0 &&
                                (plain.bytes.starts_with("\xFF\xFE") || plain.bytes.starts_with("\xFE\xFF"));
    if (!looksLikeUtf16 || script.format().encoding != Encoding::CodePage)
        check(detectFormat(plain.bytes) == script.format());
    const std::u16string reread = decodeText(plain.bytes, plain.format);
    check(reread == text && encodeText(reread, plain.format).bytes == plain.bytes);

    // An edit (here one the code page cannot hold) is saved so that it reads
    // back as the edited text, and the document takes on the saved format.
    const std::u16string edited = text + u"\n\u5730";
    const EncodedScript changed = script.encode(edited);
    std::u16string after;
    const LoadedScript reopened = LoadedScript::fromBytes(changed.bytes, after);
    check(!changed.originalBytes && after == edited);
    script.markSaved(changed);
    check(!script.keepsOriginalBytes() && script.format() == changed.format);
    check(script.encode(edited).bytes == changed.bytes);
}
