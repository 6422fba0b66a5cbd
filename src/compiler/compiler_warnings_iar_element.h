#pragma once
// IAR Embedded Workbench build logs: one compiler_results row per diagnostic
// of its compilers, assemblers and linker, in log order, duplicates kept.
// The three forms of a diagnostic line:
//
//   C:\dev\Src\app\main.c(43) : Warning[Pe177]: variable "x" was declared but never referenced
//   "C:\dev\Src\app\main.c",43  Warning[Pe177]: variable "x" was declared but never referenced
//   Warning[Li026]: the function "f" is never referenced
//
// The severity (Remark, Warning, Error, Fatal Error or Fatal error) gives the
// type in lower case, a fatal error giving "error"; the tag in brackets is
// the identifier ("Pe177", "Li026", the assembler's "2") and its first run of
// digits the number. A line without a file and line number (the linker's)
// gives a row with an empty filename and line. Only the first diagnostic of a
// line counts (a message may quote another one). The lines a message is
// wrapped onto (indented 9 or more blanks), the echoed source and caret lines,
// the totals and IAR C-STAT's "Severity-Low[...]" findings give no row.

#include <cstddef>
#include <deque>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "detail/options.h"
#include "detail/pattern.h"

class QZCompilerWarningsIarElement {
 public:
  std::string filename;   // the part after the first "/Src/" or "\Src\", else the whole name; empty without one
  std::string line;       // the digits as the log writes them; empty without a location
  std::string type;       // "remark", "warning" or "error" (also for a fatal error)
  std::string error_id;   // the tag in brackets: "Pe177", "Li026", "2"
  std::string error_num;  // its first run of digits: "177", "026", "2"

  /// The first diagnostic of a line: where its severity begins, the severity
  /// and the tag.
  struct Diagnostic {
    std::size_t begin = 0;
    std::string_view severity;
    std::string_view tag;
  };

  /// The first "SEVERITY[TAG]:" of `text` whose severity begins the text or
  /// follows a character that is not a letter; none without one. Exposed for
  /// testing.
  static std::optional<Diagnostic> first_diagnostic(std::string_view text);

  /// Fills `element` from a line without colour sequences and returns whether
  /// it is a diagnostic. `line_number` and `groups` are not used: the line is
  /// read without a pattern, in the signature of the other readers.
  static bool parse_line(std::string_view text, std::size_t line_number, Detail::Match& groups,
                         QZCompilerWarningsIarElement& element);

  /// Replaces `out` with one record per diagnostic line of `in`, in log
  /// order, duplicates kept.
  static void read_elements(std::istream& in, std::deque<QZCompilerWarningsIarElement>& out);

  /// Converts `options.input` into the compiler_results script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
