#include "compiler/compiler_map_keil_element.h"

#include <algorithm>
#include <array>
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

namespace {

// The classes of the pattern: \s is [[:space:]] of the classic locale
// (space, tab, LF, VT, FF, CR); no byte from 0x80 up is in any class.
enum CharClass : unsigned char {
  space = 1,
  letter = 2,
  digit = 4,
  hex_digit = 8,
  name = 16,
  line_end = 32,
};

constexpr std::array<unsigned char, 256> make_class_table() {
  std::array<unsigned char, 256> table{};
  for (unsigned c = 0; c < 256; ++c) {
    unsigned char bits = 0;
    if (c == ' ' || (c >= '\t' && c <= '\r')) bits |= space;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) bits |= letter | name;
    if (c >= '0' && c <= '9') bits |= digit | hex_digit | name;
    if (c >= 'a' && c <= 'f') bits |= hex_digit;
    if (c == '.' || c == '_') bits |= name;
    if (c == '\r' || c == '\n') bits |= line_end;
    table[c] = bits;
  }
  return table;
}

constexpr std::array<unsigned char, 256> class_table = make_class_table();

bool in_class(char c, unsigned char wanted) { return (class_table[static_cast<unsigned char>(c)] & wanted) != 0; }

std::size_t skip_forward(std::string_view line, std::size_t at, unsigned char wanted) {
  while (at < line.size() && in_class(line[at], wanted)) ++at;
  return at;
}

// What "\((.*?)\)(.*)" needs after a "(": a ")" after it and no line end
// from it to the end of the line. Found at most once per line, so that
// trying address after address stays linear in the line's length.
class LineTail {
 public:
  LineTail(std::string_view line, std::size_t first_line_end) : line_(line) {
    if (first_line_end == line.size()) return;
    text_begin_ = line.size();
    while (!in_class(line[text_begin_ - 1], line_end)) --text_begin_;
  }

  bool can_close_after(std::size_t opening) const {
    if (opening < text_begin_) return false;
    if (!last_closing_known_) {
      last_closing_ = line_.rfind(')');
      last_closing_known_ = true;
    }
    return last_closing_ != std::string_view::npos && last_closing_ > opening;
  }

 private:
  std::string_view line_;
  std::size_t text_begin_ = 0;  // where the text after the last line end begins
  mutable std::size_t last_closing_ = std::string_view::npos;
  mutable bool last_closing_known_ = false;
};

// The start of the last "0x" that begins at or before `at`, npos for none.
std::size_t last_address_prefix(std::string_view line, std::size_t at) {
  for (at = std::min(at, line.size() < 2 ? 0 : line.size() - 1);; --at) {
    if (at + 1 < line.size() && line[at] == '0' && line[at + 1] == 'x') return at;
    if (at == 0) return std::string_view::npos;
  }
}

constexpr std::size_t address_digits = 8;

// The pattern from the first "\s+" after the address to the end, tried at
// `at`, the end of the address. Each part has one way to match here: the
// runs of [a-zA-Z\s], of digits, of white space and of object name
// characters each end at a character outside their class, and the type
// ([a-zA-Z\s]+) gives back only the one white space character that the
// "\s+" before the size needs (two when the type is white space alone, as
// the "\s+" before it needs one too). "(.*?)\)(.*)" needs no line end
// after the "(" and takes the section up to the first ")".
bool scan_after_address(std::string_view line, std::size_t at, const LineTail& tail,
                        QZCompilerMapKeilElement::SymbolGroups& groups) {
  const std::size_t type_run_end = skip_forward(line, at, space | letter);
  if (type_run_end < at + 3 || !in_class(line[at], space) || !in_class(line[type_run_end - 1], space)) return false;
  const std::size_t size_end = skip_forward(line, type_run_end, digit);
  if (size_end == type_run_end) return false;
  const std::size_t object_begin = skip_forward(line, size_end, space);
  if (object_begin == size_end) return false;
  const std::size_t object_end = skip_forward(line, object_begin, name);
  if (object_end == object_begin || object_end == line.size() || line[object_end] != '(') return false;
  if (!tail.can_close_after(object_end)) return false;
  const std::size_t section_end = line.find(')', object_end + 1);

  const std::size_t type_begin = std::min(skip_forward(line, at, space), type_run_end - 2);
  groups[3] = line.substr(type_begin, type_run_end - 1 - type_begin);
  groups[4] = line.substr(type_run_end, size_end - type_run_end);
  groups[5] = line.substr(object_begin, object_end - object_begin);
  groups[6] = line.substr(object_end + 1, section_end - object_end - 1);
  groups[7] = line.substr(section_end + 1);
  return true;
}

// Whether "0x" and eight lower-case hex digits begin at `at`, white space
// before them, and the rest of the pattern matches after them.
bool scan_from_address(std::string_view line, std::size_t at, const LineTail& tail,
                       QZCompilerMapKeilElement::SymbolGroups& groups) {
  const std::size_t digits_begin = at + 2;
  if (at == 0 || !in_class(line[at - 1], space) || line.size() < digits_begin + address_digits) return false;
  for (std::size_t i = digits_begin; i < digits_begin + address_digits; ++i) {
    if (!in_class(line[i], hex_digit)) return false;
  }
  if (!scan_after_address(line, digits_begin + address_digits, tail, groups)) return false;
  groups[2] = line.substr(digits_begin, address_digits);
  return true;
}

}  // namespace

// "^\s+(.*)\s+0x": the leading white space is taken whole first, and the
// greedy symbol name (.*) then ends before the last "0x" from which the
// rest matches, provided the name can reach the white space before it
// without crossing a line end. Only when no such "0x" exists does the
// leading white space give back its last character, which lets an address
// right after the indentation match with an empty name.
bool QZCompilerMapKeilElement::scan_symbol_line(std::string_view line, SymbolGroups& groups) {
  const std::size_t indent_end = skip_forward(line, 0, space);
  if (indent_end == 0) return false;
  const std::size_t first_line_end =
      std::min({line.find('\r', indent_end), line.find('\n', indent_end), line.size()});
  const LineTail tail(line, first_line_end);
  // An address further right would need white space from the name's line end up to it.
  const std::size_t reach = skip_forward(line, first_line_end, space);
  for (std::size_t at = last_address_prefix(line, reach); at != std::string_view::npos && at > indent_end;
       at = last_address_prefix(line, at - 1)) {
    if (scan_from_address(line, at, tail, groups)) {
      groups[1] = line.substr(indent_end, std::min(at - 1, first_line_end) - indent_end);
      return true;
    }
  }
  if (indent_end < 2 || line.substr(indent_end, 2) != "0x" ||
      !scan_from_address(line, indent_end, tail, groups))
    return false;
  groups[1] = line.substr(indent_end - 1, 0);
  return true;
}

bool QZCompilerMapKeilElement::parse_input_string(std::string_view line, std::size_t /*line_number*/) {
  SymbolGroups groups;
  if (!scan_symbol_line(line, groups)) return false;
  originhex = groups[2];
  origindec = CompilerMap::hex_value(originhex);
  sizedec = Detail::my_lexical_cast<unsigned int>(std::string(groups[4]));
  char hex[2 * sizeof(unsigned long)];
  sizehex.assign(hex, std::to_chars(hex, hex + sizeof hex, static_cast<unsigned long>(sizedec), 16).ptr);
  section = groups[6];
  filename = groups[5];
  return true;
}

void QZCompilerMapKeilElement::GetQZCompilerMapElements(std::istream& in, std::deque<QZCompilerMapKeilElement>& out) {
  out.clear();
  Detail::LineReader reader(in);
  for (std::string_view text; reader.next(text);) {
    QZCompilerMapKeilElement element;
    element.is_valid = element.parse_input_string(text, reader.line_number());
    if (element.is_valid) out.push_back(std::move(element));
  }
}

void QZCompilerMapKeilElement::get_final_result(const Detail::options& options) {
  CompilerMap::get_final_result<QZCompilerMapKeilElement>(options, GetQZCompilerMapElements);
}
