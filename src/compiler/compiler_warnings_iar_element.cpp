#include "compiler/compiler_warnings_iar_element.h"

#include "compiler/compiler_results_output.h"
#include "compiler/diagnostic_columns.h"

namespace {

using Element = QZCompilerWarningsIarElement;

// The longer severities first, so that "Fatal Error" is not taken for "Error".
constexpr std::string_view severities[] = {"Fatal Error", "Fatal error", "Warning", "Remark", "Error"};

// The lines a diagnostic is wrapped onto are indented this far or more.
constexpr std::size_t continuation_indent = 9;

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool all_digits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (!is_digit(c)) return false;
  }
  return true;
}

// The severity that ends `text` right before a tag's "[", if any.
std::string_view severity_before(std::string_view text) {
  for (const std::string_view severity : severities) {
    if (!text.ends_with(severity)) continue;
    const std::size_t begin = text.size() - severity.size();
    if (begin == 0 || !is_letter(text[begin - 1])) return severity;
  }
  return {};
}

// The line without white space, one leading bracketed prefix (a CI time
// stamp, Ant's "[exec]") and the blank after it.
std::string_view without_prefix(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  if (text[first] != '[') return text;
  const std::size_t close = text.find("] ", first);
  return close == std::string_view::npos ? text : text.substr(close + 2);
}

// "C:\src\main.c(43) : " (or "...(43): "): the file and line, or false.
bool parenthesised_location(std::string_view before, std::string_view& file, std::string_view& line) {
  if (before.ends_with(") : "))
    before.remove_suffix(4);
  else if (before.ends_with("): "))
    before.remove_suffix(3);
  else
    return false;
  const std::size_t open = before.rfind('(');
  if (open == std::string_view::npos || open == 0 || !all_digits(before.substr(open + 1))) return false;
  file = before.substr(0, open);
  line = before.substr(open + 1);
  return true;
}

// "\"C:\src\main.c\",43  " (one or two blanks): the file and line, or false.
bool quoted_location(std::string_view before, std::string_view& file, std::string_view& line) {
  if (!before.ends_with(' ')) return false;
  before.remove_suffix(1);
  if (before.ends_with(' ')) before.remove_suffix(1);
  const std::size_t comma = before.rfind("\",");
  if (before.size() < 2 || before.front() != '"' || comma == std::string_view::npos || comma == 0) return false;
  if (!all_digits(before.substr(comma + 2))) return false;
  file = before.substr(1, comma - 1);
  line = before.substr(comma + 2);
  return true;
}

}  // namespace

std::optional<Element::Diagnostic> Element::first_diagnostic(std::string_view text) {
  for (std::size_t open = text.find('['); open != std::string_view::npos; open = text.find('[', open + 1)) {
    const std::string_view severity = severity_before(text.substr(0, open));
    if (severity.empty()) continue;
    const std::size_t close = text.find(']', open + 1);
    if (close == std::string_view::npos) return std::nullopt;
    if (close + 1 >= text.size() || text[close + 1] != ':' || close == open + 1) continue;
    const std::string_view tag = text.substr(open + 1, close - open - 1);
    if (tag.find('[') != std::string_view::npos) continue;
    return Diagnostic{open - severity.size(), severity, tag};
  }
  return std::nullopt;
}

bool Element::parse_line(std::string_view text, std::size_t, Detail::Match&, Element& element) {
  // Every diagnostic holds "]:"; most lines of a build log are passed over on that.
  if (text.find("]:") == std::string_view::npos) return false;
  text = without_prefix(text);
  const std::size_t indent = text.find_first_not_of(' ');
  if (indent == std::string_view::npos || indent >= continuation_indent) return false;
  text.remove_prefix(indent);

  const std::optional<Diagnostic> diagnostic = first_diagnostic(text);
  if (!diagnostic) return false;
  const std::string_view before = text.substr(0, diagnostic->begin);
  std::string_view file, line;
  if (!before.empty() && !parenthesised_location(before, file, line) && !quoted_location(before, file, line))
    return false;

  element.filename = file.empty() ? std::string() : CompilerResults::filename_after_src_either_separator(file);
  element.line = line;
  element.type = diagnostic->severity == "Warning" ? "warning" : diagnostic->severity == "Remark" ? "remark" : "error";
  element.error_id = diagnostic->tag;
  element.error_num = CompilerResults::first_digits(diagnostic->tag);
  return true;
}

void Element::read_elements(std::istream& in, std::deque<Element>& out) { CompilerResults::read_diagnostics(in, out); }

void Element::get_final_result(const Detail::options& options) {
  CompilerResults::get_final_result<Element>(options, read_elements);
}
