// What each file tool writes, case by case from data/tool_cases.txt, run
// through its subcommand.
#include "command_cases.h"

extern const char* const kToolCases;   // data/tool_cases.txt

TEST_CASE("the file tools' conversions") { mq::testing::run_command_cases(kToolCases); }
