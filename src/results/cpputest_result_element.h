#pragma once
// CppUTest console output: one ut_results row per test, named "Group.Name"
// as `-ln` lists it, in log order, duplicates kept.
//
// The verbose form (-v, also with -c and -r N) frames each test by its name
// and its time; what stands between is the test's own output and its
// failures:
//
//   TEST(Calc, Adds) - 0 ms                                    Calc.Adds passed
//   IGNORE_TEST(Calc, NotYet) - 0 ms                           Calc.NotYet skipped
//   TEST(Calc, Subtracts)                                      Calc.Subtracts FAILED
//   calc.cc:18: error: Failure in TEST(Calc, Subtracts)
//    - 1 ms
//
// With -p a test killed in its own process reads "Failed in separate
// process - killed by signal N" before its time, and fails. A test without
// its time before the next test of its program starts or the input ends
// crashed or threw (CppUTest 4 catches no exception): it fails too.
//
// The plain form (no -v) names only failing tests: each failure line outside
// a test gives a row FAILED, a test failing twice in a row (its body and its
// teardown, or -p's second report) once. Lines are read as
// Results::ConsoleReader hands them out; the programs that `ctest -V` ran are
// followed each on its own.

#include <istream>
#include <vector>

#include "detail/options.h"
#include "results/results_output.h"

class QZCppUTestResultElement {
 public:
  /// Test name and verdict word ("passed", "FAILED" or "skipped").
  using result = Results::result;

  /// What the log lacks for a full account of the run.
  struct Gaps {
    bool stopped_early = false;  // a program's output ends without its summary line
    bool failures_only = false;  // a program's output is the plain form
  };

  /// Replaces `out` with the verdicts of `in` in log order and returns what
  /// the log lacks.
  static Gaps read_results(std::istream& in, std::vector<result>& out);

  /// Converts `options.input` into the ut_results script at `options.output`;
  /// says so when the run stopped early or the output names only failures.
  static void get_final_result(const Detail::options& options);
};
