// Arguments and paths reach us as wide texts on Windows and must arrive as
// the same UTF-8 on every platform.
#include "common/utf8.h"
#include "temp_folder.h"

#include <doctest/doctest.h>

#include <fstream>
#include <vector>

using namespace mq::text;

namespace {

// Code points as the platform's wide text (surrogate pairs where wchar_t has 16 bits).
std::wstring wide(std::u32string_view code_points) {
    std::wstring out;
    for (char32_t c : code_points) {
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

}  // namespace

TEST_CASE("wide texts and UTF-8 convert both ways") {
    const std::pair<std::u32string_view, std::string_view> cases[] = {
        {U"", ""}, {U"Z\u00fcrich.txt", "Z\xc3\xbcrich.txt"},
        {U"\u0391\u03b8\u03ae\u03bd\u03b1", "\xce\x91\xce\xb8\xce\xae\xce\xbd\xce\xb1"},
        {U"\u20ac\u007f\u0080\u07ff\u0800\uffff", "\xe2\x82\xac\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf"},
        {U"\U0001F5FA map", "\xf0\x9f\x97\xba map"}, {U"\U0010FFFF", "\xf4\x8f\xbf\xbf"},
    };
    for (const auto& [code_points, utf8] : cases) {
        CAPTURE(utf8);
        CHECK(utf8_from_wide(wide(code_points)) == utf8);
        CHECK(wide_from_utf8(utf8) == wide(code_points));
        CHECK(is_valid_utf8(utf8));
    }
}

TEST_CASE("broken texts, and Windows-1252") {
    // An unpaired surrogate (a lone half of a pair) becomes U+FFFD.
    CHECK(utf8_from_wide(std::wstring(1, static_cast<wchar_t>(0xD800)) + L"a") == "\xef\xbf\xbd" "a");
    CHECK(utf8_from_wide(std::wstring(1, static_cast<wchar_t>(0xDC00))) == "\xef\xbf\xbd");
    // Windows-1252, cut short, overlong "/" (twice), an encoded surrogate,
    // above U+10FFFF, a lone continuation byte.
    for (const char* text :
         {"Z\xfcrich.txt", "\xc3", "\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\x80"}) {
        CAPTURE(text);
        CHECK(wide_from_utf8(text) == std::nullopt);
        CHECK(!is_valid_utf8(text));
    }
    // Windows-1252: Latin-1 bytes, the code page's own 0x80..0x9F and an unassigned byte.
    CHECK(utf8_from_cp1252("Z\xfcrich \x80\x9f\x81\xff") ==
          "Z\xc3\xbcrich \xe2\x82\xac\xc5\xb8\xc2\x81\xc3\xbf");
}

TEST_CASE("a non-ASCII path converts, and the file it names can be written and found") {
    namespace fs = std::filesystem;
    const std::string name = "Z\xc3\xbcrich \xce\x91\xce\xb8\xce\xae\xce\xbd\xce\xb1.txt";
    const auto path = path_from_utf8(name);
    REQUIRE(path);
    CHECK(utf8_from_path(*path) == name);
#ifdef _WIN32
    CHECK(path->native() == wide(U"Z\u00fcrich \u0391\u03b8\u03ae\u03bd\u03b1.txt"));
    CHECK(path_from_utf8("Z\xfcrich.txt") == std::nullopt);
#else
    CHECK(path_from_utf8("Z\xfcrich.txt").value().native() == "Z\xfcrich.txt");   // bytes as they are
#endif

    mq::testing::TempFolder folder;
    CHECK((std::ofstream(folder.root() / *path, std::ios::binary) << "45.5\r\n").good());
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder.root()))
        found.push_back(utf8_from_path(entry.path().filename()));
    CHECK(found == std::vector<std::string>{name});
    CHECK(fs::file_size(folder.root() / *path) == 6);
}
