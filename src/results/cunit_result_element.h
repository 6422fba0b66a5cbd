#pragma once
// CUnit console logs: one ut_results row per test verdict line.

#include <istream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "detail/options.h"
#include "detail/pattern.h"

class QZCUnitResultElement {
 public:
  /// Test name and verdict word ("passed", "PASSED", "failed" or "FAILED").
  using result = std::pair<std::string, std::string>;

  /// The verdict line pattern, compiled on the first call.
  static const Detail::Pattern& my_regex();

  /// Matches `line` exactly as my_regex() does (whole line, bytes as in the
  /// classic locale, "." stopping at CR and LF) without the pattern engine,
  /// which it never gives up, and sets `name` and `verdict` to the pattern's
  /// two captures. False, with both unchanged, where the pattern does not match.
  static bool scan_verdict_line(std::string_view line, std::string_view& name, std::string_view& verdict);

  /// Replaces `out` with the verdicts of `in` in input order, duplicates kept.
  static void GetQZCUnitResultElements(std::istream& in, std::vector<result>& out);

  /// Converts `options.input` into the ut_results script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
