#pragma once
// gcov's JSON intermediate format (gcov --json-format, GCC 9 and later): one
// ut_coverage row per source file, then one "*module_statistics" row with the
// sums over all of them.
//
//   {"format_version": "1", "gcc_version": "12.2.0", "data_file": "calc.gcda",
//    "current_working_directory": "/src", "files": [{"file": "calc.c",
//      "functions": [...],
//      "lines": [{"line_number": 3, "count": 2, "function_name": "add", "unexecuted_block": false,
//                 "branches": []},
//                {"line_number": 4, "count": 0, "function_name": "add", "unexecuted_block": true,
//                 "branches": [{"count": 1, "fallthrough": true, "throw": false},
//                              {"count": 0, "fallthrough": false, "throw": false}]}]}]}
//
// gives function_name calc.c, C0 (lines) 50 % (1 of 2 lines has a count
// above 0) and C1 (branches) 50 % (1 of 2 branches taken). The input is the
// .gcov.json.gz gcov writes (gzip, also several joined) or its plain text, one
// document or several (gcov --stdout writes one per data file and line).
//
// The files of all documents are merged by name as written: a header listed
// by several data files is one row. A line is counted once however many
// entries it has (template instantiations and inline copies each list it),
// hit when any has a count above 0; a branch is counted once per line and
// position in the line's "branches", taken when any copy's count is above 0.
// A file without branches (gcov run without -b lists none) leaves the three
// C1 columns empty. Files under /usr/include/, /usr/lib/ and
// /usr/local/include/ (the system's and the compiler's headers) give no row
// and add to no total. Rows follow the files' first appearance. Percents are
// 100 x hit / found rounded down, empty when nothing was found.

#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "coverage/coverage_output.h"
#include "detail/options.h"

class QZGcovJsonCoverageResultElement {
 public:
  /// Reads all of `in` and replaces `out` with the rows of its files, then the
  /// module row (none without files). Returns an empty text or, for input
  /// that is not gcov JSON (not JSON, a damaged or cut gzip stream, a
  /// document without "files" or of another "format_version", a line without
  /// its number or count), why, with no rows: a document that fails refuses
  /// the documents before it too.
  static std::string read_rows(std::istream& in, std::vector<Coverage::coverage_row>& out);

  /// Whether `path` lies among the system's and the compiler's headers, which
  /// give no row.
  static bool is_system_file(std::string_view path);

  /// Converts `options.input` into the ut_coverage script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
