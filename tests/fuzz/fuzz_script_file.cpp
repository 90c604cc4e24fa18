// Any bytes opened as a script and saved unchanged come back byte for byte; the plain
// re-encoding is stable; an edited text reads back as it was saved.
#include "app/core/script_codec.h"
#include "harness.h"

using namespace mq::app;

namespace {

// Whether only the file's own bytes give it back: more than one kind of line end, or a paragraph
// separator or frame mark (U+2029, U+FDD0, U+FDD1), which the editor holds as a line break.
bool needsOriginalBytes(std::string_view bytes, Encoding encoding)
{
    const bool utf16 = encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be;
    const std::size_t step = utf16 ? 2 : 1;
    std::vector<unsigned> text;   // the bytes, or in UTF-16 the units after the byte-order mark
    for (std::size_t i = utf16 ? 2 : 0; i + step <= bytes.size(); i += step) {
        const unsigned b0 = std::uint8_t(bytes[i]), b1 = utf16 ? std::uint8_t(bytes[i + 1]) : 0;
        text.push_back(!utf16 ? b0 : encoding == Encoding::Utf16Le ? (b0 | (b1 << 8)) : ((b0 << 8) | b1));
    }
    bool crlf = false, lf = false, cr = false, mark = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        crlf |= pair;
        cr |= text[i] == '\r' && !pair;
        lf |= text[i] == '\n';
        mark |= utf16 && (text[i] == 0x2029 || text[i] == 0xFDD0 || text[i] == 0xFDD1);
        i += pair;
    }
    for (const char* utf8 : {"\xE2\x80\xA9", "\xEF\xB7\x90", "\xEF\xB7\x91"})
        mark |= encoding == Encoding::Utf8 && bytes.find(utf8) != std::string_view::npos;
    return mark || int(crlf) + int(lf) + int(cr) > 1;
}

}  // namespace

MQ_FUZZ_TARGET(bytes)
{
    std::u16string text;
    LoadedScript script = LoadedScript::fromBytes(bytes, text);
    check(text.find(u'\r') == std::u16string::npos);
    const Encoding encoding = script.format().encoding;
    check(script.keepsOriginalBytes() == needsOriginalBytes(bytes, encoding));

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
