// Hand-written matchers for the two QAC patterns. Each gives exactly the
// match result and the captures of the compiled pattern (greedy groups, the
// first match in backtracking order, "." taking neither line feed nor
// carriage return), in linear time on real reports and without a limit on
// any line. The differential test holds them against the patterns.

#include <cstring>
#include <vector>

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

// The part of a message line from group 7 on, "(.*)[[:space:]]+(Ref)[[:punct:]]{1}(.*)",
// and the ".)" before it. The facts it needs are found once per line, so
// that every start of the message text the path leaves is tried in constant
// time, however many there are.
class message_tail {
 public:
  explicit message_tail(std::string_view line) : line_(line), last_break_(last_break(line)) {
    // The last "Ref" and punctuation after a blank whose rest has no break:
    // from any start after the last break and left of that blank, group 7
    // runs up to the blank.
    const std::size_t lowest = last_break_ == none ? 1 : last_break_ + 1;
    for (std::size_t k = line.size() < 4 ? 0 : line.size() - 4; k >= lowest && k != 0; --k) {
      if (line[k] == 'R' && is_ref_at(line, k) && is_space(line[k - 1])) {
        last_ref_ = k;
        break;
      }
    }
    if (last_break_ == none) {
      last_text_end_ = last_text_end_before(last_ref_);
    } else {
      find_text_ends_around_breaks();
    }
  }

  bool has_break() const { return last_break_ != none; }

  /// The message text's end (the "." of its ".)") for a text that starts at
  /// `text_begin`: the last ".)" that lets the tail match. Fills the tail's
  /// groups.
  bool text_end(std::size_t text_begin, std::size_t& end, QZQacResultElement::message_line_groups& groups) const {
    if (last_break_ == none) {
      end = last_text_end_;
    } else {
      const std::size_t text_limit = std::min(next_break(text_begin), line_.size());  // "." takes no break
      end = line_.size() < 2 ? none : text_ends_[std::min(text_limit, line_.size() - 2)];
    }
    return end != none && end >= text_begin && tail(end + 2, groups);
  }

 private:
  // The last ".)" that ends at least one character before `ref`.
  std::size_t last_text_end_before(std::size_t ref) const {
    if (ref == none || ref < 3) return none;
    for (std::size_t e = ref - 2; e-- > 0;)
      if (line_[e] == '.' && line_[e + 1] == ')') return e;
    return none;
  }

  std::size_t next_break(std::size_t from) const {
    if (last_break_ == none || from > last_break_) return none;
    return next_breaks_[from];
  }

  // For lines with a carriage return or line feed, which "." does not take:
  // the next break from every place, and for every place x the last ".)"
  // at or before x from whose end the tail matches.
  void find_text_ends_around_breaks() {
    const std::size_t size = line_.size();
    next_breaks_.assign(size + 1, none);
    for (std::size_t i = size; i-- > 0;) next_breaks_[i] = is_break(line_[i]) ? i : next_breaks_[i + 1];
    text_ends_.assign(size, none);
    // A tail from before a break matches or not by that break alone.
    std::size_t checked_break = none;
    bool checked_break_begins_tail = false;
    for (std::size_t e = 0; e + 1 < size; ++e) {
      bool ends_text = line_[e] == '.' && line_[e + 1] == ')';
      if (ends_text) {
        const std::size_t begin_break = next_break(e + 2);
        if (begin_break != none && begin_break != checked_break) {
          checked_break = begin_break;
          checked_break_begins_tail = tail_begins(e + 2);
        }
        ends_text = begin_break == none ? tail_begins(e + 2) : checked_break_begins_tail;
      }
      text_ends_[e] = ends_text ? e : (e == 0 ? none : text_ends_[e - 1]);
    }
  }

  // Where group 7 ends and "Ref" begins for a tail from `begin`, if it matches.
  bool tail_places(std::size_t begin, std::size_t& blanks, std::size_t& ref) const {
    const std::size_t begin_break = next_break(begin);
    if (begin_break == none) {
      if (last_ref_ == none || last_ref_ < begin + 1) return false;
      blanks = last_ref_ - 1;
      ref = last_ref_;
      return true;
    }
    // Group 7 stops at the break; the blanks from it must run up to "Ref",
    // after every break of the line.
    blanks = begin_break;
    ref = blanks;
    while (ref < line_.size() && is_space(line_[ref])) ++ref;
    return ref > last_break_ && is_ref_at(line_, ref);
  }

  bool tail_begins(std::size_t begin) const {
    std::size_t blanks = 0, ref = 0;
    return tail_places(begin, blanks, ref);
  }

  bool tail(std::size_t begin, QZQacResultElement::message_line_groups& groups) const {
    std::size_t blanks = 0, ref = 0;
    if (!tail_places(begin, blanks, ref)) return false;
    groups.between = line_.substr(begin, blanks - begin);
    groups.ref = line_.substr(ref, 3);
    groups.reference = line_.substr(ref + 4);
    return true;
  }

  std::string_view line_;
  std::size_t last_break_;
  std::size_t last_ref_ = none;
  std::size_t last_text_end_ = none;     // for lines without a break
  std::vector<std::size_t> next_breaks_;  // for lines with one
  std::vector<std::size_t> text_ends_;
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
  const std::size_t path_limit = tail.has_break() ? std::min(first_break(line, 0), line.size()) : line.size();
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
  const std::size_t last = last_break(reference);
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
    if (last != none && last >= at.at) continue;  // the rest may not hold a break
    groups.rest = reference.substr(at.at);
    groups.standard = reference.substr(0, standard_end);
    return true;
  }
  return false;
}
