// The Script > REM command: "REM " in front of each selected line, or every
// "REM " taken away again (the rows of tests/common/data/tables.txt).
#include "case_file.h"
#include "catalogue/comment_toggle.h"
#include "common/golden_rows.h"

#include <doctest/doctest.h>

namespace {

const char* const kGolden =
#include "tables_golden.h"
    ;

}  // namespace

TEST_CASE("toggle_rem")
{
    for (const auto& row : mq::testing::golden_rows(kGolden, "rem_toggle")) {   // selection | result
        const std::string selection = mq::testing::unescape(row[0]);
        CAPTURE(selection);
        CHECK(mq::catalogue::toggle_rem(selection) == mq::testing::unescape(row[1]));
    }
}
