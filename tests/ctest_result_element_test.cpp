#include "results/ctest_result_element.h"

#include <gtest/gtest.h>

#include "support/pattern_differential.h"
#include "support/verdict_rows.h"

using Rows = test_support::Verdicts;
using test_support::read_verdicts;

namespace {

TEST(CTestReader, ExampleTable) {
  const std::string dots = " .........................";
  const struct {
    std::string log;
    Rows expected;
  } cases[] = {
      {"  3/22 Test  #3: parse_number" + dots + "   Passed    0.01 sec\n", {{"parse_number", "passed"}}},
      {"1/1 Test #1: a b. c ..." + dots + "***Failed    0.01 sec\n", {{"a b. c ...", "FAILED"}}},
      {"1/1 Test #1: t" + dots + "***Failed  Required regular expression not found. Regex=[All passed\n]  0.0 sec\n",
       {{"t", "FAILED"}}},
      {"1/1 Test #1: t" + dots + "***Timeout   1.00 sec\n", {{"t", "FAILED"}}},
      {"1/1 Test #1: t" + dots + "***Exception: SegFault  0.01 sec\n", {{"t", "FAILED"}}},
      {"1/1 Test #1: t" + dots + "Subprocess aborted***Exception:   0.02 sec\n", {{"t", "FAILED"}}},
      {"1/1 Test #1: t" + dots + "***Not Run   0.00 sec\n", {{"t", "FAILED"}}},
      {"1/1 Test #1: t" + dots + "***Not Run (Disabled)   0.00 sec\n", {{"t", "skipped"}}},
      {"1/1 Test #1: t" + dots + "***Skipped   0.00 sec\n", {{"t", "skipped"}}},
      {"1/1 Test #1: Passed" + dots + "   Passed    0.01 sec\n", {{"Passed", "passed"}}},
      {"1/1 Test #1: t" + dots + "   Passedx\n", {}},
      {"1/1 Test #1: t   Passed    0.01 sec\n", {}},
      {"\t  1 - t (Failed)\n100% tests passed, 0 tests failed out of 1\n", {}},
      // Started, no result: at the end, in the order they started; a second
      // start of the same number means the first never ended.
      {"    Start 2: b\n    Start 1: a\n1/2 Test #1: a" + dots + "   Passed    0.01 sec\n", {{"a", "passed"}, {"b", "FAILED"}}},
      {"    Start 1: a   \n    Start 1: a\n1/1 Test #1: a" + dots + "   Passed    0.01 sec\n", {{"a", "passed"}}},
      // ctest --repeat: a retry's result has no counter; one row per test, at
      // its first result, with its last verdict.
      {"    Start 1: a\n1/2 Test #1: a" + dots + "***Failed    0.01 sec\n    Start 1: a\n    Test #1: a" + dots +
           "   Passed    0.01 sec\n    Start 2: b\n2/2 Test #2: b" + dots + "   Passed    0.01 sec\n",
       {{"a", "passed"}, {"b", "passed"}}},
      {"    Start 1: a\n    Test #1: a" + dots + "   Passed    0.01 sec\n    Start 1: a\n1/1 Test #1: a" + dots +
           "***Failed    0.01 sec\n",
       {{"a", "FAILED"}}},
      // A test's output: under -V with its prefix, with --output-on-failure
      // a result of a test not waiting for one or a Start of one that is.
      {"    Start 1: a\n1: 1/1 Test #1: x" + dots + "***Failed    0.01 sec\n1: Start 2: y\n1/1 Test #1: a" + dots +
           "   Passed    0.01 sec\n",
       {{"a", "passed"}}},
      {"    Start 1: a\n1/2 Test #1: a" + dots + "   Passed    0.01 sec\n2/2 Test #2: x" + dots +
           "***Failed    0.01 sec\n    Start 1: a\n",
       {{"a", "FAILED"}}},
      {"    Start 1: a\n    Start 1: b\n1/1 Test #1: a" + dots + "   Passed    0.01 sec\n", {{"a", "passed"}}},
      // A run of CTest that was stopped, then another.
      {"Test project /b\n    Start 1: a\nTest project /b\n    Start 1: a\n1/1 Test #1: a" + dots +
           "   Passed    0.01 sec\n",
       {{"a", "passed"}}},
      // A retry that started and was stopped.
      {"1/1 Test #1: a" + dots + "***Timeout   1.00 sec\n    Start 1: a\n", {{"a", "FAILED"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(read_verdicts<QZCTestResultElement>(c.log), c.expected) << c.log;
}

INSTANTIATE_TEST_SUITE_P(
    CTestResults, PatternDifferential,
    testing::Values(PatternCase{"ctest_result_line",
                                &QZCTestResultElement::result_pattern,
                                {"  3/22 Test  #3: parse_number .........   Passed    0.01 sec",
                                 "1/1 Test #1: a b. c ... .....***Failed  Required regular expression not found. Regex=[",
                                 "10/16 Test #10: t ...Subprocess aborted***Exception:   0.02 sec",
                                 "    Test #2: flaky ............................   Passed    0.11 sec"}},
                    PatternCase{"ctest_start_line",
                                &QZCTestResultElement::start_regex,
                                {"      Start  1: passes", "    Start 14: name with blanks. and dots   "}}),
    pattern_case_name);

}  // namespace
