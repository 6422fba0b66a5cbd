#pragma once
// CTest console output: one ut_results row per test, at the place of its
// first result line, with the verdict of its last (ctest --repeat prints a
// retry's result without the "N/M" counter):
//
//    3/22 Test  #3: parse_number .....................   Passed    0.01 sec    parse_number passed
//    4/22 Test  #4: crashes ..........................***Exception: SegFault   crashes FAILED
//         Test  #4: crashes ..........................   Passed    0.01 sec    (crashes passed, the row above)
//
// The name is printed as CTest prints it, without the dots that pad it.
// "Passed" gives "passed"; "***Skipped" and "***Not Run (Disabled)" give
// "skipped"; every other "***" result ("***Failed" with or without a reason,
// "***Timeout", "***Exception: ...", "***Not Run" for a missing program,
// file or fixture set-up, also "Subprocess aborted***Exception:") gives
// "FAILED", as CTest counts them among the failed tests. A test that started
// (`Start  3: NAME`) and has no result line by the end of the input (CTest
// itself was stopped, or a later run of CTest in the same log began) gives a
// row FAILED after all others. Lines are read as Results::ConsoleReader hands
// them out; those with a `ctest -V` prefix ("N: ") are a test's output. Once
// a Start line was read, a result line counts only for a test that started
// and has no result yet, and a Start line only for a test not waiting for
// its result, so that a test's output that looks like CTest's lines
// (--output-on-failure prints it without a prefix) gives no row.

#include <cstddef>
#include <istream>
#include <string_view>
#include <vector>

#include "detail/options.h"
#include "detail/pattern.h"
#include "results/results_output.h"

class QZCTestResultElement {
 public:
  /// Test name and verdict word ("passed", "FAILED" or "skipped").
  using result = Results::result;

  /// The result line pattern (with or without the "N/M" counter), compiled
  /// on the first call; groups: the test number, the name, "Passed" (empty for any other result) and the text
  /// after the first "***". The line's end is not needed: a failure reason
  /// that quotes a pattern with a line feed breaks the line in two.
  static const Detail::Pattern& result_pattern();

  /// The pattern of the line printed as a test starts; groups: the test
  /// number and the name.
  static const Detail::Pattern& start_regex();

  /// The verdict word of a result line's groups 3 and 4.
  static const char* verdict(std::string_view passed, std::string_view failure);

  /// Replaces `out` with the results of `in`, one per test name in the order
  /// of their first result, each with its last verdict, then the tests that
  /// started and have no result line.
  static void read_results(std::istream& in, std::vector<result>& out);

  /// Converts `options.input` into the ut_results script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
