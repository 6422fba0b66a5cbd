#include "compiler/compiler_map_element.h"

#include "compiler/compiler_map_output.h"
#include "detail/line_reader.h"

const Detail::Pattern& QZCompilerMapElement::my_regex() {
  static const Detail::Pattern my_regex_local(std::string("([0-9a-f]{8})") + "\\+" + "([0-9a-f]{6})" + "[[:space:]]+" +
                                              "([\\.a-zA-Z_0-9]* -> [\\.a-zA-Z_0-9]*?|[\\.a-zA-Z_0-9]*)" +
                                              "[[:space:]]+" + "(.*)");
  return my_regex_local;
}

void QZCompilerMapElement::GetQZCompilerMapElements(std::istream& in, std::deque<QZCompilerMapElement>& out) {
  out.clear();
  Detail::LineReader reader(in);
  Detail::Match groups;
  for (std::string_view text; reader.next(text);) {
    if (!Detail::match_input_line(my_regex(), text, reader.line_number(), groups)) continue;
    QZCompilerMapElement element;
    element.originhex = groups.str(1);
    element.origindec = CompilerMap::hex_value(element.originhex);
    element.sizehex = groups.str(2);
    element.sizedec = CompilerMap::hex_value(element.sizehex);
    element.section = groups.str(3);
    element.filename = groups.str(4);
    out.push_back(std::move(element));
  }
}

void QZCompilerMapElement::get_final_result(const Detail::options& options) {
  CompilerMap::get_final_result<QZCompilerMapElement>(options, GetQZCompilerMapElements);
}
