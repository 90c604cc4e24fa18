// The UTM file conversion: what it writes, where it stops and what it keeps.
#include "temp_folder.h"
#include "tools/utm_file.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <string>

using mq::tools::UtmFileFailure;

namespace {

std::int64_t line_count(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

}  // namespace

TEST_CASE("convert_utm_file: lines written, and the line that stops a run")
{
    struct Row {
        const char* name;
        const char* hemisphere;
        std::string input, output;
        UtmFileFailure failure;
        const char* message;   // Error::text() after the input's path and ", "
    };
    const std::string line1 = "9:00.000000\t50:00.000000\t12.5\r\n";
    const Row rows[] = {
        {"TABs", "N", "500000\t5538630.703\t12.5\n", line1, UtmFileFailure::None, ""},
        {"blanks for TABs, CR LF, later fields ignored", "N", "500000 5538630.703 12.5 x\r\n", line1,
         UtmFileFailure::None, ""},
        {"comment line", "N", "# header\n500000 5538630.703 12.5\n", line1, UtmFileFailure::None, ""},
        {"south", "S", "500000 4461369.297 -3\n", "9:00.000000\t-50:00.000000\t-3\r\n", UtmFileFailure::None, ""},
        {"empty line", "N", "500000 5538630.703 12.5\n\n500000 5538630.703 1\n", line1, UtmFileFailure::NoDelimiter,
         "line 2: there is no TAB or blank as delimiter in the line"},
        {"no delimiter", "N", "500000 5538630.703 12.5\n5000005538630.703\n", line1, UtmFileFailure::NoDelimiter,
         "line 2: there is no TAB or blank as delimiter in the line"},
        {"two blanks: empty field", "N", "500000  5538630.703 12.5\n", "", UtmFileFailure::BadLine,
         "line 1: field 2 is not a number"},
        {"two fields", "N", "500000 5538630.703\n", "", UtmFileFailure::BadLine, "line 1: field 3 is missing"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.name);
        mq::testing::TempFolder dir;
        const std::string in = dir.write("in.txt", row.input);
        const auto r = mq::tools::convert_utm_file(in, dir.path("out.txt"), {32, row.hemisphere}, {}, {});
        CHECK(r.failure == row.failure);
        CHECK(r.error.text() == (row.failure == UtmFileFailure::None ? "" : in + ", " + row.message));
        CHECK(dir.read("out.txt") == row.output);
        CHECK(r.written == line_count(row.output));
    }
}

TEST_CASE("convert_utm_file refuses bad paths and zones before writing")
{
    struct Row {
        const char* in;
        const char* out;
        int zone;
        UtmFileFailure failure;
        const char* message;   // part of Error::text()
    };
    const Row rows[] = {
        {"none.txt", "out.txt", 32, UtmFileFailure::CannotRead, "none.txt"},
        {"no/in.txt", "out.txt", 32, UtmFileFailure::WrongPath, "folder"},
        {"in.txt", "no/out.txt", 32, UtmFileFailure::WrongPath, "folder"},
        {"in.txt", "./in.txt", 32, UtmFileFailure::SameFile, "input file"},
        {"in.txt", "out.txt", 6000, UtmFileFailure::BadZone, "zone 6000"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.in);
        CAPTURE(row.out);
        mq::testing::TempFolder dir;
        const std::string data = "500000 5538630.703 12.5\n";
        dir.write("in.txt", data);
        dir.write("out.txt", "old");
        const auto r = mq::tools::convert_utm_file(dir.path(row.in), dir.path(row.out),
                                                   {static_cast<std::int16_t>(row.zone), "N"}, {}, {});
        CHECK(r.failure == row.failure);
        CHECK(r.error.text().find(row.message) != std::string::npos);
        CHECK(dir.read("in.txt") == data);
        CHECK(dir.read("out.txt") == "old");   // nothing written
    }
}

TEST_CASE("convert_utm_file: a stop keeps what was written")
{
    mq::testing::TempFolder dir;
    std::string data;
    for (int i = 0; i < 2500; ++i) data += "500000 5538630.703 " + std::to_string(i) + "\n";
    const std::string in = dir.write("in.txt", data);
    std::int64_t last = 0;
    int asked = 0;
    const auto r = mq::tools::convert_utm_file(
        in, dir.path("out.txt"), {32, "N"}, [&](const mq::tools::Progress& p) { last = p.count; },
        [&] { return ++asked > 1200; });
    CHECK(r.ok());
    CHECK(r.stopped);
    CHECK(r.written == 1200);
    CHECK(last == 1200);
    const std::string written = dir.read("out.txt");
    CHECK(line_count(written) == 1200);
    CHECK(written.substr(written.size() - 7) == "\t1199\r\n");
}
