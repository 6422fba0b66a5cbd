#include "compiler/compiler_warnings_gcc_element.h"

#include "compiler/compiler_results_output.h"
#include "compiler/diagnostic_columns.h"

namespace {

// Every diagnostic holds ": " and a severity with its colon ("warning:",
// "error:", "fatal error:", or one of cppcheck's "style:", "performance:",
// "portability:", "information:"); the other lines of a build log, most of
// all the long compiler command lines, are passed over without the pattern.
bool may_be_diagnostic(std::string_view text) {
  static constexpr std::string_view severities[] = {"warning:",     "error:",       "fatal error:", "style:",
                                                    "performance:", "portability:", "information:"};
  for (std::size_t colon = text.find(": "); colon != std::string_view::npos; colon = text.find(": ", colon + 1)) {
    const std::string_view rest = text.substr(colon + 2);
    for (const std::string_view severity : severities) {
      if (rest.starts_with(severity)) return true;
    }
  }
  return false;
}

// cppcheck writes "nofile:0:0:" for a finding that belongs to no source line
// (a summary such as "Cppcheck cannot find all the include files").
bool is_without_location(std::string_view filename, std::string_view line) {
  return filename == "nofile" && line == "0";
}

// Trailing white space is cut here rather than matched by the pattern, where
// it would follow the message's lazy run and cost time in the square of its
// length.
std::string_view without_trailing_space(std::string_view text) {
  const std::size_t last = text.find_last_not_of(" \t\v\f\r");
  return text.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

}  // namespace

const Detail::Pattern& QZCompilerWarningsGccElement::diagnostic_pattern() {
  // White space before the prefix and before the file name is skipped (Ant's
  // "     [exec] " in front of every line of the tools it runs).
  static const std::string str_regex = std::string("\\s*(?:\\[[^\\]]*\\] \\s*)?") + "(\\S.*?)" + ":([0-9]+):" +
                                       "(?:[0-9]+:)?" + " (warning|error|fatal error|style|performance|portability|information):" + ".*?" +
                                       "(?:\\[([^\\[\\]]*)\\])?";
  static const Detail::Pattern pattern(str_regex);
  return pattern;
}

bool QZCompilerWarningsGccElement::parse_line(std::string_view text, std::size_t line_number,
                                              Detail::Match& groups, QZCompilerWarningsGccElement& element) {
  if (!may_be_diagnostic(text)) return false;
  if (!Detail::match_input_line(diagnostic_pattern(), without_trailing_space(text), line_number, groups)) return false;
  if (is_without_location(groups[1], groups[2])) return false;
  element.filename = CompilerResults::filename_after_src(groups[1]);
  element.line = groups.str(2);
  const std::string_view severity = groups[3];
  // cppcheck's own severities are kept as printed; GCC's fatal error is an error.
  element.type = severity == "fatal error" ? "error" : severity;
  element.error_id = groups.str(4);
  element.error_num.clear();
  return true;
}

void QZCompilerWarningsGccElement::read_elements(std::istream& in, std::deque<QZCompilerWarningsGccElement>& out) {
  CompilerResults::read_diagnostics(in, out);
}

void QZCompilerWarningsGccElement::get_final_result(const Detail::options& options) {
  CompilerResults::get_final_result<QZCompilerWarningsGccElement>(options, read_elements);
}
