#include "app/core/script_codec.h"

#include "common/utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace mq::app {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

bool isUtf16(Encoding e) { return e == Encoding::Utf16Le || e == Encoding::Utf16Be; }

// The UTF-16 unit at byte offset `at`.
char16_t unitAt(std::string_view bytes, std::size_t at, Encoding e) {
    const auto b0 = static_cast<unsigned char>(bytes[at]);
    const auto b1 = static_cast<unsigned char>(bytes[at + 1]);
    return e == Encoding::Utf16Le ? static_cast<char16_t>(b0 | (b1 << 8)) : static_cast<char16_t>((b0 << 8) | b1);
}

// An 8-bit code page as two tables: the character of each byte from 0x80
// on, and the byte of each such character, sorted for lookup. A byte that
// the code page leaves unassigned stands for the C1 character of its own
// number (0x81 for U+0081), so that every byte sequence decodes and encodes
// back unchanged.
struct CodePageTable {
    std::array<char16_t, 128> upper{};
    std::array<std::pair<char16_t, unsigned char>, 128> byChar{};

    std::optional<unsigned char> byteOf(char16_t c) const
    {
        const auto it = std::lower_bound(byChar.begin(), byChar.end(), std::pair<char16_t, unsigned char>(c, 0));
        if (it == byChar.end() || it->first != c) return std::nullopt;
        return it->second;
    }
};

CodePageTable makeTable(int codePage)
{
    CodePageTable table;
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
        char16_t c = text::unicode_from_cp1252(static_cast<unsigned char>(b));
#ifdef _WIN32
        if (codePage != 1252) {
            const char byte = static_cast<char>(b);
            wchar_t wide = 0;
            c = MultiByteToWideChar(static_cast<UINT>(codePage), MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1) == 1
                    ? static_cast<char16_t>(wide)
                    : static_cast<char16_t>(b);
        }
#else
        (void)codePage;
#endif
        table.upper[b - 0x80] = c;
    }
    for (unsigned i = 0; i < 128; ++i) table.byChar[i] = {table.upper[i], static_cast<unsigned char>(0x80 + i)};
    // Where two bytes give one character, it is written as the first.
    std::stable_sort(table.byChar.begin(), table.byChar.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return table;
}

const CodePageTable& tableFor(int codePage)
{
    static std::mutex guard;
    static std::map<int, CodePageTable> tables;
    const std::lock_guard lock(guard);
    auto it = tables.find(codePage);
    if (it == tables.end()) it = tables.emplace(codePage, makeTable(codePage)).first;
    return it->second;
}

// Looks at the UTF-8 sequence starting at bytes[pos]. Returns its length and
// code point when it is well-formed; otherwise `valid` is false and the
// length is that of the maximal ill-formed subpart (at least 1), which is
// how far a decoder replacing bad input with U+FFFD should skip.
struct Utf8Step {
    std::size_t length;
    char32_t codePoint;
    bool valid;
};

Utf8Step utf8Step(std::string_view bytes, std::size_t pos) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char b0 = at(pos);
    if (b0 < 0x80) return {1, b0, true};

    std::size_t need;
    char32_t cp;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2;
        cp = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;  // overlong
        if (b0 == 0xED) hi = 0x9F;  // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3;
        cp = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;  // overlong
        if (b0 == 0xF4) hi = 0x8F;  // above U+10FFFF
    } else {
        return {1, 0, false};
    }

    for (std::size_t k = 1; k <= need; ++k) {
        if (pos + k >= bytes.size()) return {k, 0, false};
        const unsigned char b = at(pos + k);
        const unsigned char min = k == 1 ? lo : 0x80;
        const unsigned char max = k == 1 ? hi : 0xBF;
        if (b < min || b > max) return {k, 0, false};
        cp = (cp << 6) | (b & 0x3F);
    }
    return {need + 1, cp, true};
}

bool isAscii(std::string_view bytes) {
    for (const char ch : bytes) {
        if (static_cast<unsigned char>(ch) >= 0x80) return false;
    }
    return true;
}

// Decodes `bytes` (without byte-order mark) and hands each UTF-16 unit to
// `out`. Line ends of any kind arrive as a single u'\n'. CR and LF bytes never
// occur inside a multi-byte UTF-8 sequence, so they can be handled bytewise.
template <typename Out>
void decodeInto(std::string_view bytes, const TextFormat& format, Out&& out) {
    const Encoding encoding = format.encoding;
    const CodePageTable* table = encoding == Encoding::CodePage ? &tableFor(format.codePage) : nullptr;
    // The editor can hold U+2029 (paragraph separator) and its frame marks
    // U+FDD0 and U+FDD1 only as line breaks, so they read as such; the
    // file's own bytes are then kept for saving it unchanged.
    const auto emit = [&out](char16_t c) {
        out(c == u'\u2029' || c == u'\uFDD0' || c == u'\uFDD1' ? u'\n' : c);
    };
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    if (isUtf16(encoding)) {
        const std::size_t units = n / 2;
        for (std::size_t u = 0; u < units; ++u) {
            const char16_t c = unitAt(bytes, 2 * u, encoding);
            if (c == u'\r') {
                emit(u'\n');
                if (u + 1 < units && unitAt(bytes, 2 * u + 2, encoding) == u'\n') ++u;
            } else {
                emit(c);
            }
        }
        return;
    }
    while (i < n) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r') {
            emit(u'\n');
            i += (i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
        } else if (b < 0x80) {
            emit(static_cast<char16_t>(b));
            ++i;
        } else if (table) {
            emit(table->upper[b - 0x80]);
            ++i;
        } else {
            const Utf8Step step = utf8Step(bytes, i);
            i += step.length;
            if (!step.valid) {
                emit(kReplacement);
            } else if (step.codePoint < 0x10000) {
                emit(static_cast<char16_t>(step.codePoint));
            } else {
                const char32_t v = step.codePoint - 0x10000;
                emit(static_cast<char16_t>(0xD800 + (v >> 10)));
                emit(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
            }
        }
    }
}

std::string_view lineEndBytes(LineEnd lineEnd) {
    switch (lineEnd) {
    case LineEnd::Lf: return "\n";
    case LineEnd::Cr: return "\r";
    case LineEnd::CrLf: break;
    }
    return "\r\n";
}

// Encodes `text` and hands the bytes to `out` (which takes a std::string_view).
// With an 8-bit code page, stops and returns false at the first character
// the code page cannot hold. Counts unpaired surrogates written as U+FFFD in
// `replaced`.
template <typename Out>
bool encodeInto(std::u16string_view text, const TextFormat& format, Out&& out, std::size_t& replaced) {
    const Encoding encoding = format.encoding;
    const LineEnd lineEnd = format.lineEnd;
    const CodePageTable* table = encoding == Encoding::CodePage ? &tableFor(format.codePage) : nullptr;
    const std::string_view eol = lineEndBytes(lineEnd);
    const std::size_t n = text.size();
    char buf[4];
    if (isUtf16(encoding)) {
        const bool le = encoding == Encoding::Utf16Le;
        const auto unit = [&](char16_t c) {
            buf[le ? 0 : 1] = static_cast<char>(c & 0xFF);
            buf[le ? 1 : 0] = static_cast<char>(c >> 8);
            out(std::string_view(buf, 2));
        };
        for (std::size_t i = 0; i < n; ++i) {
            const char16_t c = text[i];
            if (c == u'\r' || c == u'\n') {
                if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
                for (const char e : eol) unit(static_cast<char16_t>(e));
            } else {
                unit(c);
            }
        }
        return true;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
            out(eol);
        } else if (c < 0x80) {
            buf[0] = static_cast<char>(c);
            out(std::string_view(buf, 1));
        } else if (table) {
            const auto b = table->byteOf(c);
            if (!b) return false;
            buf[0] = static_cast<char>(*b);
            out(std::string_view(buf, 1));
        } else {
            char32_t cp = c;
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF) {
                cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
                ++i;
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                cp = kReplacement;
                ++replaced;
            }
            std::size_t len;
            if (cp < 0x800) {
                buf[0] = static_cast<char>(0xC0 | (cp >> 6));
                buf[1] = static_cast<char>(0x80 | (cp & 0x3F));
                len = 2;
            } else if (cp < 0x10000) {
                buf[0] = static_cast<char>(0xE0 | (cp >> 12));
                buf[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                buf[2] = static_cast<char>(0x80 | (cp & 0x3F));
                len = 3;
            } else {
                buf[0] = static_cast<char>(0xF0 | (cp >> 18));
                buf[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
                buf[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                buf[3] = static_cast<char>(0x80 | (cp & 0x3F));
                len = 4;
            }
            out(std::string_view(buf, len));
        }
    }
    return true;
}

// The length of the byte-order mark that starts `bytes` in `format`.
std::size_t bomLength(std::string_view bytes, const TextFormat& format) {
    switch (format.encoding) {
    case Encoding::Utf8: return format.utf8Bom && bytes.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
    case Encoding::Utf16Le: return bytes.starts_with(kUtf16LeBom) ? kUtf16LeBom.size() : 0;
    case Encoding::Utf16Be: return bytes.starts_with(kUtf16BeBom) ? kUtf16BeBom.size() : 0;
    case Encoding::CodePage: break;
    }
    return 0;
}

std::string_view bomOf(const TextFormat& format) {
    switch (format.encoding) {
    case Encoding::Utf8: return format.utf8Bom ? kUtf8Bom : std::string_view{};
    case Encoding::Utf16Le: return kUtf16LeBom;
    case Encoding::Utf16Be: return kUtf16BeBom;
    case Encoding::CodePage: break;
    }
    return {};
}

}  // namespace

int systemCodePage() {
#ifdef _WIN32
    // The system's ANSI code page where it has one byte a character; the
    // multi-byte ones (Japanese, Chinese, Korean) are not read so.
    const UINT codePage = GetACP();
    CPINFO info{};
    if (codePage != CP_UTF8 && GetCPInfo(codePage, &info) && info.MaxCharSize == 1) return int(codePage);
#endif
    return 1252;
}

TextFormat forNewDocument() {
#ifdef _WIN32
    return TextFormat{Encoding::CodePage, false, LineEnd::CrLf, systemCodePage()};
#else
    return TextFormat{Encoding::Utf8, false, LineEnd::CrLf};
#endif
}

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const Utf8Step step = utf8Step(bytes, i);
        if (!step.valid) return false;
        i += step.length;
    }
    return true;
}

TextFormat detectFormat(std::string_view bytes) {
    TextFormat format = forNewDocument();
    if (bytes.size() % 2 == 0 && (bytes.starts_with(kUtf16LeBom) || bytes.starts_with(kUtf16BeBom))) {
        format.encoding = bytes.starts_with(kUtf16LeBom) ? Encoding::Utf16Le : Encoding::Utf16Be;
        format.utf8Bom = false;
        std::size_t crlf = 0, lf = 0, cr = 0;
        const std::size_t units = bytes.size() / 2;
        for (std::size_t u = 1; u < units; ++u) {
            const char16_t c = unitAt(bytes, 2 * u, format.encoding);
            if (c == u'\r') {
                if (u + 1 < units && unitAt(bytes, 2 * u + 2, format.encoding) == u'\n') {
                    ++crlf;
                    ++u;
                } else {
                    ++cr;
                }
            } else if (c == u'\n') {
                ++lf;
            }
        }
        format.lineEnd = crlf >= lf && crlf >= cr ? LineEnd::CrLf : lf >= cr ? LineEnd::Lf : LineEnd::Cr;
        return format;
    }
    if (isValidUtf8(bytes)) {
        if (!isAscii(bytes)) {
            format.encoding = Encoding::Utf8;
            format.utf8Bom = bytes.starts_with(kUtf8Bom);
        }
    } else {
        format.encoding = Encoding::CodePage;
        format.codePage = systemCodePage();
        format.utf8Bom = false;
    }

    std::size_t crlf = 0, lf = 0, cr = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++crlf;
                ++i;
            } else {
                ++cr;
            }
        } else if (bytes[i] == '\n') {
            ++lf;
        }
    }
    if (crlf >= lf && crlf >= cr) {
        format.lineEnd = LineEnd::CrLf;
    } else if (lf >= cr) {
        format.lineEnd = LineEnd::Lf;
    } else {
        format.lineEnd = LineEnd::Cr;
    }
    return format;
}

std::u16string decodeText(std::string_view bytes, const TextFormat& format) {
    bytes.remove_prefix(bomLength(bytes, format));
    std::u16string text;
    text.reserve(bytes.size());
    decodeInto(bytes, format, [&](char16_t c) { text.push_back(c); });
    return text;
}

EncodedText encodeText(std::u16string_view text, const TextFormat& format) {
    EncodedText result;
    result.format = format;
    if (format.encoding != Encoding::Utf8) result.format.utf8Bom = false;
    // Every character fits UTF-16, pairs or not: nothing to replace there.

    const auto encodeAs = [&](const TextFormat& f) {
        result.bytes.clear();
        result.bytes.reserve(text.size() + text.size() / 8 + 4);
        result.bytes.append(bomOf(f));
        result.replacedCharacters = 0;
        return encodeInto(
            text, f, [&](std::string_view s) { result.bytes.append(s); }, result.replacedCharacters);
    };

    if (!encodeAs(result.format)) {
        // The 8-bit code page cannot hold the text. Writing '?' in place of
        // the missing characters would lose them without a trace; UTF-8 holds
        // them all. No byte-order mark: command interpreters stumble over it.
        result.format.encoding = Encoding::Utf8;
        result.format.utf8Bom = false;
        result.switchedToUtf8 = true;
        encodeAs(result.format);
    }
    return result;
}

LoadedScript::LoadedScript() : format_(forNewDocument()) {}

LoadedScript::LoadedScript(const TextFormat& format) : format_(format) {}

LoadedScript LoadedScript::fromBytes(std::string_view bytes, std::u16string& text) {
    LoadedScript script(detectFormat(bytes));
    text = decodeText(bytes, script.format_);

    // Compare the plain re-encoding with the bytes as it is produced, so that
    // no second copy of a large file is built just to find out it matches.
    std::string_view rest = bytes;
    bool same = true;
    rest.remove_prefix(bomLength(rest, script.format_));  // detectFormat saw it there
    std::size_t replaced = 0;
    const bool complete = encodeInto(
        text, script.format_,
        [&](std::string_view s) {
            if (!same) return;
            if (rest.starts_with(s)) {
                rest.remove_prefix(s.size());
            } else {
                same = false;
            }
        },
        replaced);
    if (!complete || !same || !rest.empty() || replaced != 0) {
        script.original_.emplace(bytes);
    }
    return script;
}

bool LoadedScript::decodesTo(std::u16string_view text) const {
    if (!original_) return false;
    std::string_view bytes = *original_;
    bytes.remove_prefix(bomLength(bytes, format_));
    std::size_t pos = 0;
    bool same = true;
    decodeInto(bytes, format_, [&](char16_t c) {
        if (!same) return;
        if (pos < text.size() && text[pos] == c) {
            ++pos;
        } else {
            same = false;
        }
    });
    return same && pos == text.size();
}

EncodedScript LoadedScript::encode(std::u16string_view text) const {
    EncodedScript result;
    if (decodesTo(text)) {
        result.bytes = *original_;
        result.format = format_;
        result.originalBytes = true;
        return result;
    }
    static_cast<EncodedText&>(result) = encodeText(text, format_);
    return result;
}

void LoadedScript::markSaved(const EncodedScript& saved) {
    if (saved.originalBytes) return;
    format_ = saved.format;
    original_.reset();
}

}  // namespace mq::app
