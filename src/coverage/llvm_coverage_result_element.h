#pragma once
// llvm-cov's JSON export (llvm-cov export -format=text, with or without
// -summary-only) of clang's source-based coverage: one ut_coverage row per
// source file, then one "*module_statistics" row from the export's totals.
//
//   {"data": [{"files": [{"filename": "/src/calc.c", "segments": [...], "branches": [...],
//                         "expansions": [...],
//                         "summary": {"lines": {"count": 4, "covered": 3, "percent": 75},
//                                     "branches": {"count": 2, "covered": 1, "notcovered": 1, "percent": 50},
//                                     "functions": {...}, "instantiations": {...}, "regions": {...}}}],
//              "functions": [...], "totals": {"lines": {...}, "branches": {...}, ...}}],
//    "type": "llvm.coverage.json.export", "version": "2.0.1"}
//
// gives function_name /src/calc.c, C0 (lines) 75 % (3 of 4) and C1
// (branches, each outcome counted as llvm-cov report counts them) 50 %
// (1 of 2), the figures of llvm-cov report's table. The details (segments,
// branches, expansions, functions) are passed over unread, so a full export
// and its -summary-only form give the same rows; gzip-compressed exports
// read too. A summary without "branches" (older llvm) leaves the C1 columns
// empty; a count of 0 gives an empty percent. Percents are 100 x covered /
// count rounded down.

#include <istream>
#include <string>
#include <vector>

#include "coverage/coverage_output.h"
#include "detail/options.h"

class QZLlvmCoverageResultElement {
 public:
  /// Reads all of `in` and replaces `out` with the rows of its files, then the
  /// module row (the sum of the totals when the export holds several). Returns
  /// an empty text or, for input that is not an llvm-cov export (not JSON, a
  /// damaged or cut gzip stream, a "type" other than
  /// "llvm.coverage.json.export", a "version" whose major number is not 2, a
  /// file without its name or line summary), why, with no rows.
  static std::string read_rows(std::istream& in, std::vector<Coverage::coverage_row>& out);

  /// Converts `options.input` into the ut_coverage script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
