// Large files are converted in blocks on two cores; what comes out (lines,
// line numbers, records, the bad line, a stop) must be what the line-by-line
// loop gives.
#include "common/file_stream.h"
#include "temp_folder.h"
#include "tools/line_blocks.h"
#include "tools/swiss_file.h"
#include "tools/utm_file.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <functional>
#include <string>

using mq::tools::LineStep;

namespace {

// Echoes a line between brackets; a line "bad" fails.
const mq::tools::LineConverter kEcho = [](std::string_view line, std::string& out, mq::Error& error) {
    if (line == "bad") {
        error = mq::Error{"a bad line", {}, 0};
        return LineStep::failed;
    }
    if (line.empty()) return LineStep::skipped;
    out += '[';
    out += line;
    out += "]\n";
    return LineStep::written;
};

struct Outcome {
    std::string output;
    std::int64_t lines = 0, records = 0, bad_line = 0;
    bool stopped = false;
};

// The same file through the line-by-line loop.
Outcome line_by_line(const std::string& path)
{
    mq::io::InputFile in;
    REQUIRE(in.open(path));
    mq::io::LineReader reader(in);
    Outcome o;
    std::string_view line;
    mq::Error error;
    while (reader.next(line)) {
        o.lines = reader.line_number();
        const LineStep step = kEcho(line, o.output, error);
        if (step == LineStep::failed) {
            o.bad_line = o.lines;
            break;
        }
        if (step == LineStep::written) ++o.records;
    }
    return o;
}

Outcome in_blocks(const std::string& path, const std::string& out_path, const mq::tools::StopFn& stop = {})
{
    mq::io::InputFile in;
    REQUIRE(in.open(path));
    mq::io::OutputFile out;
    REQUIRE(out.open(out_path));
    const auto run = mq::tools::convert_in_blocks(in, out, kEcho, true, {}, stop);
    REQUIRE(out.commit());
    Outcome o;
    o.lines = run.lines;
    o.records = run.records;
    o.stopped = run.stopped;
    o.bad_line = run.failed ? run.error.line : 0;
    return o;
}

// About `bytes` of numbered lines, some ending in CR LF, some empty.
std::string lines_of(std::size_t bytes, int from = 0)
{
    std::string text;
    for (int i = from; text.size() < bytes; ++i)
        text += i % 7 == 0 ? "\n" : std::to_string(i) + (i % 3 == 0 ? "\r\n" : "\n");
    return text;
}

}  // namespace

TEST_CASE("convert_in_blocks: the same lines, numbers and bad line as the line-by-line loop")
{
    const std::string many = lines_of(1300000);
    const std::string rows[] = {
        "\xEF\xBB\xBF" "first\n" + many + "last without LF",
        many + std::string(700000, 'x') + "\r\n" + many,   // a line longer than a block
        many + many + "bad\n" + many,                      // the bad line in a later block
        "bad\n" + many,
        "\n\n",
        "",
    };
    for (const std::string& input : rows) {
        CAPTURE(input.size());
        mq::testing::TempFolder dir;
        const std::string in = dir.write("in.txt", input);
        const Outcome want = line_by_line(in);
        const Outcome got = in_blocks(in, dir.path("out.txt"));
        CHECK(dir.read("out.txt") == want.output);
        CHECK(got.lines == want.lines);
        CHECK(got.records == want.records);
        CHECK(got.bad_line == want.bad_line);
    }
}

TEST_CASE("convert_in_blocks: a stop keeps whole blocks of records, and says how many")
{
    mq::testing::TempFolder dir;
    const std::string in = dir.write("in.txt", lines_of(3000000));
    int asked = 0;
    const Outcome got = in_blocks(in, dir.path("out.txt"), [&] { return ++asked == 2; });
    const std::string out = dir.read("out.txt");
    CHECK(got.stopped);
    CHECK(got.records > 0);
    CHECK(got.records == static_cast<std::int64_t>(std::count(out.begin(), out.end(), '\n')));
    CHECK(line_by_line(in).output.starts_with(out));
    CHECK(out.size() < 3000000);
}

TEST_CASE("the coordinate tools: a large file gives what its parts give line by line")
{
    // Each part alone is below the size converted in blocks; together they are above it.
    std::string utm, swiss;
    for (int i = 0; utm.size() < 2500000; ++i) {
        utm += std::to_string(300000 + i * 7 % 400000) + "." + std::to_string(i % 1000) + "\t" +
               std::to_string(4000000 + i * 13 % 3000000) + ".5 " + std::to_string(-i % 5000) + "\n";
        if (i % 1000 == 0) utm += "# a comment\n";
    }
    for (int i = 0; swiss.size() < 2500000; ++i)
        swiss += std::to_string(485000 + i * 7 % 350000) + ".25 " + std::to_string(75000 + i * 13 % 220000) +
                 " " + std::to_string(i % 300) + (i % 5 ? "\n" : "\r\n");
    const auto utm_run = [](const std::string& in, const std::string& out) {
        return mq::tools::convert_utm_file(in, out, {32, "N"}, {}, {});
    };
    const auto swiss_run = [](const std::string& in, const std::string& out) {
        return mq::tools::convert_swiss_file(in, out, {" ", true, false}, {}, {});
    };
    struct Row {
        const char* tool;
        std::string part;
        std::function<mq::Result<mq::tools::RunSummary>(const std::string&, const std::string&)> run;
        const char* bad;
    };
    const Row rows[] = {{"utm-file", utm, utm_run, "500000 x 1\n"}, {"swiss", swiss, swiss_run, "1 2\n"}};
    for (const Row& row : rows) {
        CAPTURE(row.tool);
        mq::testing::TempFolder dir;
        REQUIRE(row.run(dir.write("part.txt", row.part), dir.path("part.out")));
        const std::string part_out = dir.read("part.out");
        const auto whole = row.run(dir.write("whole.txt", row.part + row.part), dir.path("whole.out"));
        REQUIRE(whole);
        CHECK(dir.read("whole.out") == part_out + part_out);
        CHECK(whole->records == 2 * std::count(part_out.begin(), part_out.end(), '\n'));

        // A bad line in the second part: its number, and the lines before it.
        const auto lines = std::count(row.part.begin(), row.part.end(), '\n');
        const auto failed = row.run(dir.write("bad.txt", row.part + row.part + row.bad + row.part),
                                    dir.path("bad.out"));
        REQUIRE(!failed);
        CHECK(failed.error().line == 2 * lines + 1);
        CHECK(failed.error().file == dir.path("bad.txt"));
        CHECK(dir.read("bad.out") == part_out + part_out);
        const auto alone = row.run(dir.write("bad_alone.txt", row.bad), dir.path("bad_alone.out"));
        REQUIRE(!alone);
        CHECK(failed.error().message == alone.error().message);
        CHECK(failed.error().kind == alone.error().kind);
    }
}
