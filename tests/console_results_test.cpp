// The console output readers: Unity, GoogleTest and CTest, and what they share.

#include <gtest/gtest.h>

#include <sstream>

#include "results/console_reader.h"
#include "results/ctest_result_element.h"
#include "results/gtest_result_element.h"
#include "results/unity_result_element.h"
#include "support/pattern_differential.h"

using Rows = std::vector<std::pair<std::string, std::string>>;

namespace {

template <typename Element>
Rows read(const std::string& log) {
  std::istringstream in(log);
  Rows rows{{"stale", "passed"}};
  Element::read_results(in, rows);
  return rows;
}

struct UnityRead {
  Rows rows;
  bool stopped_early;
};

UnityRead read_unity(const std::string& log) {
  std::istringstream in(log);
  UnityRead read{{{"stale", "passed"}}, false};
  read.stopped_early = QZUnityResultElement::read_results(in, read.rows);
  return read;
}

TEST(ConsoleReader, SkipsOneTimeStampAndOneCtestPrefix) {
  const struct {
    std::string line, text, source;
  } cases[] = {
      {"[2019-08-28T08:44:26.749Z] 12: x", "x", "12"},
      {"[08:44:26] [1] x", "[1] x", ""},         // one time stamp only
      {"[ RUN      ] A.b", "[ RUN      ] A.b", ""},  // GoogleTest's tags begin with a blank
      {"[x1] y", "[x1] y", ""},
      {"[1]y", "[1]y", ""},                      // a blank must follow
      {"3: 4: x", "4: x", "3"},                  // one prefix only
      {"3:x", "3:x", ""},
      {"x 3: y", "x 3: y", ""},
      {"3: ", "", "3"},
  };
  for (const auto& c : cases) {
    const Results::ConsoleLine line = Results::ConsoleReader::without_prefixes(c.line);
    EXPECT_EQ(line.text, c.text) << c.line;
    EXPECT_EQ(line.source, c.source) << c.line;
  }
}

TEST(UnityResultLine, ExampleTable) {
  const struct {
    std::string line;
    Rows expected;
  } cases[] = {
      {"tests/parse_number.c:123:parse_number_should_parse_zero:PASS",
       {{"parse_number.parse_number_should_parse_zero", "passed"}}},
      {R"(C:\work\tests\test_io.c:7:reads_a_file:FAIL: Expected 1 Was 2)", {{"test_io.reads_a_file", "FAILED"}}},
      {"C:/w/a:b/t.x.c:7:t1:IGNORE", {{"t.x.t1", "skipped"}}},
      {"t.c:7:_t:IGNORE: needs the board", {{"t._t", "skipped"}}},
      {"t:7:t:FAIL: at u.c:8:v:PASS", {{"t.t", "FAILED"}}},  // the file ends at the first fitting ":LINE:"
      {"a.c:1:x.c:5:t:PASS", {{"a.c:1:x.t", "passed"}}},
      {"t.c:7:t:PASS  ", {{"t.t", "passed"}}},
      {"/t.c:7:t:PASS", {{"t.t", "passed"}}},
      {"[12:00:01] 3: t.c:7:t:\x1b[42mPASS\x1b[00m", {{"t.t", "passed"}}},
      {"t.c:7:t:PASSED", {}},
      {"t.c:7:t:pass", {}},
      {"t.c:7:1t:PASS", {}},                               // a test name is a C identifier
      {"t.c:x:t:PASS", {}},
      {":7:t:PASS", {}},
      {"t.c:7:t:INFO: message", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(read_unity(c.line + "\n").rows, c.expected) << c.line;
}

TEST(UnityReader, RunStoppedEarlyWithoutASummaryAfterTheLastResult) {
  const std::string pass = "t.c:1:a:PASS\n", summary = "\n-----------------------\n1 Tests 0 Failures 0 Ignored \nOK\n";
  EXPECT_FALSE(read_unity(pass + summary).stopped_early);
  EXPECT_FALSE(read_unity("no results at all\n").stopped_early);  // a ctest -V log holds other programs' output
  EXPECT_TRUE(read_unity("").stopped_early);  // died before its buffered output was written
  EXPECT_TRUE(read_unity("\n  \r\n\t\n").stopped_early);
  EXPECT_TRUE(read_unity(pass).stopped_early);
  EXPECT_TRUE(read_unity(summary + pass).stopped_early);
  EXPECT_TRUE(read_unity(pass + "1 Tests 0 Failures 0 Ignored and more\n").stopped_early);
  // ctest -V: each program on its own, whatever comes after it.
  EXPECT_TRUE(read_unity("1: " + pass + "2: " + pass + "2: 1 Tests 0 Failures 0 Ignored\n").stopped_early);
  const UnityRead side_by_side = read_unity("1: " + pass + "2: " + pass + "1: 1 Tests 0 Failures 0 Ignored\n" +
                                            "2: 1 Tests 0 Failures 0 Ignored\r\n");
  EXPECT_FALSE(side_by_side.stopped_early);
  EXPECT_EQ(side_by_side.rows, (Rows{{"t.a", "passed"}, {"t.a", "passed"}}));
}

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
  for (const auto& c : cases) EXPECT_EQ(read<QZGTestResultElement>(c.log), c.expected) << c.log;
}

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
  for (const auto& c : cases) EXPECT_EQ(read<QZCTestResultElement>(c.log), c.expected) << c.log;
}

INSTANTIATE_TEST_SUITE_P(
    ConsoleResults, PatternDifferential,
    testing::Values(PatternCase{"unity_result_line",
                                &QZUnityResultElement::result_pattern,
                                {"tests/parse_number.c:123:parse_number_should_parse_zero:PASS",
                                 "C:\\w\\t.c:7:reads_a_file:FAIL: Expected 1 Was 2", "t:7:t:IGNORE: at u.c:8:v:PASS",
                                 "a.c:1:x.c:5:_t1:IGNORE \t"}},
                    PatternCase{"unity_summary_line",
                                &QZUnityResultElement::summary_regex,
                                {"6 Tests 0 Failures 0 Ignored ", "146 Tests 12 Failures 3 Ignored"}},
                    PatternCase{"ctest_result_line",
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
