// mapquill-tools as a script calls it: arguments in; stdout, stderr and the
// exit status out (run in-process through the same entry point as main).
#include "cli/tool.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <sstream>
#include <streambuf>
#include <vector>

namespace {

struct Run {
    int code;
    std::string out;
    std::string err;
};

Run run(std::vector<std::string_view> args) {
    std::ostringstream out, err;
    const int code = mq::cli::run_tools(args, out, err);
    return {code, out.str(), err.str()};
}

}  // namespace

TEST_CASE("mapquill-tools commands") {
    struct Case {
        std::vector<std::string_view> args;
        int code;
        std::string_view out;   // exact stdout; "*" prefix: contains the rest; "\n\n" end: starts so
        std::string_view err;   // stderr contains this; empty: stderr is empty
    };
    const Case cases[] = {
        {{"latlon", "45.5125"}, 0, "45:30.7500\n", ""},
        {{"latlon", "10:30:45"}, 0, "10.5125000\n", ""},
        {{"latlon", "-10:30.5"}, 0, "-10.5083330\n", ""},   // a negative value is not an option
        {{"latlon", "-.5"}, 0, "-00:30.0000\n", ""},
        {{"latlon", "-,5"}, 0, "-00:30.0000\n", ""},
        {{"latlon", "-0.5e3"}, 0, "-500.0000000\n", ""},
        {{"latlon", "10,5"}, 0, "10:30.0000\n", ""},        // "," picks the notation of "."
        {{"latlon", "10:30.75", "--conversion", "5"}, 0, "10:30:45.00\n", ""},
        {{"latlon", "--conversion", "5", "-10:30.75"}, 0, "-10:30:45.00\n", ""},
        {{"latlon", "--conversion=3", "10.9999999"}, 0, "10:59:60.00\n", ""},
        {{"latlon", "45"}, 0, "45.0000000\n", ""},          // undecided notation uses 0
        {{"latlon", "1.5e1"}, 0, "15.0000000\n", ""},
        {{"latlon", "--", "-e"}, 1, "", "not a number"},
        {{"latlon", "45", "--conversion", "2"}, 1, "", "needs a value with a decimal point"},
        {{"latlon", "abc"}, 1, "", "no result for 'abc'"},
        {{"latlon", "1e3000000000"}, 1, "", "not a number"},
        {{"latlon", "45.5:30", "--conversion", "5"}, 1, "", "minutes"},
        {{"latlon"}, 2, "", "TEXT is required"},
        {{"latlon", "1", "2"}, 2, "", "unexpected argument '2'"},
        {{"latlon", "1.5", "--conversion", "6"}, 2, "", "--conversion: Value 6 not in range 0 to 5"},
        {{"latlon", "1.5", "--conversion", "-1"}, 2, "", "not in range"},
        {{"latlon", "1.5", "--conversion", "x"}, 2, "", "--conversion"},
        {{"latlon", "1.5", "--conversion"}, 2, "", "option '--conversion' needs a value"},
        {{"latlon", "1", "--conversion", "1", "--conversion", "2"}, 2, "", "--conversion"},
        {{"latlon", "-x"}, 2, "", "unknown option '-x'"},
        {{"latlon", "1", "--conv=1"}, 2, "", "unknown option '--conv'"},
        {{"latlon", "--", "-10:30", "--conversion", "0"}, 2, "", "unexpected argument '--conversion'"},
        {{"latlon", "--help"}, 0, "*dd:mm:ss.ss ---> dd:mm.mmm", ""},
        {{"latlon", "-h", "--bogus"}, 0, "usage: mapquill-tools latlon TEXT [--conversion N]\n\n", ""},

        {{"gridstep", "--min", "10", "--max", "12", "--amount", "4"}, 0,
         "Delta Max - Min: 02:00:00.00 / 02:0.0000 / 2.00000000\nAmount of steps: 4\n"
         "Size of steps: 00:30:00.00 / 00:30.0000 / 0.50000000\n", ""},
        {{"gridstep", "--min", "-10:30", "--max=-9:30", "--size", "0:1"}, 0,
         "Delta Max - Min: 01:00:00.00 / 01:0.0000 / 1.00000000\nAmount of steps: 60\n"
         "Size of steps: 00:01:00.00 / 00:1.0000 / 0.01666667\n", ""},
        {{"gridstep", "--min", "0", "--max", "1", "--size", "0"}, 1, "", "greater than 0"},
        {{"gridstep", "--min", "0", "--max", "1", "--size", "1e-308"}, 1, "", "too small"},
        {{"gridstep", "--min", "0", "--max", "1e3000000000", "--amount", "4"}, 1, "", "maximum"},
        // The amount is a whole number from 1 to 32767, as the help says.
        {{"gridstep", "--min", "0", "--max", "1", "--amount", "32768"}, 1, "", "32767"},
        {{"gridstep", "--min", "0", "--max", "1", "--amount", "4.5"}, 1, "", "whole number"},
        {{"gridstep", "--min", "0", "--max", "1", "--amount", "1e3"}, 1, "", "whole number"},
        {{"gridstep", "--min", "0", "--max", "1", "--amount", "-4"}, 1, "", "whole number"},
        {{"gridstep", "--min", "0", "--max", "1", "--amount", "0"}, 1, "", "whole number"},
        {{"gridstep", "--min", "x", "--max", "1", "--amount", "2"}, 1, "", "minimum 'x'"},
        {{"gridstep", "--min", "0", "--max", "1", "--amount", "2", "--size", "1"}, 2, "",
         "either --amount or --size"},
        {{"gridstep", "--min", "0", "--max", "1"}, 2, "", "either --amount or --size"},
        {{"gridstep", "--min", "0", "--amount", "2"}, 2, "", "--max is required"},
        {{"gridstep", "--min", "0", "--min", "1", "--max", "2", "--amount", "2"}, 2, "", "--min"},
        {{"gridstep", "-h"}, 0, "usage: mapquill-tools gridstep --min A --max B (--amount N | --size S)\n\n",
         ""},

        {{"--help"}, 0, "*gridstep", ""},
        {{"help", "latlon"}, 0, "*usage: mapquill-tools latlon", ""},
        {{}, 2, "", "usage:"},
        {{"utmx"}, 2, "", "unknown tool 'utmx'"},
    };
    for (const auto& c : cases) {
        std::string command;
        for (auto a : c.args) (command += ' ') += a;
        CAPTURE(command);
        const Run r = run(c.args);
        CAPTURE(r.err);
        CHECK(r.code == c.code);
        if (c.out.starts_with('*')) CHECK(r.out.find(c.out.substr(1)) != std::string::npos);
        else if (c.out.ends_with("\n\n")) CHECK(r.out.starts_with(c.out));
        else CHECK(r.out == c.out);
        if (c.err.empty()) CHECK(r.err == "");
        else CHECK(r.err.find(c.err) != std::string::npos);
        // Every message is one line, naming the tool.
        if (c.code != 0 && !c.args.empty()) {
            CHECK(std::count(r.err.begin(), r.err.end(), '\n') == 1);
            CHECK(r.err.starts_with("mapquill-tools"));
        }
    }
}

TEST_CASE("an output that cannot be written fails with exit 1") {
    struct FullDisk : std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
    } full;
    std::ostream out(&full);
    std::ostringstream err;
    out << "45:30.7500\n";
    CHECK(mq::cli::finish_output(out, err, mq::cli::kSuccess) == mq::cli::kBadInput);
    CHECK(err.str().starts_with("mapquill-tools: could not write the output"));

    std::ostringstream fine, quiet;
    fine << "x\n";
    CHECK(mq::cli::finish_output(fine, quiet, mq::cli::kUsage) == mq::cli::kUsage);
    CHECK(quiet.str().empty());
}
