#include "results/unity_result_element.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/pattern_differential.h"

using Rows = std::vector<std::pair<std::string, std::string>>;

namespace {

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

INSTANTIATE_TEST_SUITE_P(
    UnityResults, PatternDifferential,
    testing::Values(PatternCase{"unity_result_line",
                                &QZUnityResultElement::result_pattern,
                                {"tests/parse_number.c:123:parse_number_should_parse_zero:PASS",
                                 "C:\\w\\t.c:7:reads_a_file:FAIL: Expected 1 Was 2", "t:7:t:IGNORE: at u.c:8:v:PASS",
                                 "a.c:1:x.c:5:_t1:IGNORE \t"}},
                    PatternCase{"unity_summary_line",
                                &QZUnityResultElement::summary_regex,
                                {"6 Tests 0 Failures 0 Ignored ", "146 Tests 12 Failures 3 Ignored"}}),
    pattern_case_name);

}  // namespace
