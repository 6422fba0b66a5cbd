#pragma once
// Unity test output: one ut_results row per result line such as
// `tests/parse_number.c:104:parse_number_should_parse_zero:PASS`, named by the
// test file's base name without extension and the test
// (`parse_number.parse_number_should_parse_zero`), in log order, duplicates
// kept. PASS gives "passed", FAIL "FAILED", IGNORE "skipped". Lines are read
// as Results::ConsoleReader hands them out, so a `ctest -V` log of Unity
// programs converts too.

#include <cstddef>
#include <istream>
#include <string_view>
#include <vector>

#include "detail/options.h"
#include "detail/pattern.h"
#include "results/results_output.h"

class QZUnityResultElement {
 public:
  /// Test name and verdict word ("passed", "FAILED" or "skipped").
  using result = Results::result;

  /// The result line pattern, compiled on the first call: the file (which may
  /// hold a drive letter and colons) ends at the first ":LINE:" that a C
  /// identifier (the test) and ":PASS", ":FAIL" or ":IGNORE" follow, then the
  /// line's end (blanks allowed) or a colon and the message.
  static const Detail::Pattern& result_pattern();

  /// The summary line pattern, compiled on the first call:
  /// `6 Tests 0 Failures 0 Ignored ` (the line after it, OK or FAIL, is no
  /// result line either).
  static const Detail::Pattern& summary_regex();

  /// Sets `row` to the result of a line without colour and prefixes and
  /// returns whether it is a result line; `line_number` is for the message
  /// printed when the pattern engine gives up on the line.
  static bool parse_line(std::string_view text, std::size_t line_number, Detail::Match& groups, result& row);

  /// Replaces `out` with the results of `in` in log order, duplicates kept.
  /// Returns whether the output of a test program ends early: its last result
  /// line has no summary line after it (the program crashed or was stopped),
  /// or the input is empty or holds only blank lines (the program died before
  /// its buffered output was written).
  /// The lines of each program that `ctest -V` ran (each prefix "N: ") are
  /// judged on their own.
  static bool read_results(std::istream& in, std::vector<result>& out);

  /// Converts `options.input` into the ut_results script at `options.output`;
  /// says so when the test output ends early.
  static void get_final_result(const Detail::options& options);
};
