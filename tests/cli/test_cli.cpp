// mapquill-tools as a script calls it: arguments in; stdout, stderr and the
// exit status out (run in-process through the same entry point as main).
#include "command_cases.h"
#include "cli/tool.h"

#include <doctest/doctest.h>

#include <sstream>
#include <streambuf>

extern const char* const kCommandCases;   // data/commands.txt

TEST_CASE("mapquill-tools commands") { mq::testing::run_command_cases(kCommandCases); }

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
