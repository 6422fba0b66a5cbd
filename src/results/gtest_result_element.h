#pragma once
// GoogleTest console output: one ut_results row per test verdict, in log
// order, duplicates kept:
//
//   [       OK ] Calc.Adds (0 ms)                                  Calc.Adds passed
//   [  FAILED  ] Inst/Calc.Adds/3, where GetParam() = 3 (1 ms)     Inst/Calc.Adds/3 FAILED
//   [  SKIPPED ] Calc.Later (0 ms)                                 Calc.Later skipped
//   [ DISABLED ] Calc.DISABLED_Old                                 Calc.DISABLED_Old skipped
//
// A verdict without a time counts when it names the test that is running
// (`--gtest_print_time=0`); otherwise it is the summary at the end listing a
// test again and gives no row. A verdict of the running test also counts
// after output the test left without a line end (`done[       OK ] ...`).
// The summary line of a suite whose set-up failed
// (`[  FAILED  ] Calc: SetUpTestSuite or TearDownTestSuite`) gives a row
// named by the suite, FAILED. A test that started (`[ RUN      ] NAME`) and
// has no verdict before the next test starts or the input ends crashed or
// hung its program: it gives a row FAILED. Lines are read as
// Results::ConsoleReader hands them out; the programs that `ctest -V` ran
// side by side are followed each on its own.

#include <istream>
#include <string_view>
#include <vector>

#include "detail/options.h"
#include "results/results_output.h"

class QZGTestResultElement {
 public:
  /// Test name and verdict word ("passed", "FAILED" or "skipped").
  using result = Results::result;

  /// Replaces `out` with the verdicts of `in` in log order, duplicates kept.
  static void read_results(std::istream& in, std::vector<result>& out);

  /// Converts `options.input` into the ut_results script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
