// Hand-written matchers for the two QAC patterns. Each gives exactly the
// match result and the captures of the compiled pattern (greedy groups, the
// first match in backtracking order, "." taking neither line feed nor
// carriage return), in linear time on real reports and without a limit on
// any line. The differential test holds them against the patterns.

#include <cstring>

#include "qac/qac_result_element.h"

namespace {

constexpr std::size_t none = std::string_view::npos;

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool is_punct(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 33 && u <= 47) || (u >= 58 && u <= 64) || (u >= 91 && u <= 96) || (u >= 123 && u <= 126);
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// What "." does not take.
bool is_break(char c) { return c == '\n' || c == '\r'; }

// Walks the fixed part of a pattern; every step takes the longest run it can,
// which is the only run that lets the next step match.
struct cursor {
  std::string_view text;
  std::size_t at;

  bool spaces() {
    const std::size_t from = at;
    while (at < text.size() && is_space(text[at])) ++at;
    return at > from;
  }
  bool punct() { return at < text.size() && is_punct(text[at]) && ++at; }
  bool literal(std::string_view word) {
    if (text.substr(at, word.size()) != word) return false;
    at += word.size();
    return true;
  }
  bool either(std::string_view first, std::string_view second, std::string_view& taken) {
    const std::size_t from = at;
    if (!literal(first) && !literal(second)) return false;
    taken = text.substr(from, at - from);
    return true;
  }
  bool digits(std::string_view& taken, std::size_t most = none) {
    const std::size_t from = at;
    while (at < text.size() && at - from < most && is_digit(text[at])) ++at;
    taken = text.substr(from, at - from);
    return at > from;
  }
};

std::size_t first_break(std::string_view text, std::size_t from) {
  if (from >= text.size()) return none;
  const char* const begin = text.data() + from;
  const std::size_t size = text.size() - from;
  const void* const feed = std::memchr(begin, '\n', size);
  const std::size_t before_feed = feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - begin) : size;
  const void* const carriage_return = std::memchr(begin, '\r', before_feed);
  const void* const first = carriage_return ? carriage_return : feed;
  return first ? static_cast<std::size_t>(static_cast<const char*>(first) - text.data()) : none;
}

std::size_t last_break(std::string_view text) {
  const void* const feed = memrchr(text.data(), '\n', text.size());
  const std::size_t after_feed = feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - text.data()) + 1 : 0;
  const void* const carriage_return = memrchr(text.data() + after_feed, '\r', text.size() - after_feed);
  const void* const last = carriage_return ? carriage_return : feed;
  return last ? static_cast<std::size_t>(static_cast<const char*>(last) - text.data()) : none;
}

// The last '.' before `end`, or none.
std::size_t last_dot_before(std::string_view text, std::size_t end) {
  const void* const dot = memrchr(text.data(), '.', end);
  return dot ? static_cast<std::size_t>(static_cast<const char*>(dot) - text.data()) : none;
}

bool is_ref_at(std::string_view line, std::size_t at) {
  return at + 4 <= line.size() && line.compare(at, 3, "Ref") == 0 && is_punct(line[at + 3]);
}

// The part of a message line from group 7 on: "(.*)[[:space:]]+(Ref)[[:punct:]]{1}(.*)".
class message_tail {
 public:
  explicit message_tail(std::string_view line) : line_(line), last_break_(last_break(line)) {
    // The last "Ref" and punctuation after a blank whose rest has no break:
    // from any start left of its blank, group 7 runs up to that blank.
    const std::size_t lowest = last_break_ == none ? 1 : last_break_ + 1;
    for (std::size_t k = line.size() < 4 ? 0 : line.size() - 4; k >= lowest && k != 0; --k) {
      if (line[k] == 'R' && is_ref_at(line, k) && is_space(line[k - 1])) {
        last_ref_ = k;
        break;
      }
    }
  }

  /// The message text's end (the "." of its ".)") for a text that starts at
  /// `text_begin`: the last ".)" that lets the tail match. Fills the tail's
  /// groups.
  bool text_end(std::size_t text_begin, std::size_t& end, QZQacResultElement::message_line_groups& groups) const {
    const std::size_t text_limit = first_break(line_, text_begin);  // the text cannot run past a break
    if (text_limit == none) return text_end_without_breaks(text_begin, end, groups);
    if (line_.size() < 2) return false;
    std::size_t tail_begin_break = none;  // the first break at or after the tail's start
    for (std::size_t e = std::min(text_limit, line_.size() - 2) + 1; e-- > text_begin;) {
      const std::size_t tail_begin = e + 2;
      if (tail_begin < line_.size() && is_break(line_[tail_begin])) tail_begin_break = tail_begin;
      if (line_[e] != '.' || line_[e + 1] != ')') continue;
      if (tail_begin_break == none) tail_begin_break = first_break(line_, tail_begin);
      if (tail(tail_begin, tail_begin_break, groups)) {
        end = e;
        return true;
      }
    }
    return false;
  }

 private:
  // No break from the text's start on: the tail matches from every start left
  // of the last Ref's blank, so the text ends at the last ".)" before it.
  bool text_end_without_breaks(std::size_t text_begin, std::size_t& end,
                               QZQacResultElement::message_line_groups& groups) const {
    if (last_ref_ == none || last_ref_ < text_begin + 3) return false;
    for (std::size_t e = last_ref_ - 2; e-- > text_begin;) {
      if (line_[e] == '.' && line_[e + 1] == ')') {
        end = e;
        return tail(e + 2, none, groups);
      }
    }
    return false;
  }

  // The tail from `begin`; `begin_break` is the first break at or after it.
  bool tail(std::size_t begin, std::size_t begin_break, QZQacResultElement::message_line_groups& groups) const {
    std::size_t blanks, ref;
    if (begin_break == none) {
      if (last_ref_ == none || last_ref_ < begin + 1) return false;
      blanks = last_ref_ - 1;
      ref = last_ref_;
    } else {
      // Group 7 stops at the break; the blanks from it must run up to "Ref",
      // after every break of the line.
      blanks = begin_break;
      ref = blanks;
      while (ref < line_.size() && is_space(line_[ref])) ++ref;
      if (ref <= last_break_ || !is_ref_at(line_, ref)) return false;
    }
    groups.between = line_.substr(begin, blanks - begin);
    groups.ref = line_.substr(ref, 3);
    groups.reference = line_.substr(ref + 4);
    return true;
  }

  std::string_view line_;
  std::size_t last_break_;
  std::size_t last_ref_ = none;
};

// From the blanks after the path to the "(" before the message text.
bool scan_message_middle(cursor& at, QZQacResultElement::message_line_groups& groups) {
  return at.spaces() && at.literal("(") && at.digits(groups.line) && at.literal(")") && at.spaces() && at.punct() &&
         at.spaces() && at.either("warning", "error", groups.severity) && at.spaces() && at.punct() && at.spaces() &&
         at.literal("QAC(Prio") && at.digits(groups.priority, 1) && at.literal(")") && at.spaces() &&
         at.literal("Msg") && at.punct() && at.spaces() && at.digits(groups.number) && at.literal("(");
}

}  // namespace

bool QZQacResultElement::scan_message_line(std::string_view line, message_line_groups& groups) {
  const message_tail tail(line);
  // The path may not hold a break; it ends at the last ".cpp" or ".c" from
  // which the rest matches, ".cpp" tried before ".c".
  const std::size_t path_limit = std::min(first_break(line, 0), line.size());
  for (std::size_t dot = last_dot_before(line, path_limit); dot != none; dot = last_dot_before(line, dot)) {
    for (const std::string_view extension : {std::string_view("cpp"), std::string_view("c")}) {
      if (line.compare(dot + 1, extension.size(), extension) != 0) continue;
      const std::size_t path_end = dot + 1 + extension.size();
      cursor at{line, path_end};
      std::size_t text_end = 0;
      if (!scan_message_middle(at, groups) || !tail.text_end(at.at, text_end, groups)) continue;
      groups.path = line.substr(0, path_end);
      groups.text = line.substr(at.at, text_end - at.at);
      return true;
    }
  }
  return false;
}

bool QZQacResultElement::scan_misra_reference(std::string_view reference, misra_groups& groups) {
  if (reference.substr(0, 5) != "MISRA") return false;
  // Group 1 ends at the last punctuation and digits from which the rest
  // matches; what comes before them may not hold a break.
  const std::size_t limit = std::min(first_break(reference, 5), reference.size());
  for (std::size_t mark = limit; mark-- > 5;) {
    if (!is_punct(reference[mark])) continue;
    cursor at{reference, mark + 1};
    std::string_view ignored;
    if (!at.digits(ignored)) continue;
    const std::size_t standard_end = at.at;
    if (!at.spaces()) continue;
    if (!at.either("Rule", "Dir", groups.kind) || !at.literal("-") || !at.digits(groups.major) || !at.literal(".") ||
        !at.digits(groups.minor))
      continue;
    groups.rest = reference.substr(at.at);
    if (first_break(groups.rest, 0) != none) continue;
    groups.standard = reference.substr(0, standard_end);
    return true;
  }
  return false;
}
