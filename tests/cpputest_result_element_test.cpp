// The CppUTest console output reader.

#include "results/cpputest_result_element.h"

#include <gtest/gtest.h>

#include <sstream>

using Rows = std::vector<std::pair<std::string, std::string>>;

namespace {

struct Read {
  Rows rows;
  bool stopped_early = false;
  bool failures_only = false;
};

Read read(const std::string& log) {
  std::istringstream in(log);
  Read read{{{"stale", "passed"}}};
  const QZCppUTestResultElement::Gaps gaps = QZCppUTestResultElement::read_results(in, read.rows);
  read.stopped_early = gaps.stopped_early;
  read.failures_only = gaps.failures_only;
  return read;
}

constexpr const char* ok = "\nOK (1 tests, 1 ran, 1 checks, 0 ignored, 0 filtered out, 0 ms)\n";

TEST(CppUTestReader, ExampleTable) {
  const struct {
    std::string log;
    Rows rows;
  } cases[] = {
      {std::string("TEST(Calc, Adds) - 0 ms\nIGNORE_TEST(Calc, Later) - 0 ms") + ok,
       {{"Calc.Adds", "passed"}, {"Calc.Later", "skipped"}}},
      // The failure between the name and the time, also after output without a line end.
      {std::string("TEST(Calc, Subtracts)\nc.cc:18: error: Failure in TEST(Calc, Subtracts)\n\texpected <3>\n\n - 1 ms\n"
                   "TEST(Calc, Prints)partial - 0 ms\nTEST(Calc, Out)line\n - 12 ms\n") + ok,
       {{"Calc.Subtracts", "FAILED"}, {"Calc.Prints", "passed"}, {"Calc.Out", "passed"}}},
      // -p: the child killed by a signal; a test with neither time nor end starts the next one.
      {std::string("TEST(Crash, Crashes)\nc.cc:51: error: Failure in TEST(Crash, Crashes)\n"
                   "\tFailed in separate process - killed by signal 11\n\n - 44 ms\nTEST(A, B)\nTEST(A, C) - 0 ms") + ok,
       {{"Crash.Crashes", "FAILED"}, {"A.B", "FAILED"}, {"A.C", "passed"}}},
      // Names that are no test's: blanks, a missing half, a missing parenthesis; an own output saying " - 3 ms".
      {std::string("TEST(A B, C) - 0 ms\nTEST(, C) - 0 ms\nTEST(A, ) - 0 ms\nTEST(A, C - 0 ms\nsays - 3 ms\n") +
           "TEST(G, N)\nreports - 3 ms" + ok,
       {{"G.N", "passed"}}},
      // ctest -V: each program on its own; a CI time stamp and colour before the summary.
      {"1: TEST(A, X)\n2: TEST(B, Y) - 0 ms\n1:  - 0 ms\n[2019-08-28T08:44:26.749Z] 1: \x1b[32;1mOK (1 tests)\x1b[m\n"
       "2: Errors (1 failures, 1 tests)\n",
       {{"B.Y", "passed"}, {"A.X", "passed"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log);
    const Read got = read(c.log);
    EXPECT_EQ(got.rows, c.rows);
    EXPECT_FALSE(got.stopped_early);
    EXPECT_FALSE(got.failures_only);
  }
}

TEST(CppUTestReader, WhatTheLogLacks) {
  const struct {
    std::string log;
    Rows rows;
    bool stopped_early, failures_only;
  } cases[] = {
      // Crashed or threw: the started test fails, after the rows of the other program.
      {"1: TEST(A, Crashes)\n2: TEST(B, Y) - 0 ms\n2: OK (1 tests)\n",
       {{"B.Y", "passed"}, {"A.Crashes", "FAILED"}}, true, false},
      {"TEST(A, X) - 0 ms\nTEST(A, Throws)terminate called after throwing", {{"A.X", "passed"}, {"A.Throws", "FAILED"}},
       true, false},
      // Every test finished, but the summary is missing: the run was cut off between two tests.
      {"TEST(A, X) - 0 ms\n", {{"A.X", "passed"}}, true, false},
      // The summary of one repetition does not stand for the next.
      {std::string("TEST(A, X) - 0 ms") + ok + "Test run 2 of 2\nTEST(A, X) - 0 ms\n",
       {{"A.X", "passed"}, {"A.X", "passed"}}, true, false},
      // The plain form: one row per failing test, a second failure in a row none.
      {"..\nc.cc:3: error: Failure in TEST(A, X)\n\texpected\n\nc.cc:9: error: Failure in TEST(A, X)\n"
       "c.cc:4: error: Failure in TEST(A, Y)\n.!\nErrors (3 failures, 4 tests, 4 ran)\n",
       {{"A.X", "FAILED"}, {"A.Y", "FAILED"}}, false, true},
      {"....\nOK (4 tests, 4 ran)\n", {}, false, true},
      {"..\nc.cc:3: error: Failure in TEST(A, X)\n", {{"A.X", "FAILED"}}, true, true},
      // The same test failing again after a summary (-r 2) is another row.
      {"c.cc:3: error: Failure in TEST(A, X)\nErrors (1 failures)\nc.cc:3: error: Failure in TEST(A, X)\nErrors (1 failures)\n",
       {{"A.X", "FAILED"}, {"A.X", "FAILED"}}, false, true},
      {"", {}, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log);
    const Read got = read(c.log);
    EXPECT_EQ(got.rows, c.rows);
    EXPECT_EQ(got.stopped_early, c.stopped_early);
    EXPECT_EQ(got.failures_only, c.failures_only);
  }
}

}  // namespace
