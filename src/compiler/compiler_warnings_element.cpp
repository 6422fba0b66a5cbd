#include "compiler/compiler_warnings_element.h"

#include "compiler/compiler_results_output.h"
#include "compiler/diagnostic_columns.h"
#include "detail/line_reader.h"
#include "detail/sql_conversion.h"
#include "detail/sql_script.h"
#include "detail/text_helpers.h"

const Detail::Pattern& QZCompilerWarningsElement::my_regex() {
  static const std::string str_regex = std::string("\"(.*)\",") + "[[:space:]]+" + "line" + "[[:space:]]+" +
                                       "([0-9]+)" + ":[[:space:]]+" + "(error|warning)" + "[[:space:]]+" +
                                       "(.*):" + "[[:space:]]*";
  static const Detail::Pattern my_regex_local(str_regex);
  return my_regex_local;
}

std::string QZCompilerWarningsElement::error_num(const std::string& error_id) {
  if (error_id.empty()) return std::string();
  if (error_id.size() < 3) return error_id.substr(1);
  return error_id.substr(1, error_id.size() - 3);
}

void QZCompilerWarningsElement::GetQZCompilerWarningsElements(std::istream& in,
                                                              std::deque<QZCompilerWarningsElement>& out) {
  out.clear();
  Detail::LineReader reader(in);
  Detail::Match groups;
  for (std::string_view text; reader.next(text);) {
    // A header holds '",' after its file name; the long compiler command
    // lines of a build log hold none and are passed over without the pattern.
    if (text.find("\",") == std::string_view::npos) continue;
    if (!Detail::match_input_line(my_regex(), text, reader.line_number(), groups)) continue;
    QZCompilerWarningsElement element;
    element.filename = CompilerResults::filename_after_src(groups[1]);
    element.line = groups.str(2);
    element.type = groups.str(3);
    element.error_id = groups.str(4);
    out.push_back(std::move(element));
  }
}

void QZCompilerWarningsElement::get_final_result(const Detail::options& options) {
  auto add_row = [](Detail::TableRows& rows, const QZCompilerWarningsElement& element) {
    CompilerResults::add_row(rows, element.filename, element.line, element.type, element.error_id,
                             error_num(element.error_id));
  };
  Detail::convert_records_to_sql<QZCompilerWarningsElement>(options, CompilerResults::compiler_results_table(),
                                                           GetQZCompilerWarningsElements, add_row);
}
