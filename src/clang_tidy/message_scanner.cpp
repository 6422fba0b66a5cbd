#include "clang_tidy/message_scanner.h"

#include <string.h>

#include <algorithm>
#include <cstring>

namespace ClangTidyMessages {

namespace {

constexpr std::size_t none = std::string_view::npos;

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::size_t first_of(std::string_view text, char c) {
  const void* found = std::memchr(text.data(), c, text.size());
  return found == nullptr ? none : static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
}

std::size_t last_of(std::string_view text, char c, std::size_t end) {
  const void* found = memrchr(text.data(), c, end);
  return found == nullptr ? none : static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
}

// The positions of the first and the last line break of a text (none if it
// holds none): a group of "." runs must lie before the first or after the
// last. Found only when a candidate match needs them: most texts are
// rejected before.
class Breaks {
 public:
  explicit Breaks(std::string_view text) : text_(text) {}

  bool none_before(std::size_t at) {
    find();
    return first_ == none || at <= first_;
  }
  bool none_from(std::size_t at) {
    find();
    return last_ == none || last_ < at;
  }

 private:
  void find() {
    if (found_) return;
    found_ = true;
    const std::size_t line_feed = first_of(text_, '\n');
    const std::size_t carriage_return = first_of(text_, '\r');
    first_ = std::min(line_feed, carriage_return);
    if (first_ == none) return;
    const std::size_t last_line_feed = last_of(text_, '\n', text_.size());
    const std::size_t last_carriage_return = last_of(text_, '\r', text_.size());
    last_ = last_line_feed == none ? last_carriage_return
            : last_carriage_return == none ? last_line_feed
                                          : std::max(last_line_feed, last_carriage_return);
  }

  std::string_view text_;
  bool found_ = false;
  std::size_t first_ = none;
  std::size_t last_ = none;
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

// Calls try_from(end) for every ":" at text[end] before `limit` that may
// end a file name group (".*", and for the single pattern ".*\.(cpp|c|h)"),
// last first, as the greedy group tries them; stops at the first that
// returns true.
template <typename TryFrom>
bool for_each_file_name_end(std::string_view text, std::size_t limit, bool any_file_name, TryFrom try_from) {
  for (std::size_t end = last_of(text, ':', limit); end != none; end = end == 0 ? none : last_of(text, ':', end)) {
    if ((any_file_name || extension_before(text, end) != 0) && try_from(end)) return true;
  }
  return false;
}

}  // namespace

bool scan_diagnostic_line(std::string_view line, DiagnosticGroups& groups) {
  Breaks breaks(line);
  return for_each_file_name_end(line, line.size(), true, [&](std::size_t end) {
    Cursor cursor{line, end};
    // The file name holds no line break, nor does the ".*" that ends the line.
    return cursor.diagnostic(groups) && breaks.none_before(end) && breaks.none_from(cursor.at);
  });
}

bool scan_message(std::string_view text, bool any_file_name, MessageGroups& groups) {
  // "(.*)\[(.*)\](.*)" ends the text: the check name lies between the last
  // "]" and the last "[" before it, and the file name ends before that "[".
  const std::size_t close = last_of(text, ']', text.size());
  const std::size_t open = close == none ? none : last_of(text, '[', close);
  if (open == none) return false;
  Breaks breaks(text);
  return for_each_file_name_end(text, open, any_file_name, [&](std::size_t end) {
    DiagnosticGroups diagnostic;
    Cursor cursor{text, end};
    if (!cursor.diagnostic(diagnostic) || cursor.at > open || !breaks.none_before(end) || !breaks.none_from(cursor.at))
      return false;
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
