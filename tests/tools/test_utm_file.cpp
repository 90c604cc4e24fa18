// The UTM file conversion: what it writes, where it stops and what it keeps.
#include "temp_folder.h"
#include "tools/utm_file.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <string>

using mq::ErrorKind;

TEST_CASE("convert_utm_file: lines written, and the line that stops a run")
{
    struct Row {
        const char* hemisphere;
        std::string input, output;
        ErrorKind kind;        // of the Error; the window's number depends on it
        const char* message;   // Error::text() after the input's path and ", "; empty: no Error
    };
    const std::string line1 = "9:00.000000\t50:00.000000\t12.5\r\n";
    const char* no_delimiter = "line 2: there is no TAB or blank as delimiter in the line";
    const Row rows[] = {
        {"N", "500000\t5538630.703\t12.5\n", line1, ErrorKind::access, ""},
        // Blanks for TABs, CR LF, later fields ignored.
        {"N", "500000 5538630.703 12.5 x\r\n", line1, ErrorKind::access, ""},
        {"N", "# header\n500000 5538630.703 12.5\n", line1, ErrorKind::access, ""},
        {"S", "500000 4461369.297 -3\n", "9:00.000000\t-50:00.000000\t-3\r\n", ErrorKind::access, ""},
        {"N", "500000 5538630.703 12.5\n\n500000 5538630.703 1\n", line1, ErrorKind::past_end, no_delimiter},
        {"N", "500000 5538630.703 12.5\n5000005538630.703\n", line1, ErrorKind::past_end, no_delimiter},
        {"N", "500000  5538630.703 12.5\n", "", ErrorKind::type_mismatch, "line 1: field 2 is not a number"},   // an empty field
        {"N", "500000 5538630.703\n", "", ErrorKind::type_mismatch, "line 1: field 3 is missing"},
        {"N", "500000 5538630.703 12.5\r500000 5538630.703 1\r", "", ErrorKind::type_mismatch, "line 1: the line holds a CR before its end: lines must end with LF or CR LF, not with CR alone"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.input);
        mq::testing::TempFolder dir;
        const std::string in = dir.write("in.txt", row.input);
        const auto r = mq::tools::convert_utm_file(in, dir.path("out.txt"), {32, row.hemisphere}, {}, {});
        CHECK((r ? "" : r.error().text()) == (*row.message ? in + ", " + row.message : ""));
        CHECK((r ? row.kind : r.error().kind) == row.kind);
        CHECK(dir.read("out.txt") == row.output);
        if (r) CHECK(r->records == std::count(row.output.begin(), row.output.end(), '\n'));
    }
}

TEST_CASE("convert_utm_file refuses bad paths and zones before writing")
{
    struct Row {
        const char *in, *out;
        std::int16_t zone;
        const char* message;   // part of Error::text()
    };
    const Row rows[] = {
        {"no/in.txt", "out.txt", 32, "no/in.txt: its folder does not exist"},
        {"in.txt", "no/out.txt", 32, "no/out.txt: its folder does not exist"},
        {"in.txt", "out.txt", 6000, "zone 6000"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.message);
        mq::testing::TempFolder dir;
        const std::string data = "500000 5538630.703 12.5\n";
        dir.write("in.txt", data);
        dir.write("out.txt", "old");
        const auto r = mq::tools::convert_utm_file(dir.path(row.in), dir.path(row.out), {row.zone, "N"}, {}, {});
        REQUIRE(!r);
        CHECK(r.error().text().find(row.message) != std::string::npos);
        CHECK(r.error().line == 0);
        CHECK(dir.read("in.txt") + dir.read("out.txt") == data + "old");   // nothing written
    }
}

TEST_CASE("convert_utm_file: a stop keeps what was written")
{
    mq::testing::TempFolder dir;
    std::string data;
    for (int i = 0; i < 2500; ++i) data += "500000 5538630.703 " + std::to_string(i) + "\n";
    std::int64_t last = 0;
    int asked = 0;
    const auto r = mq::tools::convert_utm_file(
        dir.write("in.txt", data), dir.path("out.txt"), {32, "N"},
        [&](const mq::tools::Progress& p) { last = p.count; }, [&] { return ++asked > 1200; });
    CHECK((r && r->stopped && r->records == 1200 && last == 1200));
    const std::string written = dir.read("out.txt");
    CHECK(std::count(written.begin(), written.end(), '\n') == 1200);
    CHECK(written.ends_with("\t1199\r\n"));
}
