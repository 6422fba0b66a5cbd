#include "results/gtest_result_element.h"

#include <gtest/gtest.h>

#include "support/verdict_rows.h"

using Rows = test_support::Verdicts;
using test_support::read_verdicts;

namespace {

TEST(GTestReader, ExampleTable) {
  const std::string run = "[ RUN      ] A.b\n";
  const struct {
    std::string log;
    Rows expected;
  } cases[] = {
      {run + "[       OK ] A.b (0 ms)\n", {{"A.b", "passed"}}},
      {"[  FAILED  ] I/A.b/3, where GetParam() = (1, 2) (12 ms)\n", {{"I/A.b/3", "FAILED"}}},  // brief: no RUN line
      {"[  SKIPPED ] T/0.b, where TypeParam = std::map<int, int> (0 ms)\n", {{"T/0.b", "skipped"}}},
      {"[ DISABLED ] A.DISABLED_b\n", {{"A.DISABLED_b", "skipped"}}},
      {run + "[  FAILED  ] A.b\n", {{"A.b", "FAILED"}}},                   // --gtest_print_time=0
      {"[  FAILED  ] A.b\n[  FAILED  ] 1 test, listed below:\n", {}},     // the summary
      {run + "done[       OK ] A.b (0 ms)\n", {{"A.b", "passed"}}},       // output without a line end
      {"done[       OK ] A.b (0 ms)\n", {}},
      // While A.b runs, a verdict naming another test is A.b's output.
      {run + "[       OK ] A.c (0 ms)\n", {{"A.b", "FAILED"}}},
      {run + "[       OK ] Other.Thing (3 ms)\n[       OK ] A.b (5 ms)\n", {{"A.b", "passed"}}},
      {"1: " + run + "2: [       OK ] B.c (3 ms)\n1: [       OK ] A.b (1 ms)\n", {{"B.c", "passed"}, {"A.b", "passed"}}},
      {"[  FAILED  ] A: SetUpTestSuite or TearDownTestSuite\n", {{"A", "FAILED"}}},
      // A crash: at the next start, or at the end in the order the tests started.
      {run + "[ RUN      ] A.c\n[       OK ] A.c (1 ms)\n", {{"A.b", "FAILED"}, {"A.c", "passed"}}},
      {"2: [ RUN      ] B.x\n1: [ RUN      ] A.b\n1: [       OK ] A.b (0 ms)\n1: [ RUN      ] A.c\n",
       {{"A.b", "passed"}, {"B.x", "FAILED"}, {"A.c", "FAILED"}}},
      {"1: " + run + "2: " + run + "2: [       OK ] A.b (0 ms)\r\n1: [  FAILED  ] A.b (0 ms)\n",
       {{"A.b", "passed"}, {"A.b", "FAILED"}}},
      {"\x1b[0;32m[ RUN      ] \x1b[mA.b\n\x1b[0;32m[       OK ] \x1b[mA.b (0 ms)\n", {{"A.b", "passed"}}},
      {"[ RUN      ] \n[       OK ]  (0 ms)\n[       OK ] a b (0 ms)\n", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(read_verdicts<QZGTestResultElement>(c.log), c.expected) << c.log;
}

}  // namespace
