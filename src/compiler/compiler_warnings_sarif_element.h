#pragma once
// SARIF 2.1.0 logs, the exchange format of static analysers (clang --analyze,
// GCC's -fdiagnostics-format=sarif-file, MSVC /analyze, flawfinder, CodeQL):
// one compiler_results row per result of every run, in file order. Results
// of kind "pass" or "notApplicable" and suppressed results give no row.

#include <deque>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "detail/options.h"

class QZCompilerWarningsSarifElement {
 public:
  std::string filename;   // the first location's file, after the first "/Src/"; empty without one
  std::string line;       // the first location's start line; empty without one
  std::string type;       // "error", "warning" or "note" (a level "none" gives "note")
  std::string error_id;   // the rule's identifier, e.g. "deadcode.DeadStores", "FF1022"
  std::string error_num;  // the first run of digits in error_id: "1022"; empty without one

  /// Reads all of `in` (UTF-8, or UTF-16 with a byte-order mark) and replaces
  /// `out` with its rows. Returns an empty text, or, for input that is not
  /// JSON or has no "runs", why (the parser's error and where it stopped);
  /// then `out` is empty. Neither parsing nor the walk over the values
  /// recurses, so no nesting depth can exhaust the stack.
  static std::string read_elements(std::istream& in, std::deque<QZCompilerWarningsSarifElement>& out);

  /// The same, and `value_faults` gets a message for each value of a JSON
  /// log that the parser cannot take: a string escape that is not valid
  /// UTF-16 (a lone surrogate) or a number beyond a double's range. Such a
  /// value in a member a row reads (a result's "ruleId", "level", "kind", its
  /// location's "uri" or "startLine", ...) costs that result its row; any
  /// other is passed over.
  static std::string read_elements(std::istream& in, std::deque<QZCompilerWarningsSarifElement>& out,
                                   std::vector<std::string>& value_faults);

  /// The file a location's URI names: a "file:" URI gives its path
  /// ("file:///C:/a%20b.c" gives "C:/a b.c", "file:///src/a.c" gives
  /// "/src/a.c"), every other URI, relative ones included, is kept with its
  /// %XX escapes decoded. Exposed for testing.
  static std::string file_path(std::string_view uri);

  /// Converts `options.input` into the compiler_results script at
  /// `options.output`, saying on standard output which values were passed
  /// over, and why there are no rows when the input is not a SARIF log.
  static void get_final_result(const Detail::options& options);
};
