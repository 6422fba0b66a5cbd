// The Detail::Pattern interface over std::regex (ECMAScript, default options),
// built only with -DVIVIRI_STD_REGEX=ON. It takes the place of the PCRE2
// wrapper in the benchmark's reference build, so that every converter runs
// its unchanged pattern texts on both engines and the two can be compared on
// the same input. Never part of the program that is shipped or tested.

#include <regex>
#include <stdexcept>

#include "detail/pattern.h"

namespace Detail {

struct Pattern::Engine {
  std::regex regex;
};

Pattern::Pattern(std::string source, unsigned long base_match_limit)
    : source_(std::move(source)), base_match_limit_(base_match_limit), engine_(std::make_unique<Engine>()) {
  try {
    engine_->regex.assign(source_, std::regex::ECMAScript);
  } catch (const std::regex_error& error) {
    throw std::logic_error(std::string("pattern does not compile: ") + error.what() + ": " + source_);
  }
}

Pattern::~Pattern() = default;

std::size_t Pattern::group_count() const { return engine_->regex.mark_count(); }

MatchResult Pattern::full_match(std::string_view subject, Match& groups) const {
  std::match_results<std::string_view::const_iterator> found;
  try {
    if (!std::regex_match(subject.begin(), subject.end(), found, engine_->regex)) return MatchResult::not_matched;
  } catch (const std::regex_error&) {
    return MatchResult::gave_up;  // error_complexity or error_stack
  }
  const std::size_t count = engine_->regex.mark_count() + 1;
  groups.groups_.assign(count, std::string_view());
  groups.set_.assign(count, false);
  for (std::size_t i = 0; i < count && i < found.size(); ++i) {
    if (!found[i].matched) continue;
    const auto start = static_cast<std::size_t>(found[i].first - subject.begin());
    groups.groups_[i] = subject.substr(start, static_cast<std::size_t>(found[i].length()));
    groups.set_[i] = true;
  }
  return MatchResult::matched;
}

}  // namespace Detail
