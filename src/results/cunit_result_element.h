#pragma once
// CUnit console logs: one ut_results row per test verdict line.

#include <fstream>
#include <istream>
#include <string>
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

  /// Replaces `out` with the verdicts of `in` in input order, duplicates
  /// kept, then closes `in`.
  static void GetQZCUnitResultElements(std::ifstream& in, std::vector<result>& out);

  /// The reading loop of GetQZCUnitResultElements. Exposed for testing.
  static void read_results(std::istream& in, std::vector<result>& out);

  /// Converts `options.input` into the ut_results script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
