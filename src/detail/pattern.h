#pragma once
// Whole-line pattern matching for every converter.
//
// The patterns are written in the ECMAScript grammar; they are compiled with
// PCRE2 (JIT where the platform has it), which gives the same matches and
// captures for them while running in linear stack space and far faster than
// std::regex:
//
//   static const Detail::Pattern pattern("([a-z]+)=([0-9]+)");
//   Detail::Match groups;
//   if (pattern.full_match("width=80", groups) == Detail::MatchResult::matched)
//     use(groups[1], groups[2]);  // "width", "80"
//
// Matching is always whole-subject: the pattern must cover the subject from
// its first to its last character. "." matches neither a line feed nor a
// carriage return; character classes are those of the classic locale and
// bytes stay bytes (no UTF mode).

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Detail {

enum class MatchResult {
  matched,
  not_matched,
  gave_up,  // the engine hit its match, depth or stack limit on this subject
};

/// The capture groups of the last successful match, as views into the subject.
class Match {
 public:
  /// Group `i` (0 is the whole match); empty when the group took no part.
  std::string_view operator[](std::size_t i) const { return i < groups_.size() ? groups_[i] : std::string_view(); }
  std::string str(std::size_t i) const { return std::string((*this)[i]); }
  /// Whether group `i` took part in the match. Exposed for testing.
  bool matched(std::size_t i) const { return i < set_.size() && set_[i]; }
  std::size_t size() const { return groups_.size(); }

 private:
  friend class Pattern;
  std::vector<std::string_view> groups_;
  std::vector<bool> set_;
};

class Pattern {
 public:
  /// Compiles `source`; a source that does not compile is a programming error
  /// and throws std::logic_error. `base_match_limit` bounds the work of one
  /// match (it grows with the subject length); tests lower it.
  explicit Pattern(std::string source, unsigned long base_match_limit = 10'000'000);
  ~Pattern();
  Pattern(const Pattern&) = delete;
  Pattern& operator=(const Pattern&) = delete;

  MatchResult full_match(std::string_view subject, Match& groups) const;
  MatchResult full_match(std::string_view subject) const;

  /// The source text exactly as given.
  const std::string& source() const { return source_; }
  /// The number of capture groups, group 0 not counted.
  std::size_t group_count() const;

 private:
  struct Engine;
  std::string source_;
  unsigned long base_match_limit_;
  std::unique_ptr<Engine> engine_;
};

/// Matches one line of input. A match the engine gives up on is reported on
/// standard output with the line number ("VIViriZovuro error: ...") and counts
/// as no match, so the line is skipped and the run goes on.
bool match_input_line(const Pattern& pattern, std::string_view line, std::size_t line_number, Match& groups);

}  // namespace Detail
