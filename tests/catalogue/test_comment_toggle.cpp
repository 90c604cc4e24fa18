// The Script > REM command: "REM " in front of each selected line, or every
// "REM " taken away again.
#include "catalogue/comment_toggle.h"

#include <doctest/doctest.h>

#include <utility>

TEST_CASE("toggle_rem")
{
    const std::pair<const char*, const char*> rows[] = {
        {"", "REM "},  // nothing selected
        {"echo *", "REM echo *"},
        {"echo a\r\necho b\r\n", "REM echo a\r\nREM echo b\r\n"},
        {"echo a\r\necho b", "REM echo a\r\nREM echo b"},
        {"\r\n", "REM \r\n"},
        {"a\r\n\r\nb", "REM a\r\nREM \r\nREM b"},
        {"a\r\n\r\n", "REM a\r\nREM \r\n"},
        {"a\nb\rc", "REM a\nb\rc"},                            // a bare LF or CR is no line end
        {"rem a\r\nrem b\r\n", "REM rem a\r\nREM rem b\r\n"},  // lower case is not the mark
        {"REM echo a", "echo a"},
        {"REM echo a\r\necho b\r\n", "echo a\r\necho b\r\n"},  // only the marked line
        {"REM a\r\nREM b\r\nREM c", "a\r\nb\r\nc"},
        {"echo REMOVE\r\n", "echo REMOVE\r\n"},  // REM without a blank stays
        {"REM", "REM"},
        {"echo REM x", "echo x"},  // inside a line too
        {"REM REM a", "a"},        // a doubled mark loses both
        {"REMREM a", "REMa"},      // marks do not overlap
        {"REM ", ""},
        {"gmtset X_ORIGIN\t= 2c\r\n\r\npsxy a -O >> %ps_file%.ps\r\n",
         "REM gmtset X_ORIGIN\t= 2c\r\nREM \r\nREM psxy a -O >> "
         "%ps_file%.ps\r\n"},
        {"REM gmtset X_ORIGIN\t= 2c\r\nREM \r\nREM psxy a -O >> %ps_file%.ps\r\n",
         "gmtset X_ORIGIN\t= 2c\r\n\r\npsxy a -O >> %ps_file%.ps\r\n"},
    };
    for (const auto& [selection, expected] : rows) {
        CAPTURE(selection);
        CHECK(mq::catalogue::toggle_rem(selection) == expected);
    }
}
