#pragma once
// gcov HTML coverage summaries: one ut_coverage row per line-coverage row.
//
// Every line of the page that is exactly such a table row, with lower-case
// tags and no white space outside the third cell's text,
//
//   <tr><td>Lines:</td><td>120</td><td>150</td><td>80.0 %</td></tr>
//
// gives C0_tested_lines 120, C0_testable_lines 150 and C0_percent 80 (the
// digits the third cell begins with). The function name and the C1 columns
// stay empty.

#include <cstddef>
#include <deque>
#include <istream>
#include <string>
#include <string_view>

#include "coverage/coverage_output.h"
#include "detail/options.h"
#include "detail/pattern.h"

class QZGCovCoverageResultElement {
 public:
  Coverage::coverage_row row;

  /// The line-coverage row pattern, compiled on the first call.
  static const Detail::Pattern& my_regex();

  /// Matches one line of the page against my_regex(), as the reading loop
  /// does. Exposed for testing.
  static bool match_row(std::string_view line, std::size_t line_number, Detail::Match& groups);

  /// Replaces `out` with one record per matching line of `in`, in input order,
  /// duplicates kept.
  static void GetQZCoverageResultElements(std::istream& in, std::deque<QZGCovCoverageResultElement>& out);

  /// Converts `options.input` into the ut_coverage script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
