#include "clang_tidy/message_scanner.h"

namespace ClangTidyMessages {

namespace {

constexpr std::size_t none = std::string_view::npos;

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// What "." does not take.
bool is_break(char c) { return c == '\n' || c == '\r'; }

// The positions of the first and the last line break of a text (none if it
// holds none): a group of "." runs must lie before the first or after the
// last.
struct Breaks {
  std::size_t first = none;
  std::size_t last = none;

  explicit Breaks(std::string_view text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
      if (!is_break(text[at])) continue;
      if (first == none) first = at;
      last = at;
    }
  }
  bool none_from(std::size_t at) const { return last == none || last < at; }
};

// Walks the part all the patterns share after the file name:
// ":" line ":" column ":" blanks severity ":" blanks. Every step takes the
// longest run it can; a shorter one never lets the rest match (the rest
// begins with a character the run cannot hold, or, for the last blanks, is
// a "." run that a shorter run only lengthens by blanks).
struct Cursor {
  std::string_view text;
  std::size_t at;

  bool literal(std::string_view word) {
    if (text.substr(at, word.size()) != word) return false;
    at += word.size();
    return true;
  }
  bool digits(std::string_view& taken) {
    const std::size_t from = at;
    while (at < text.size() && is_digit(text[at])) ++at;
    taken = text.substr(from, at - from);
    return at > from;
  }
  bool spaces() {
    const std::size_t from = at;
    while (at < text.size() && is_space(text[at])) ++at;
    return at > from;
  }
  bool severity(std::string_view& taken) {
    const std::size_t from = at;
    if (!literal("error") && !literal("note") && !literal("warning")) return false;
    taken = text.substr(from, at - from);
    return true;
  }
  // From the ":" after the file name to the first character after the
  // blanks that follow the severity.
  bool diagnostic(DiagnosticGroups& groups) {
    return literal(":") && digits(groups.line) && literal(":") && digits(groups.column) && literal(":") && spaces() &&
           severity(groups.severity) && literal(":") && spaces();
  }
};

// The length of the ".cpp", ".c" or ".h" that ends text[0, end), or 0.
std::size_t extension_before(std::string_view text, std::size_t end) {
  if (end >= 4 && text.substr(end - 4, 4) == ".cpp") return 3;
  if (end >= 2 && text[end - 2] == '.' && (text[end - 1] == 'c' || text[end - 1] == 'h')) return 1;
  return 0;
}

// Calls try_from(end) for every ":" at text[end] that may end a file name
// group (".*", and for the single pattern ".*\.(cpp|c|h)"), last first, as
// the greedy group tries them; stops at the first that returns true.
template <typename TryFrom>
bool for_each_file_name_end(std::string_view text, const Breaks& breaks, bool any_file_name, TryFrom try_from) {
  // The file name holds no line break.
  std::size_t end = breaks.first == none ? text.size() : breaks.first;
  while (end > 0) {
    end = text.rfind(':', end - 1);
    if (end == none) return false;
    if ((any_file_name || extension_before(text, end) != 0) && try_from(end)) return true;
  }
  return false;
}

}  // namespace

bool scan_diagnostic_line(std::string_view line, DiagnosticGroups& groups) {
  const Breaks breaks(line);
  return for_each_file_name_end(line, breaks, true, [&](std::size_t end) {
    Cursor cursor{line, end};
    return cursor.diagnostic(groups) && breaks.none_from(cursor.at);
  });
}

bool scan_message(std::string_view text, bool any_file_name, MessageGroups& groups) {
  const Breaks breaks(text);
  // "(.*)\[(.*)\](.*)" ends the text: the check name lies between the last
  // "]" and the last "[" before it.
  const std::size_t close = text.rfind(']');
  const std::size_t open = close == none ? none : text.rfind('[', close);
  if (open == none) return false;
  return for_each_file_name_end(text, breaks, any_file_name, [&](std::size_t end) {
    DiagnosticGroups diagnostic;
    Cursor cursor{text, end};
    if (!cursor.diagnostic(diagnostic) || cursor.at > open || !breaks.none_from(cursor.at)) return false;
    const std::size_t extension = any_file_name ? 0 : extension_before(text, end);
    groups = {text.substr(0, end),
              text.substr(end - extension, extension),
              diagnostic.line,
              diagnostic.column,
              diagnostic.severity,
              text.substr(cursor.at, open - cursor.at),
              text.substr(open + 1, close - open - 1),
              text.substr(close + 1)};
    return true;
  });
}

}  // namespace ClangTidyMessages
