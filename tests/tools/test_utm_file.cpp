// The UTM file conversion's errors: their kind gives the number the window
// shows; what it writes is in data/tool_cases.txt.
#include "temp_folder.h"
#include "tools/utm_file.h"

#include <doctest/doctest.h>

using mq::ErrorKind;
using mq::tools::convert_utm_file;

TEST_CASE("convert_utm_file: the kind of each error")
{
    const std::pair<const char*, ErrorKind> rows[] = {
        {"500000 5538630.703 12.5\n5000005538630.703\n", ErrorKind::past_end},
        {"500000  5538630.703 12.5\n", ErrorKind::type_mismatch},
        {"500000 5538630.703\n", ErrorKind::type_mismatch},
        {"500000 5538630.703 12.5\r500000 5538630.703 1\r", ErrorKind::type_mismatch},
    };
    for (const auto& [input, kind] : rows) {
        CAPTURE(input);
        mq::testing::TempFolder dir;
        const auto r = convert_utm_file(dir.write("in.txt", input), dir.path("out.txt"), {32, "N"}, {}, {});
        REQUIRE(!r);
        CHECK(r.error().kind == kind);
    }
    // A zone the command line cannot give, before anything is written.
    mq::testing::TempFolder dir;
    dir.write("out.txt", "old");
    const auto r = convert_utm_file(dir.write("in.txt", "1 2 3\n"), dir.path("out.txt"), {6000, "N"}, {}, {});
    CHECK((!r && r.error().text().find("zone 6000") != std::string::npos && r.error().line == 0));
    CHECK(dir.read("out.txt") == "old");
}
