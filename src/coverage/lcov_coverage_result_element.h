#pragma once
// lcov tracefiles: one ut_coverage row per source file, then one
// "*module_statistics" row with the sums over all of them.
//
// A record runs from "SF:<path>" to "end_of_record":
//
//   SF:/src/calc.c
//   DA:3,2
//   DA:4,0
//   BRDA:4,0,0,1
//   BRDA:4,0,1,-
//   LF:2
//   LH:1
//   end_of_record
//
// gives function_name /src/calc.c, C0 (lines) 50 % (1 of 2 found by LF/LH)
// and C1 (branches) 50 % (1 of 2 BRDA lines taken, the count "-" is not).
// LF/LH and BRF/BRH win over counting DA and BRDA lines; a record with no
// branch lines at all leaves the three C1 columns empty. Percents are
// 100 x hit / found rounded down, empty when nothing was found.
//
// A source built into several objects has a record per object, all with the
// same SF text. They are merged as lcov merges them: a line (DA) is found once
// and hit when any record's count is above 0; a branch (BRDA, by line, block
// and branch) likewise, "-" only when every record says "-". Their LF/LH and
// BRF/BRH lines are not read.

#include <deque>
#include <istream>
#include <string>

#include "coverage/coverage_output.h"
#include "detail/options.h"

class QZLcovCoverageResultElement {
 public:
  Coverage::coverage_row row;

  /// Replaces `out` with one record per source file in the order of their
  /// first records, then the module record (none for a tracefile without
  /// records). A record holding a
  /// number too large for 64 bits gives no row and a message naming its line;
  /// lines that are not well formed are skipped. A record ends at
  /// "end_of_record", at the next "SF:" line or at the end of the input.
  static void read_elements(std::istream& in, std::deque<QZLcovCoverageResultElement>& out);

  /// Converts `options.input` into the ut_coverage script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
