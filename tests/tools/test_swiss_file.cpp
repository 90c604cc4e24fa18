// Swiss grid files to WGS 84 and back: the conversion of whole files, the
// delimiter choices, the column orders and the lines that stop a run.
#include "temp_folder.h"
#include "tools/swiss_file.h"
#include "tools/tile_fixture.h"

#include <doctest/doctest.h>

#include <string>

using namespace mq::testing;

TEST_CASE("convert_swiss_file")
{
    struct Row {
        std::string input;
        const char* delimiter;   // as chosen in the delimiter box
        bool yx, to_swiss;
        std::string output;
        std::string error;       // the error text contains this; empty: none
    };
    const std::string origin = "7.43863722\t46.95108111\t12.5\r\n";
    const std::string bern = "600000.35\t199999.83\t5\r\n";
    const Row rows[] = {
        {"200000,600000,12.5\n", ",", false, false, origin, ""},
        {"600000,200000,12.5\r\n", ",", true, false, origin, ""},
        // The last line without a line end.
        {"200000,600000,12.5\r\n100000,700000,-3", ",", false, false,
         origin + "8.73049933\t46.04412678\t-3\r\n", ""},
        {"200000;600000;12.5\n", ";", false, false, origin, ""},
        // Two blanks give an empty field.
        {"200000 600000  12.5\n", "Space", false, false, "7.43863722\t46.95108111\t\r\n", ""},
        {"200000  600000 12.5\n", "Space", false, false, "", "line 1: field 2 (Y) is not a number: ''"},
        // The fourth field dropped, the bytes of the third kept.
        {"200000,600000,\xe9t\xe9,x\n", ",", false, false, "7.43863722\t46.95108111\t\xe9t\xe9\r\n", ""},
        {"", ",", false, false, "", ""},
        {"\r\n200000,600000,12.5\n\n", ",", false, false, origin, ""},  // empty lines skipped
        {"200000,600000,12.5\n200000,600000\n200000,600000,1\n", ",", false, false, origin,
         "line 2: the line has fewer than three fields"},
        {"2OOOOO,600000,1\n", ",", false, false, "", "line 1: field 1 (X) is not a number: '2OOOOO'"},
        // Control bytes are shown, not echoed; a byte-order mark is no part of field 1.
        {std::string("2\0\t0,600000,1\n", 14), ",", false, false, "",
         "field 1 (X) is not a number: '2\\x00\\x090'"},
        {"\xEF\xBB\xBF"
         "200000,600000,12.5\n",
         ",", false, false, origin, ""},
        {"200000,600000,1\r200000,600000,2\r", ",", false, false, "",
         "line 1: the line holds a CR before its end"},
        {"200000,600000,1\n", "", false, false, "", "fewer than three fields"},
        {"7.43863722,46.95108111,5\n", ",", false, true, bern, ""},
        {"46.95108111,7.43863722,5\n", ",", true, true, bern, ""},
        {"7.4,95,5\n", ",", false, true, "",
         "line 1: latitude 95 is out of range: latitudes run from -90 to 90"},
        {"-180.5,45,5\n", ",", false, true, "", "line 1: longitude -180.5 is out of range"},
        {"200000,600000,1\n1e308,600000,2\n", ",", false, false, "7.43863722\t46.95108111\t1\r\n",
         "line 2: X 1E+308 and Y 600000 lie farther than 1000 km from the origin"},
        {"1200000,2600000,1\n", ",", false, false, "", "look like 7-digit coordinates"},
        {"-800001,600000,1\n", ",", false, false, "", "farther than 1000 km"},
        {"-800000,600000,1\n", ",", false, false, "7.43863722\t37.98774778\t1\r\n", ""},   // 1000 km exactly
    };
    for (const Row& row : rows) {
        CAPTURE(row.input);
        TempFolder dir;
        const std::string in = dir.write("in.txt", row.input);
        const mq::tools::SwissFileOptions options{mq::tools::swiss_delimiter(row.delimiter), row.yx, row.to_swiss};
        const auto r = mq::tools::convert_swiss_file(in, dir.path("out.txt"), options, {}, {});
        CHECK(matched(error_text(r), row.error) == row.error);
        if (!r.ok()) CHECK(r.error().file == in);
        CHECK(dir.read("out.txt") == row.output);
    }
}

TEST_CASE("convert_swiss_file refuses before writing, and a stop keeps the rows written")
{
    TempFolder dir;
    const std::string data = "200000,600000,1\n200000,600000,2\n200000,600000,3\n";
    const std::string in = dir.write("in.txt", data);
    const std::string same = "output file is the input file", missing = "cannot open";
    CHECK(matched(error_text(mq::tools::convert_swiss_file(in, in, {}, {}, {})), same) == same);
    CHECK(dir.read("in.txt") == data);
    const auto none = mq::tools::convert_swiss_file(dir.path("none.txt"), dir.path("out.txt"), {}, {}, {});
    CHECK(matched(error_text(none), missing) == missing);
    CHECK(!dir.exists("out.txt"));

    std::int64_t last_count = 0;
    int asked = 0;
    const auto r = mq::tools::convert_swiss_file(
        in, dir.path("out.txt"), {}, [&](const mq::tools::Progress& p) { last_count = p.count; },
        [&] { return ++asked > 2; });
    REQUIRE(r.ok());
    CHECK((r->stopped && r->records == 2 && last_count == 2));
    CHECK(dir.read("out.txt") == "7.43863722\t46.95108111\t1\r\n7.43863722\t46.95108111\t2\r\n");
}
