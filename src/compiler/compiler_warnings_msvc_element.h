#pragma once
// Build logs in the MSVC form: one compiler_results row per diagnostic line
// `FILE(LINE): SEVERITY ID: MESSAGE` or `FILE(LINE,COLUMN): ...`, in log
// order, as MSVC `cl`, MSBuild, clang-cl (and clang with
// `-fdiagnostics-format=msvc`) and Keil armcc 5 print them:
//
//   C:\work\Src\app\main.c(27): warning C4996: 'strcpy': This function may be unsafe.
//   12>C:\work\Src\app\main.c(27,5): error C2065: 'x': undeclared identifier [C:\work\app.vcxproj]
//   a.c(5,27): warning: unused parameter 'argv' [-Wunused-parameter]
//   main.c(12): warning:  #550-D: variable "x" was set but never used
//
// Notes, linker and driver lines without a file and line give no row, and
// neither does the summary in which MSBuild repeats every diagnostic.

#include <cstddef>
#include <deque>
#include <istream>
#include <string>
#include <string_view>

#include "detail/options.h"
#include "detail/pattern.h"

class QZCompilerWarningsMsvcElement {
 public:
  std::string filename;   // the part after the first "/Src/" or "\Src\", else the whole name
  std::string line;       // the digits as the log writes them
  std::string type;       // "warning" or "error" (also for a fatal error)
  std::string error_id;   // "C4996", "#550-D", or for clang the bracketed "-Wunused-parameter"
  std::string error_num;  // the first run of digits of an identifier: "4996", "550"; empty for clang

  /// The diagnostic line pattern, compiled on the first call. One leading
  /// bracketed prefix (a CI time stamp), white space and an MSBuild project
  /// number ("12>") are skipped; the file name ends at the first "(LINE)" or
  /// "(LINE,COLUMN)" that a colon, a blank and a severity in any letter case
  /// follow; the identifier is the text up to the next colon.
  static const Detail::Pattern& diagnostic_pattern();

  /// Fills `element` from a line without colour sequences and returns whether
  /// it is a diagnostic; `line_number` is for the message printed when the
  /// pattern engine gives up on the line; `groups` is the caller's capture
  /// buffer, reused from line to line.
  static bool parse_line(std::string_view text, std::size_t line_number, Detail::Match& groups,
                         QZCompilerWarningsMsvcElement& element);

  /// Whether a line without colour sequences begins MSBuild's summary
  /// ("Build succeeded." or "Build FAILED."), which repeats every diagnostic
  /// of the build, or ends it: any line that is none of a blank line, a
  /// repeated diagnostic, a project or target line ending in "->" and the
  /// "N Warning(s)" and "N Error(s)" counts ("Time Elapsed ...", or the next
  /// build's lines in a log cut after "Build succeeded."). Exposed for testing.
  static bool begins_summary(std::string_view text);
  static bool ends_summary(std::string_view text);

  /// Replaces `out` with one record per diagnostic line of `in`, in log
  /// order, duplicates kept.
  static void read_elements(std::istream& in, std::deque<QZCompilerWarningsMsvcElement>& out);

  /// Converts `options.input` into the compiler_results script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
