// UTF-8 at the edges of the program: command-line arguments, file paths and
// 8-bit text. Inside, every text is UTF-8; Windows hands out and takes wide
// (UTF-16) texts, and older files are in the 8-bit code page Windows-1252, so
// these functions convert at the boundary. They are written without the
// Windows API, so the same code is tested everywhere.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mq::text {

// The UTF-8 form of a wide text: UTF-16 where wchar_t has 16 bits (Windows),
// UTF-32 elsewhere. An unpaired surrogate or a value above U+10FFFF becomes
// U+FFFD, so the result is always valid UTF-8.
std::string utf8_from_wide(std::wstring_view wide);

// The wide form of a UTF-8 text; nullopt when the text is not valid UTF-8
// (a stray byte such as 0xFC, an overlong form, an encoded surrogate).
std::optional<std::wstring> wide_from_utf8(std::string_view utf8);

// True when `bytes` are well-formed UTF-8 (no stray or truncated sequence, no
// overlong form, no encoded surrogate, nothing above U+10FFFF).
bool is_valid_utf8(std::string_view bytes);

// The character a byte of Windows-1252 stands for. The five bytes the code
// page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1
// control characters of the same value, so every byte has one.
char16_t unicode_from_cp1252(unsigned char byte);

// The UTF-8 form of Windows-1252 text.
std::string utf8_from_cp1252(std::string_view bytes);

// The path a UTF-8 text names. On Windows the text is converted to the wide
// form the file system uses, and a text that is not valid UTF-8 gives
// nullopt (the caller reports the path as unusable). Elsewhere the bytes are
// the path as they stand, whatever they are.
std::optional<std::filesystem::path> path_from_utf8(std::string_view utf8);

// The UTF-8 text of a path, for messages and for writing into files.
std::string utf8_from_path(const std::filesystem::path& path);

}  // namespace mq::text
