// The UTM file conversion: what it writes, where it stops and what it keeps.
#include "temp_folder.h"
#include "tools/utm_file.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <string>

using mq::tools::UtmFileFailure;
using F = UtmFileFailure;

TEST_CASE("convert_utm_file: lines written, and the line that stops a run")
{
    struct Row {
        const char* hemisphere;
        std::string input, output;
        UtmFileFailure failure;
        const char* message;   // Error::text() after the input's path and ", "
    };
    const std::string line1 = "9:00.000000\t50:00.000000\t12.5\r\n";
    const char* no_delimiter = "line 2: there is no TAB or blank as delimiter in the line";
    const Row rows[] = {
        {"N", "500000\t5538630.703\t12.5\n", line1, F::None, ""},
        // Blanks for TABs, CR LF, later fields ignored.
        {"N", "500000 5538630.703 12.5 x\r\n", line1, F::None, ""},
        {"N", "# header\n500000 5538630.703 12.5\n", line1, F::None, ""},
        {"S", "500000 4461369.297 -3\n", "9:00.000000\t-50:00.000000\t-3\r\n", F::None, ""},
        {"N", "500000 5538630.703 12.5\n\n500000 5538630.703 1\n", line1, F::NoDelimiter, no_delimiter},
        {"N", "500000 5538630.703 12.5\n5000005538630.703\n", line1, F::NoDelimiter, no_delimiter},
        {"N", "500000  5538630.703 12.5\n", "", F::BadLine, "line 1: field 2 is not a number"},   // an empty field
        {"N", "500000 5538630.703\n", "", F::BadLine, "line 1: field 3 is missing"},
        {"N", "500000 5538630.703 12.5\r500000 5538630.703 1\r", "", F::BadLine, "line 1: the line holds a CR before its end: lines must end with LF or CR LF, not with CR alone"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.input);
        mq::testing::TempFolder dir;
        const std::string in = dir.write("in.txt", row.input);
        const auto r = mq::tools::convert_utm_file(in, dir.path("out.txt"), {32, row.hemisphere}, {}, {});
        CHECK(r.failure == row.failure);
        CHECK(r.error.text() == (row.failure == F::None ? "" : in + ", " + row.message));
        CHECK(dir.read("out.txt") == row.output);
        CHECK(r.written == std::count(row.output.begin(), row.output.end(), '\n'));
    }
}

TEST_CASE("convert_utm_file refuses bad paths and zones before writing")
{
    struct Row {
        const char *in, *out;
        std::int16_t zone;
        UtmFileFailure failure;
        const char* message;   // part of Error::text()
    };
    const Row rows[] = {
        {"none.txt", "out.txt", 32, F::CannotRead, "none.txt"},
        {"no/in.txt", "out.txt", 32, F::WrongPath, "folder"},
        {"in.txt", "no/out.txt", 32, F::WrongPath, "folder"},
        {"in.txt", "./in.txt", 32, F::SameFile, "input file"},
        {"in.txt", "out.txt", 6000, F::BadZone, "zone 6000"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.message);
        mq::testing::TempFolder dir;
        const std::string data = "500000 5538630.703 12.5\n";
        dir.write("in.txt", data);
        dir.write("out.txt", "old");
        const auto r = mq::tools::convert_utm_file(dir.path(row.in), dir.path(row.out), {row.zone, "N"}, {}, {});
        CHECK(r.failure == row.failure);
        CHECK(r.error.text().find(row.message) != std::string::npos);
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
    CHECK((r.ok() && r.stopped && r.written == 1200 && last == 1200));
    const std::string written = dir.read("out.txt");
    CHECK(std::count(written.begin(), written.end(), '\n') == 1200);
    CHECK(written.ends_with("\t1199\r\n"));
}
