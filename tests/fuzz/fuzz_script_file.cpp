// Any bytes opened as a script (8-bit, UTF-8 or UTF-16) and saved unchanged
// must come back byte for byte; the plain re-encoding of the text must be stable; and an edited text
// must read back as it was saved.
#include "app/core/script_codec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace mq::app;

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// More than one kind of line end: besides a paragraph separator, the only
// reason a plain re-encoding may differ from the file. In UTF-16 the line ends are 16-bit units after the
// byte-order mark.
bool hasMixedLineEnds(std::string_view bytes, Encoding encoding) {
    const bool utf16 = encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be;
    const std::size_t step = utf16 ? 2 : 1;
    const auto at = [&](std::size_t i) -> unsigned {
        if (!utf16) return static_cast<unsigned char>(bytes[i]);
        const unsigned b0 = static_cast<unsigned char>(bytes[i]);
        const unsigned b1 = static_cast<unsigned char>(bytes[i + 1]);
        return encoding == Encoding::Utf16Le ? (b0 | (b1 << 8)) : ((b0 << 8) | b1);
    };
    bool crlf = false, lf = false, cr = false;
    for (std::size_t i = utf16 ? 2 : 0; i + step <= bytes.size(); i += step) {
        if (at(i) == '\r') {
            if (i + 2 * step <= bytes.size() && at(i + step) == '\n') {
                crlf = true;
                i += step;
            } else {
                cr = true;
            }
        } else if (at(i) == '\n') {
            lf = true;
        }
    }
    return int(crlf) + int(lf) + int(cr) > 1;
}

// A paragraph separator or frame mark (U+2029, U+FDD0, U+FDD1), which the
// editor holds as a line break, so that only the original bytes give the
// file back.
bool hasParagraphSeparator(std::string_view bytes, Encoding encoding) {
    if (encoding == Encoding::Utf8)
        return bytes.find("\xE2\x80\xA9") != std::string_view::npos ||
               bytes.find("\xEF\xB7\x90") != std::string_view::npos ||
               bytes.find("\xEF\xB7\x91") != std::string_view::npos;
    if (encoding == Encoding::CodePage) return false;
    for (std::size_t i = 2; i + 2 <= bytes.size(); i += 2) {
        const unsigned b0 = static_cast<unsigned char>(bytes[i]);
        const unsigned b1 = static_cast<unsigned char>(bytes[i + 1]);
        const unsigned unit = encoding == Encoding::Utf16Le ? (b0 | (b1 << 8)) : ((b0 << 8) | b1);
        if (unit == 0x2029 || unit == 0xFDD0 || unit == 0xFDD1) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    std::u16string text;
    LoadedScript script = LoadedScript::fromBytes(bytes, text);
    check(text.find(u'\r') == std::u16string::npos);
    const Encoding encoding = script.format().encoding;
    check(script.keepsOriginalBytes() ==
          (hasMixedLineEnds(bytes, encoding) || hasParagraphSeparator(bytes, encoding)));

    // Saved unchanged: the very bytes.
    const EncodedScript saved = script.encode(text);
    check(saved.bytes == bytes);
    check(saved.originalBytes == script.keepsOriginalBytes());
    check(!saved.switchedToUtf8 && saved.replacedCharacters == 0);

    // The plain re-encoding reads back as the same text and format, and
    // encoding that again changes nothing.
    const EncodedText plain = encodeText(text, script.format());
    check(!plain.switchedToUtf8 && plain.replacedCharacters == 0);
    check(plain.format == script.format());
    if (!script.keepsOriginalBytes()) check(plain.bytes == bytes);
    // (8-bit text starting with "\xFF\xFE" or "\xFE\xFF" in an even number of
    // bytes reads back as UTF-16, as in other Windows editors.)
    const bool looksLikeUtf16 = plain.bytes.size() % 2 == 0 &&
                                (plain.bytes.starts_with("\xFF\xFE") || plain.bytes.starts_with("\xFE\xFF"));
    if (!looksLikeUtf16 || script.format().encoding != Encoding::CodePage)
        check(detectFormat(plain.bytes) == script.format());
    const std::u16string reread = decodeText(plain.bytes, plain.format);
    check(reread == text);
    check(encodeText(reread, plain.format).bytes == plain.bytes);

    // An edit (here one the code page cannot hold) is saved so that it reads
    // back as the edited text, and the document takes on the saved format.
    const std::u16string edited = text + u"\n\u5730";
    const EncodedScript changed = script.encode(edited);
    check(!changed.originalBytes);
    std::u16string after;
    const LoadedScript reopened = LoadedScript::fromBytes(changed.bytes, after);
    check(after == edited);
    script.markSaved(changed);
    check(!script.keepsOriginalBytes());
    check(script.format() == changed.format);
    check(script.encode(edited).bytes == changed.bytes);
    return 0;
}
