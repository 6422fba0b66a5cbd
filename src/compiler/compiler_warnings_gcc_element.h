#pragma once
// GCC and Clang build logs: one compiler_results row per diagnostic line
// such as `src/a.c:12:5: warning: unused variable 'x' [-Wunused-variable]`,
// in log order. Notes, context lines (`In file included from`, `In function`),
// source and caret lines, linker messages without a line number and the
// lines of make and ninja give no row.
//
// cppcheck's default text form reads the same way: its lines of the
// severities style, performance, portability and information give rows like
// warning lines, with the severity as the type and the bracketed identifier
// (`main.c:12:3: style: Variable 'x' is assigned a value that is never used.
// [unreadVariable]`); its "nofile:0:0:" lines give none.

#include <cstddef>
#include <deque>
#include <istream>
#include <string>
#include <string_view>

#include "detail/options.h"
#include "detail/pattern.h"

class QZCompilerWarningsGccElement {
 public:
  std::string filename;   // the part after the first "/Src/", else the whole name
  std::string line;       // the digits as the log writes them
  std::string type;       // "error" (also for a fatal error), "warning", or cppcheck's "style" ...
  std::string error_id;   // the text in the brackets that end the line, e.g. "-Wsign-conversion"
  std::string error_num;  // always empty: GCC and Clang number no diagnostic

  /// The diagnostic line pattern, compiled on the first call. The file name
  /// ends at the first ":LINE:" that an optional "COLUMN:", a blank and a
  /// severity (GCC's or cppcheck's) follow; one leading bracketed prefix (a CI time stamp, Ant's
  /// "[exec]") and its blank are skipped, and so is white space before the
  /// prefix and before the file name. The line is matched without its
  /// trailing white space.
  static const Detail::Pattern& diagnostic_pattern();

  /// Fills `element` from a line without colour sequences and returns whether
  /// it is a diagnostic; `line_number` is for the message printed when the
  /// pattern engine gives up on the line; `groups` is the caller's capture
  /// buffer, reused from line to line.
  static bool parse_line(std::string_view text, std::size_t line_number, Detail::Match& groups,
                         QZCompilerWarningsGccElement& element);

  /// Replaces `out` with one record per diagnostic line of `in`, in log
  /// order, duplicates kept.
  static void read_elements(std::istream& in, std::deque<QZCompilerWarningsGccElement>& out);

  /// Converts `options.input` into the compiler_results script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
