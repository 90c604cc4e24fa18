// Swiss grid files to WGS 84 and back: the conversion of whole files, the
// delimiter choices, the column orders and the lines that stop a run.
#include "temp_folder.h"
#include "tools/swiss_file.h"

#include <doctest/doctest.h>

#include <string>

using mq::tools::SwissFileOptions;

TEST_CASE("convert_swiss_file")
{
    struct Row {
        const char* name;
        std::string input;
        const char* delimiter;   // as chosen in the delimiter box
        bool yx, to_swiss;
        std::string output;
        const char* error;       // the error text contains this; empty: none
    };
    const std::string origin = "7.43863722\t46.95108111\t12.5\r\n";
    const std::string bern = "600000.35\t199999.83\t5\r\n";
    const Row rows[] = {
        {"origin", "200000,600000,12.5\n", ",", false, false, origin, ""},
        {"columns swapped", "600000,200000,12.5\r\n", ",", true, false, origin, ""},
        {"two lines, last without line end", "200000,600000,12.5\r\n100000,700000,-3", ",", false, false,
         origin + "8.73049933\t46.04412678\t-3\r\n", ""},
        {"semicolon typed", "200000;600000;12.5\n", ";", false, false, origin, ""},
        {"Space, two blanks give an empty third field", "200000 600000  12.5\n", "Space", false, false,
         "7.43863722\t46.95108111\t\r\n", ""},
        {"Space, two blanks give an empty Y", "200000  600000 12.5\n", "Space", false, false, "",
         "line 1: field 2 (Y) is not a number: ''"},
        {"fourth field dropped, bytes of the third kept", "200000,600000,\xe9t\xe9,x\n", ",", false, false,
         "7.43863722\t46.95108111\t\xe9t\xe9\r\n", ""},
        {"empty input", "", ",", false, false, "", ""},
        {"empty lines skipped", "\r\n200000,600000,12.5\n\n", ",", false, false, origin, ""},
        {"too few fields, earlier rows kept", "200000,600000,12.5\n200000,600000\n200000,600000,1\n", ",", false,
         false, origin, "line 2: the line has fewer than three fields"},
        {"X not a number", "2OOOOO,600000,1\n", ",", false, false, "",
         "line 1: field 1 (X) is not a number: '2OOOOO'"},
        {"empty delimiter", "200000,600000,1\n", "", false, false, "", "fewer than three fields"},
        {"to Swiss", "7.43863722,46.95108111,5\n", ",", false, true, bern, ""},
        {"to Swiss, latitude first", "46.95108111,7.43863722,5\n", ",", true, true, bern, ""},
        {"to Swiss, latitude out of range", "7.4,95,5\n", ",", false, true, "",
         "line 1: longitude or latitude out of range"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.name);
        mq::testing::TempFolder dir;
        const std::string in = dir.write("in.txt", row.input);
        const SwissFileOptions options{mq::tools::swiss_delimiter(row.delimiter), row.yx, row.to_swiss};
        const auto r = mq::tools::convert_swiss_file(in, dir.path("out.txt"), options, {}, {});
        if (*row.error == 0) {
            CHECK(r.ok());
        } else {
            REQUIRE(!r.ok());
            CHECK(r.error().text().find(row.error) != std::string::npos);
            CHECK(r.error().file == in);
        }
        CHECK(dir.read("out.txt") == row.output);
    }
}

TEST_CASE("convert_swiss_file refuses before writing, and a stop keeps the rows written")
{
    mq::testing::TempFolder dir;
    const std::string in = dir.write("in.txt", "200000,600000,1\n200000,600000,2\n200000,600000,3\n");
    const auto same = mq::tools::convert_swiss_file(in, in, {}, {}, {});
    REQUIRE(!same.ok());
    CHECK(same.error().message.find("output file is the input file") != std::string::npos);
    CHECK(dir.read("in.txt") == "200000,600000,1\n200000,600000,2\n200000,600000,3\n");

    const auto missing = mq::tools::convert_swiss_file(dir.path("none.txt"), dir.path("out.txt"), {}, {}, {});
    REQUIRE(!missing.ok());
    CHECK(missing.error().message.find("cannot open") != std::string::npos);
    CHECK(!dir.exists("out.txt"));

    std::int64_t last_count = 0;
    int asked = 0;
    const auto r = mq::tools::convert_swiss_file(
        in, dir.path("out.txt"), {}, [&](const mq::tools::Progress& p) { last_count = p.count; },
        [&] { return ++asked > 2; });
    REQUIRE(r.ok());
    CHECK(r->stopped);
    CHECK(r->rows == 2);
    CHECK(last_count == 2);
    CHECK(dir.read("out.txt") == "7.43863722\t46.95108111\t1\r\n7.43863722\t46.95108111\t2\r\n");
}
