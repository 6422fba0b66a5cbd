#include "compiler/compiler_warnings_ti_element.h"

#include <cctype>

#include "compiler/compiler_results_output.h"
#include "compiler/diagnostic_columns.h"

const Detail::Pattern& QZCompilerWarningsTiElement::header_pattern() {
  // The identifier begins and ends with a character that is neither white
  // space nor a colon: the blanks around it are never matched two ways, so a
  // long run of them costs time in proportion to its length.
  static const std::string str_regex =
      std::string("(?:\\[[^\\]]*\\] )?") + "\"(.*)\"," + "[[:space:]]+" + "line" + "[[:space:]]+" + "([0-9]+)" +
      "(?:[[:space:]]+\\(col\\.[[:space:]]+[0-9]+\\))?" + ":[[:space:]]+" +
      "([Ww][Aa][Rr][Nn][Ii][Nn][Gg]|[Ee][Rr][Rr][Oo][Rr]|[Rr][Ee][Mm][Aa][Rr][Kk]|[Ff][Aa][Tt][Aa][Ll][[:space:]]+"
      "[Ee][Rr][Rr][Oo][Rr])" +
      "(?:[[:space:]]+(\\([^)]*\\)|[^:[:space:]](?:[^:]*[^:[:space:]])?))?" + "[[:space:]]*:" + ".*";
  static const Detail::Pattern pattern(str_regex);
  return pattern;
}

bool QZCompilerWarningsTiElement::parse_line(std::string_view text, std::size_t line_number,
                                             Detail::Match& groups, QZCompilerWarningsTiElement& element) {
  // A header holds '",' after its file name; the long compiler command
  // lines of a build log hold none and are passed over without the pattern.
  if (text.find("\",") == std::string_view::npos) return false;
  if (!Detail::match_input_line(header_pattern(), text, line_number, groups)) return false;
  element.filename = CompilerResults::filename_after_src(groups[1]);
  element.line = groups.str(2);
  std::string severity = groups.str(3);
  for (char& c : severity) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  element.type = severity.starts_with("fatal") ? "error" : severity;
  element.error_id = groups.str(4);
  element.error_num = CompilerResults::first_digits(element.error_id);
  return true;
}

void QZCompilerWarningsTiElement::read_elements(std::istream& in, std::deque<QZCompilerWarningsTiElement>& out) {
  CompilerResults::read_diagnostics(in, out);
}

void QZCompilerWarningsTiElement::get_final_result(const Detail::options& options) {
  CompilerResults::get_final_result<QZCompilerWarningsTiElement>(options, read_elements);
}
