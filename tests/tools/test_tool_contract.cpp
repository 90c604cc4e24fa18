// What every file tool of the tool list promises, checked on each: an output
// that names the input and a missing input are refused before anything is
// written, a stop keeps whole records beside an existing output, and a bad
// line is named with its file and line.
#include "temp_folder.h"
#include "tools/binary_xyz.h"
#include "tools/file_tools.h"
#include "tools/footprint.h"
#include "tools/replace_text.h"
#include "tools/srtm_tile.h"
#include "tools/swiss_file.h"
#include "tools/tile_fixture.h"
#include "tools/track_positions.h"
#include "tools/utm_file.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

using namespace mq::tools;
using mq::testing::TempFolder;

namespace {

using Run = std::function<mq::Result<RunSummary>(const std::string& in, const std::string& out,
                                                 const ProgressFn&, const StopFn&)>;

struct Contract {
    std::string_view tool;   // its name in the tool list
    Run run;
    std::string input;       // many records
    std::string output;      // the output's name: its extension gives the kept file's name
    int record_bytes;        // of a binary output; 0: a text output of one line per record
    std::string bad;         // an input whose line 2 is bad; empty: the tool has no bad lines
};

std::string repeat(const std::string& line, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

std::vector<Contract> contracts()
{
    const GeoBox box{10, 11, 20, 21};
    return {
        {"utm-file", [](auto& in, auto& out, auto& p, auto& s) { return convert_utm_file(in, out, {32, "N"}, p, s); },
         repeat("500000 5538630.703 12.5\n", 3000), "out.txt", 0, "500000 5538630.703 1\nxx\n"},
        {"swiss", [](auto& in, auto& out, auto& p, auto& s) { return convert_swiss_file(in, out, {}, p, s); },
         repeat("200000,600000,5\n", 3000), "out.txt", 0, "200000,600000,5\nfoo,bar,1\n"},
        {"replace", [](auto& in, auto& out, auto& p, auto& s) { return replace_in_file(in, out, {}, p, s); },
         repeat("a line\n", 3000), "out.txt", 0, ""},
        {"bin2ascii", [](auto& in, auto& out, auto& p, auto& s) { return convert_binary_xyz(in, out, p, s); },
         repeat(mq::testing::doubles({1, 2, 3}), 3000), "out.txt", 0, ""},
        {"track",
         [](auto&, auto& out, auto& p, auto& s) { return calc_track_positions({"0", "1", "0", "1", "3000", out}, p, s); },
         "", "out.txt", 0, ""},
        {"footprint",
         [box](auto& in, auto& out, auto& p, auto& s) { return calc_footprint_file(in, out, box, 6.46, 1, p, s); },
         repeat("20.5 10.5 100\n", 300), "out.bin", 24, "20.5 10.5 100\n20.5 10.5\n"},
        {"srtm",
         [](auto& in, auto& out, auto& p, auto& s) {
             return convert_hgt_tile({in, out, ByteOrder::Big, XyzFormat::Binary, "0.5", "5000", "45", "10"}, p, s);
         },
         mq::testing::make_tile(1201, [](int r, int c) { return (r + c) % 100 + 1; }), "out.xyz", 24, ""},
    };
}

std::int64_t records_in(const std::string& bytes, int record_bytes)
{
    if (record_bytes > 0) return static_cast<std::int64_t>(bytes.size() / static_cast<std::size_t>(record_bytes));
    return std::count(bytes.begin(), bytes.end(), '\n');
}

std::string partial_name(const std::string& output)
{
    const auto dot = output.rfind('.');
    return output.substr(0, dot) + ".partial" + output.substr(dot);
}

}  // namespace

TEST_CASE("every tool of the list keeps the file tools' contract")
{
    const auto all = contracts();
    for (const FileTool& tool : file_tools())
        CHECK_MESSAGE(std::any_of(all.begin(), all.end(), [&](const Contract& c) { return c.tool == tool.name; }),
                      tool.name);

    for (const Contract& c : all) {
        CAPTURE(c.tool);
        const bool reads = !c.input.empty() && c.tool != "track";
        SUBCASE("a run writes every record")
        {
            TempFolder dir;
            std::int64_t reported = 0;
            const auto r = c.run(dir.write("in", c.input), dir.path(c.output),
                                 [&](const Progress& p) { reported = p.count; }, {});
            REQUIRE(r.ok());
            CHECK((!r->stopped && r->kept.empty() && reported > 0));
            CHECK(records_in(dir.read(c.output), c.record_bytes) == r->records);
        }
        SUBCASE("an output that names the input, or a missing input, is refused before anything is written")
        {
            if (!reads) continue;
            TempFolder dir;
            const std::string in = dir.write("in", c.input);
            const auto same = c.run(in, dir.path("./in"), {}, {});
            REQUIRE(!same.ok());
            CHECK(same.error().text().find("the output file is the input file") != std::string::npos);
            CHECK(dir.read("in") == c.input);
            const auto missing = c.run(dir.path("none"), dir.path(c.output), {}, {});
            REQUIRE(!missing.ok());
            CHECK(missing.error().file == dir.path("none"));
            CHECK(!std::filesystem::exists(dir.path(c.output)));
        }
        SUBCASE("a stop keeps whole records beside an existing output")
        {
            TempFolder dir;
            dir.write(c.output, "OLD");
            int asked = 0;
            const auto r = c.run(dir.write("in", c.input), dir.path(c.output), {}, [&] { return ++asked > 1000; });
            REQUIRE(r.ok());
            CHECK(r->stopped);
            CHECK(dir.read(c.output) == "OLD");
            const std::string kept = dir.read(partial_name(c.output));
            CHECK(r->records > 0);
            CHECK(records_in(kept, c.record_bytes) == r->records);
            if (c.record_bytes) CHECK(kept.size() % static_cast<std::size_t>(c.record_bytes) == 0);
            else CHECK(kept.ends_with("\r\n"));
            CHECK(r->kept.find(dir.path(partial_name(c.output))) != std::string::npos);
        }
        SUBCASE("a bad line is named with its file and line; the records before it stay")
        {
            if (c.bad.empty()) continue;
            TempFolder dir;
            const std::string in = dir.write("in", c.bad);
            const auto r = c.run(in, dir.path(c.output), {}, {});
            REQUIRE(!r.ok());
            CHECK((r.error().file == in && r.error().line == 2));
            CHECK(records_in(dir.read(c.output), c.record_bytes) > 0);
        }
        SUBCASE("an output with a second hard link gets the new records under the name given")
        {
            // What the other name shows afterwards is the safe writer's to say.
            TempFolder dir;
            dir.write(c.output, "OLD");
            std::error_code ec;
            std::filesystem::create_hard_link(dir.path(c.output), dir.path("link"), ec);
            if (ec) continue;
            const auto r = c.run(dir.write("in", c.input), dir.path(c.output), {}, {});
            REQUIRE(r.ok());
            CHECK(records_in(dir.read(c.output), c.record_bytes) == r->records);
        }
    }
}
