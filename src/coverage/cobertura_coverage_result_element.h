#pragma once
// Cobertura XML coverage reports (gcovr --xml or --cobertura, coverage.py's
// "coverage xml", OpenCppCoverage ...): one ut_coverage row per source file,
// then one "*module_statistics" row with the sums over all of them.
//
//   <coverage line-rate="0.5" branch-rate="0.5" version="gcovr 5.2">
//     <sources><source>.</source></sources>
//     <packages><package name="src"><classes>
//       <class name="calc_c" filename="src/calc.c">
//         <methods/>
//         <lines>
//           <line number="3" hits="2" branch="false"/>
//           <line number="4" hits="0" branch="true" condition-coverage="50% (1/2)"/>
//         </lines>
//       </class>
//     </classes></package></packages>
//   </coverage>
//
// gives function_name src/calc.c (the class's filename as written, not joined
// to the <source>), C0 (lines) 50 % (1 of 2 <line> elements has hits above 0)
// and C1 (branches) 50 % (the sums of the covered and total counts in the
// parentheses of the branch="true" lines). Classes that name the same file
// add up into one row, placed at the file's first class. Only the <line>
// elements directly in a class's <lines> count, not their copies under
// <methods>; a file without branch lines leaves the three C1 columns empty.
// Percents are 100 x hit / found rounded down, empty when nothing was found.

#include <istream>
#include <string>
#include <vector>

#include "coverage/coverage_output.h"
#include "detail/options.h"

class QZCoberturaCoverageResultElement {
 public:
  /// Reads all of `in` and replaces `out` with the rows of its files, then the
  /// module row (none without files). Returns an empty text, or, for input
  /// that is not well-formed XML or whose root is not <coverage>, why (the
  /// parser's reason and offset, or the root), with no rows.
  ///
  /// A <line> whose number or hits is not a count is passed over, and so is
  /// the branch part of one whose condition-coverage holds no "(covered/total)"
  /// counts; a class without a filename is passed over. A file with a number
  /// too large for 64 bits gives no row and a message naming its input line.
  /// Neither parsing nor the walk over the elements recurses, so no nesting
  /// depth can exhaust the stack.
  static std::string read_rows(std::istream& in, std::vector<Coverage::coverage_row>& out);

  /// Converts `options.input` into the ut_coverage script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
