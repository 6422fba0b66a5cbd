#pragma once
// The differential pattern test: every pattern of the program is compiled
// with std::regex (ECMAScript, the grammar the patterns are written in) and
// with Detail::Pattern, and both must agree on the match result and on every
// capture over a seeded corpus of mutated valid lines.
//
// Each converter's tests add their patterns:
//
//   INSTANTIATE_TEST_SUITE_P(Cunit, PatternDifferential,
//       testing::Values(PatternCase{"verdict_line", &QZCUnitResultElement::my_regex,
//                                   {"  Test: test_a ...passed"}}),
//       pattern_case_name);

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "detail/pattern.h"

struct PatternCase {
  std::string name;  // letters, digits and underscores
  const Detail::Pattern& (*pattern)();
  std::vector<std::string> seeds;  // lines the pattern matches
};

class PatternDifferential : public testing::TestWithParam<PatternCase> {};

std::string pattern_case_name(const testing::TestParamInfo<PatternCase>& info);

inline void PrintTo(const PatternCase& tested, std::ostream* os) { *os << tested.name; }
