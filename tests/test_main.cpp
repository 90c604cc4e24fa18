// The doctest runner of mapquill-tests; the cases live beside the code they
// test (tests/common, tests/calc, tests/tools, tests/cli, tests/app/core).
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>
