// Turning the bytes of a script file into editor text and back, without loss.
//
// The editor holds lines separated by a single u'\n'. A file that starts with
// a UTF-16 byte-order mark (FF FE or FE FF) and has an even number of bytes
// is decoded as UTF-16 and written back so, mark included. Otherwise it is
// decoded as UTF-8 when its bytes are valid UTF-8 (a leading byte-order mark
// is remembered and written back), else in the 8-bit code page (on Windows
// the system's own, elsewhere Windows-1252), in which every byte stands for
// exactly one character. (So
// 8-bit text that starts with "ÿþ" or "þÿ" and has an even number of bytes
// reads as UTF-16, as it does in other Windows editors; its bytes are still
// saved back unchanged.) Its
// line-end convention (CR LF, LF or CR) is remembered as well, and saving
// writes the text back in the same encoding and convention.
//
// A file whose bytes would not come back from that plain re-encoding (mixed
// line ends, for example) is still saved byte for byte as it was read, as
// long as the text has not been changed: `LoadedScript` keeps the original
// bytes for exactly that case.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace mq::app {

enum class Encoding {
    Utf8,
    // An 8-bit code page (`TextFormat::codePage`): Windows-1252, or on
    // Windows the system's own. Its unassigned bytes (in 1252: 0x81, 0x8D,
    // 0x8F, 0x90 and 0x9D) stand for the C1 characters of their numbers
    // (U+0081 ...), so that every byte sequence decodes and encodes back
    // unchanged.
    CodePage,
    // UTF-16 little-endian and big-endian, always with the byte-order mark.
    // Unpaired surrogates are kept as they are.
    Utf16Le,
    Utf16Be,
};

enum class LineEnd { CrLf, Lf, Cr };

// How a document is stored on disk.
struct TextFormat {
    Encoding encoding = Encoding::Utf8;
    bool utf8Bom = false;  // only meaningful with Encoding::Utf8
    LineEnd lineEnd = LineEnd::CrLf;
    int codePage = 1252;   // only meaningful with Encoding::CodePage

    bool operator==(const TextFormat&) const = default;
};

// The 8-bit code page scripts are read and written in: on Windows the
// system's ANSI code page when it has one byte a character, else 1252.
int systemCodePage();

// The format of a document that has never been saved: CR LF line ends; the
// system's 8-bit code page on Windows, UTF-8 elsewhere.
TextFormat forNewDocument();

// True when `bytes` is well-formed UTF-8 (no overlong forms, no encoded
// surrogates, nothing above U+10FFFF, no truncated sequences).
bool isValidUtf8(std::string_view bytes);

// Works out the format of a file's bytes:
// - encoding: UTF-16 when a UTF-16 byte-order mark starts an even number of
//   bytes; UTF-8 if the bytes are valid UTF-8 and hold at least one byte
//   of 0x80 or above; the system's 8-bit code page if they are not valid UTF-8; plain ASCII
//   (and the empty file) fits both and takes the encoding of a new document;
// - line end: the most frequent of CR LF, LF and lone CR; ties go to CR LF,
//   then LF; a file without any line end gets CR LF.
TextFormat detectFormat(std::string_view bytes);

// Decodes `bytes` stored in `format` into editor text. Every CR LF, lone LF,
// lone CR, U+2029 (paragraph separator), U+FDD0 and U+FDD1 (which the editor
// takes for frame marks) becomes u'\n'. With UTF-8, a leading byte-order mark
// is skipped when `format.utf8Bom` is set, and ill-formed sequences (which
// `detectFormat` never lets through) become U+FFFD.
std::u16string decodeText(std::string_view bytes, const TextFormat& format);

struct EncodedText {
    std::string bytes;
    // The format the bytes are actually in. It differs from the requested
    // one when `switchedToUtf8` is set.
    TextFormat format;
    // The text held characters that the 8-bit code page cannot store, so the
    // whole text was written as UTF-8 (without byte-order mark) instead of
    // losing them. The user should be told.
    bool switchedToUtf8 = false;
    // Unpaired UTF-16 surrogates, which no encoding can store, written as
    // U+FFFD. Zero for any text that came from `decodeText`.
    std::size_t replacedCharacters = 0;
};

// Encodes editor text in `format`. Every u'\n', CR LF pair and lone CR of
// the text is written as the format's line end; nothing is added (no final
// line end).
EncodedText encodeText(std::u16string_view text, const TextFormat& format);

struct EncodedScript : EncodedText {
    // The bytes are the original bytes of the file, handed back because the
    // text was exactly the one read from them.
    bool originalBytes = false;
};

// The on-disk side of one open script: its format and, when needed, the bytes
// it was read from.
class LoadedScript {
public:
    // A document that has never been saved.
    LoadedScript();
    explicit LoadedScript(const TextFormat& format);

    // Decodes the bytes of a file; the text goes to `text`. Runs in linear
    // time. The original bytes are kept only when the plain re-encoding of
    // the text would differ from them.
    static LoadedScript fromBytes(std::string_view bytes, std::u16string& text);

    const TextFormat& format() const { return format_; }
    bool keepsOriginalBytes() const { return original_.has_value(); }

    // The bytes to save for `text`: the original bytes when `text` is exactly
    // the text they decoded to, otherwise `text` encoded in `format()` (or in
    // UTF-8, see `EncodedText::switchedToUtf8`). Does not change the object.
    EncodedScript encode(std::u16string_view text) const;

    // To be called once the bytes of `saved` have safely reached the file:
    // the document is now in `saved.format`, and the original bytes are no
    // longer what is on disk unless they were what was written.
    void markSaved(const EncodedScript& saved);

private:
    bool decodesTo(std::u16string_view text) const;

    TextFormat format_;
    std::optional<std::string> original_;
};

}  // namespace mq::app
