#pragma once
// Compiler warning logs: one compiler_results row per diagnostic header line
// such as `"../Src/app/main.c", line 57: warning #179-D:`, in log order.

#include <deque>
#include <istream>
#include <string>

#include "detail/options.h"
#include "detail/pattern.h"

class QZCompilerWarningsElement {
 public:
  std::string filename;  // the part after the first "/Src/", else the whole name
  std::string line;      // the digits as the log writes them ("007" stays)
  std::string type;      // "error" or "warning"
  std::string error_id;  // for example "#179-D"

  /// The header line pattern, compiled on the first call. The identifier runs
  /// up to the last colon, after which only white space may follow.
  static const Detail::Pattern& my_regex();

  /// Replaces `out` with one record per header line of `in`, in log order,
  /// duplicates kept.
  static void GetQZCompilerWarningsElements(std::istream& in, std::deque<QZCompilerWarningsElement>& out);

  /// The error_num column: `error_id` without its first character and its
  /// last two ("#179-D" gives "179", "#20" gives ""). Shorter identifiers
  /// give what follows the first character ("ab" gives "b"); an empty one
  /// gives "". Exposed for testing.
  static std::string error_num(const std::string& error_id);

  /// Converts `options.input` into the compiler_results script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
