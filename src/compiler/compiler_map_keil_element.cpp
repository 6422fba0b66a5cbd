#include "compiler/compiler_map_keil_element.h"

#include <charconv>

#include "compiler/compiler_map_output.h"
#include "detail/line_reader.h"
#include "detail/text_helpers.h"

const Detail::Pattern& QZCompilerMapKeilElement::my_regex() {
  static const Detail::Pattern my_regex_local(std::string("^\\s+") + "(.*)\\s+0x" + "([0-9a-f]{8})\\s+" +
                                              "([a-zA-Z\\s]+)\\s+" + "([0-9]+)\\s+" + "([.a-zA-Z_0-9]+)" +
                                              "\\((.*?)\\)" + "(.*)");
  return my_regex_local;
}

bool QZCompilerMapKeilElement::parse_input_string(std::string_view line, std::size_t line_number) {
  Detail::Match groups;
  if (!Detail::match_input_line(my_regex(), line, line_number, groups)) return false;
  originhex = groups.str(2);
  origindec = CompilerMap::hex_value(originhex);
  sizedec = Detail::my_lexical_cast<unsigned int>(groups.str(4));
  char hex[2 * sizeof(unsigned long)];
  sizehex.assign(hex, std::to_chars(hex, hex + sizeof hex, static_cast<unsigned long>(sizedec), 16).ptr);
  section = groups.str(6);
  filename = groups.str(5);
  return true;
}

void QZCompilerMapKeilElement::read_elements(std::istream& in, std::deque<QZCompilerMapKeilElement>& out) {
  out.clear();
  Detail::LineReader reader(in);
  for (std::string_view text; reader.next(text);) {
    QZCompilerMapKeilElement element;
    element.is_valid = element.parse_input_string(text, reader.line_number());
    if (element.is_valid) out.push_back(std::move(element));
  }
}

void QZCompilerMapKeilElement::GetQZCompilerMapElements(std::ifstream& in, std::deque<QZCompilerMapKeilElement>& out) {
  read_elements(in, out);
  in.close();
}

void QZCompilerMapKeilElement::get_final_result(const Detail::options& options) {
  CompilerMap::get_final_result<QZCompilerMapKeilElement>(options);
}
