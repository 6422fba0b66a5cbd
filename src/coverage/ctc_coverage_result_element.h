#pragma once
// CTC++ coverage listings: one ut_coverage row per function summary and per
// summary pair of TER lines.
//
// A function summary is a "***TER" line and the line after it, joined with
// nothing between them:
//
//   ***TER  50 % (  1/  2) of FUNCTION foo()
//          100 % (  3/  3) statement
//
// gives function_name foo, C1 50 % (1/2) and C0 100 % (3/3). A summary pair
// is a "TER" line and the line after it, joined with one blank:
//
//   TER : 75 % (3/4) decision
//   TER : 100 % (10/10) statement
//
// gives function_name "*module_statistics", C1 75 % (3/4), C0 100 % (10/10).
// Counts and percentages are kept as the digits the listing printed.

#include <cstddef>
#include <deque>
#include <istream>
#include <string>

#include "coverage/coverage_output.h"
#include "detail/options.h"
#include "detail/pattern.h"

class QZCtcCoverageResultElement {
 public:
  bool is_valid = false;
  Coverage::coverage_row row;

  /// The function summary pattern (a "***TER" pair), compiled on the first call.
  static const Detail::Pattern& my_regex();

  /// The module summary pattern (a "TER" pair), compiled on the first call.
  static const Detail::Pattern& my_regex2();

  /// Fills this record from one joined pair, trying the function pattern
  /// first and the module pattern second; returns whether one matched. On no
  /// match the record is left untouched. `first_line_number` is the number
  /// of the pair's first line, for the message when the engine gives up.
  bool parse_input_string(const std::string& text, std::size_t first_line_number);

  /// Replaces `out` with the records of the listing `in` in input order,
  /// duplicates kept. A line beginning with "***TER" or "TER" takes the next
  /// line as its partner, whatever that line holds (none after the last line);
  /// the partner is never the first line of another pair. Each line counts only
  /// up to a NUL character it may hold.
  static void GetQZCoverageResultElements(std::istream& in, std::deque<QZCtcCoverageResultElement>& out);

  /// Converts `options.input` into the ut_coverage script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
