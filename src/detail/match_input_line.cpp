// The parts of the pattern wrapper that do not depend on the engine behind it.

#include <iostream>

#include "detail/messages.h"
#include "detail/pattern.h"

namespace Detail {

MatchResult Pattern::full_match(std::string_view subject) const {
  Match ignored;
  return full_match(subject, ignored);
}

bool match_input_line(const Pattern& pattern, std::string_view line, std::size_t line_number, Match& groups) {
  const MatchResult result = pattern.full_match(line, groups);
  if (result == MatchResult::gave_up) {
    print_error("Pattern matching gave up on input line " + std::to_string(line_number) +
                ", the line was skipped");
  }
  return result == MatchResult::matched;
}

}  // namespace Detail
