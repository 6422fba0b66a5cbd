#pragma once
// TI and other EDG-based compiler logs: one compiler_results row per
// diagnostic header such as
// `"../Src/a.c", line 57: warning #179-D: variable "x" was declared but never referenced`
// or `"a.c", line 639 (col. 10): error: expected a ";"`, in log order. The
// message text may stand on the header line, begin there or follow on the
// next lines. Assembler lines and linker lines without a file and line give
// no row.

#include <cstddef>
#include <deque>
#include <istream>
#include <string>
#include <string_view>

#include "detail/options.h"
#include "detail/pattern.h"

class QZCompilerWarningsTiElement {
 public:
  std::string filename;   // the part after the first "/Src/", else the whole name
  std::string line;       // the digits as the log writes them
  std::string type;       // "warning", "error" (also for a fatal error) or "remark", in lower case
  std::string error_id;   // "#179-D", "(dcc:1521)" or empty
  std::string error_num;  // the first run of digits in error_id: "179", "1521" or empty

  /// The header line pattern, compiled on the first call. The identifier is
  /// a parenthesised text, or else the text up to the first colon after the
  /// severity, which may be written in any letter case; one leading bracketed
  /// prefix (a CI time stamp) and its blank are skipped.
  static const Detail::Pattern& header_pattern();

  /// Fills `element` from a line without colour sequences and returns whether
  /// it is a diagnostic header; `line_number` is for the message printed when
  /// the pattern engine gives up on the line; `groups` is the caller's capture
  /// buffer, reused from line to line.
  static bool parse_line(std::string_view text, std::size_t line_number, Detail::Match& groups,
                         QZCompilerWarningsTiElement& element);

  /// Replaces `out` with one record per diagnostic header of `in`, in log
  /// order, duplicates kept.
  static void read_elements(std::istream& in, std::deque<QZCompilerWarningsTiElement>& out);

  /// Converts `options.input` into the compiler_results script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
