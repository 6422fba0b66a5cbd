#pragma once
// cppcheck's XML reports (`cppcheck --xml`, version 2): one compiler_results
// row per finding, in report order, duplicates kept.
//
//   <results version="2">
//     <cppcheck version="2.10"/>
//     <errors>
//       <error id="nullPointerRedundantCheck" severity="warning" msg="..." verbose="..." cwe="476"
//              file0="src/ring.c">
//         <location file="src/ring.c" line="17" column="10" info="Null pointer dereference"/>
//         <location file="src/ring.c" line="18" column="12" info="Assuming that ..."/>
//         <symbol>name</symbol>
//       </error>
//     </errors>
//   </results>
//
// gives filename src/ring.c and line 17 (the first location is where the
// finding is; the others are the path to it), type warning (the severity:
// error, warning, style, performance, portability or information), error_id
// nullPointerRedundantCheck and error_num 476 (the CWE; empty without one).
// A finding without a location (cppcheck's missingInclude summary) gives a
// row with an empty filename and line. Inconclusive findings are rows like
// the others, and a finding in a header that cppcheck reports once per file
// that includes it gives a row each time.

#include <deque>
#include <istream>
#include <string>

#include "detail/options.h"

class QZCompilerWarningsCppcheckElement {
 public:
  std::string filename;   // the first location's file, after the first "/Src/" or "\Src\"; empty without one
  std::string line;       // the first location's line as written; empty without one
  std::string type;       // the severity: "error", "warning", "style", "performance", ...
  std::string error_id;   // the checker's identifier, e.g. "nullPointerRedundantCheck"
  std::string error_num;  // the cwe attribute as written, e.g. "476"; empty without one

  /// Reads all of `in` and replaces `out` with its rows. Returns an empty
  /// text, or, for input that is not well-formed XML or not a version 2
  /// report, why (the parser's reason and offset, the root element, or the
  /// version); then `out` is empty. The findings are parsed one at a time,
  /// so memory stays near the size of the text; neither parsing nor the walk
  /// over the elements recurses.
  static std::string read_elements(std::istream& in, std::deque<QZCompilerWarningsCppcheckElement>& out);

  /// Converts `options.input` into the compiler_results script at
  /// `options.output`, saying on standard output why there are no rows when
  /// the input is not a cppcheck XML report.
  static void get_final_result(const Detail::options& options);
};
