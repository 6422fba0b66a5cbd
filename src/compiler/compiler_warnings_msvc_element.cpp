#include "compiler/compiler_warnings_msvc_element.h"

#include <algorithm>
#include <cctype>

#include "compiler/compiler_results_output.h"
#include "compiler/diagnostic_columns.h"
#include "detail/text_helpers.h"

namespace {

const std::string_view blanks = " \t\v\f\r";

std::string_view without_leading_space(std::string_view text) {
  const std::size_t first = text.find_first_not_of(blanks);
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view without_trailing_space(std::string_view text) {
  const std::size_t last = text.find_last_not_of(blanks);
  return text.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

bool ends_with_ignoring_case(std::string_view text, std::string_view ending) {
  return text.size() >= ending.size() &&
         std::equal(ending.begin(), ending.end(), text.end() - static_cast<std::ptrdiff_t>(ending.size()),
                    [](char lower, char c) { return std::tolower(static_cast<unsigned char>(c)) == lower; });
}

// The text in the brackets that end `message` ("-Wunused-parameter" of
// "... [-Wunused-parameter]"), without brackets inside; empty without one.
std::string_view trailing_bracket(std::string_view message) {
  if (message.empty() || message.back() != ']') return {};
  const std::size_t open = message.rfind('[');
  if (open == std::string_view::npos) return {};
  const std::string_view inside = message.substr(open + 1, message.size() - open - 2);
  return inside.find(']') == std::string_view::npos ? inside : std::string_view();
}

// MSBuild ends every diagnostic with the project it belongs to, as in
// "... [C:\work\app.vcxproj]": the message without it.
std::string_view without_project(std::string_view message) {
  const std::string_view project = trailing_bracket(message);
  if (!ends_with_ignoring_case(project, "proj")) return message;
  const std::size_t open = message.size() - project.size() - 2;
  if (open == 0 || message[open - 1] != ' ') return message;
  return without_trailing_space(message.substr(0, open));
}

// armcc prints the identifier after the severity's colon: "warning:  #550-D: ...".
std::string_view armcc_identifier(std::string_view message) {
  message = without_leading_space(message);
  if (message.empty() || message.front() != '#') return {};
  const std::size_t end = message.find_first_of(": \t");
  return end != std::string_view::npos && message[end] == ':' ? message.substr(0, end) : std::string_view();
}

// A diagnostic holds a ')' that a colon follows, at most one blank between
// them; the other lines of a build log, most of all the long compiler command
// lines, are passed over without the pattern.
bool may_be_diagnostic(std::string_view text) {
  return text.find("):") != std::string_view::npos || text.find(") :") != std::string_view::npos;
}

// The line after a leading CI time stamp and white space, for the summary's
// framing lines.
std::string_view framing_text(std::string_view text) {
  text = without_leading_space(text);
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find("] ");
    if (close != std::string_view::npos) text = without_leading_space(text.substr(close + 2));
  }
  return without_trailing_space(text);
}

// A diagnostic as the summary repeats it, also one of the linker's without a
// line number ("main.obj : error LNK2019: ..."): a colon, then the severity.
bool names_a_severity(std::string_view text) {
  for (std::size_t colon = text.find(':'); colon != std::string_view::npos; colon = text.find(':', colon + 1)) {
    const std::string_view after = without_leading_space(text.substr(colon + 1));
    if (Detail::starts_with_ignoring_case(after, "warning") || Detail::starts_with_ignoring_case(after, "error") ||
        Detail::starts_with_ignoring_case(after, "fatal error"))
      return true;
  }
  return false;
}

// "    4 Warning(s)" and "    0 Error(s)".
bool is_count(std::string_view text) {
  const std::size_t digits = text.find_first_not_of("0123456789");
  if (digits == 0 || digits == std::string_view::npos) return false;
  const std::string_view rest = text.substr(digits);
  return rest == " Warning(s)" || rest == " Error(s)";
}

}  // namespace

const Detail::Pattern& QZCompilerWarningsMsvcElement::diagnostic_pattern() {
  static const std::string severity =
      "([Ww][Aa][Rr][Nn][Ii][Nn][Gg]|[Ee][Rr][Rr][Oo][Rr]|[Ff][Aa][Tt][Aa][Ll] [Ee][Rr][Rr][Oo][Rr])";
  // The identifier begins and ends with a character that is neither white
  // space nor a colon, so that the blanks around it are matched one way only.
  static const std::string str_regex = std::string("\\s*(?:\\[[^\\]]*\\] \\s*)?") + "(?:[0-9]+>\\s*)?" +
                                       "(\\S.*?)" + "\\(([0-9]+)(?:,[0-9]+)?\\) ?:\\s+" + severity +
                                       "(?:\\s+([^:\\s](?:[^:]*[^:\\s])?))?" + "\\s*:" + "(.*)";
  static const Detail::Pattern pattern(str_regex);
  return pattern;
}

bool QZCompilerWarningsMsvcElement::begins_summary(std::string_view text) {
  const std::string_view framed = framing_text(text);
  return framed == "Build succeeded." || framed == "Build FAILED.";
}

bool QZCompilerWarningsMsvcElement::ends_summary(std::string_view text) {
  const std::string_view framed = framing_text(text);
  const bool in_summary = framed.empty() || framed.ends_with("->") || is_count(framed) || names_a_severity(framed);
  return !in_summary;
}

bool QZCompilerWarningsMsvcElement::parse_line(std::string_view text, std::size_t line_number,
                                               Detail::Match& groups, QZCompilerWarningsMsvcElement& element) {
  if (!may_be_diagnostic(text)) return false;
  if (!Detail::match_input_line(diagnostic_pattern(), text, line_number, groups)) return false;
  element.filename = CompilerResults::filename_after_src_either_separator(groups[1]);
  element.line = groups.str(2);
  element.type = std::tolower(static_cast<unsigned char>(groups[3][0])) == 'w' ? "warning" : "error";
  std::string_view identifier = groups[4];
  const std::string_view message = without_project(without_trailing_space(groups[5]));
  if (identifier.empty()) identifier = armcc_identifier(message);
  if (!identifier.empty()) {
    element.error_id = identifier;
    element.error_num = CompilerResults::first_digits(identifier);
  } else {
    element.error_id = trailing_bracket(message);
    element.error_num.clear();
  }
  return true;
}

void QZCompilerWarningsMsvcElement::read_elements(std::istream& in, std::deque<QZCompilerWarningsMsvcElement>& out) {
  // MSBuild's summary repeats every diagnostic of the build: each counts once.
  // The line that ends it ("Time Elapsed ...", or what follows a log cut
  // short after it) is read as any other.
  bool in_summary = false;
  CompilerResults::read_diagnostics(in, out, [&](std::string_view text) {
    if (in_summary && !ends_summary(text)) return false;
    in_summary = begins_summary(text);
    return !in_summary;
  });
}

void QZCompilerWarningsMsvcElement::get_final_result(const Detail::options& options) {
  CompilerResults::get_final_result<QZCompilerWarningsMsvcElement>(options, read_elements);
}
