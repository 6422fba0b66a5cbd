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
//
// A converter that matches its lines by hand (a scanner, or a literal
// pre-filter in front of the pattern) is proven equal to its pattern the same
// way, on the mutated lines and on every line of its fuzz corpus
// (fuzz/corpus/<parser type>/*) and fixture inputs (tests/fixtures/<parser
// type>/*.input): the match result and every capture must agree.
//
//   INSTANTIATE_TEST_SUITE_P(Cunit, ScannerDifferential,
//       testing::Values(ScannerCase{{"verdict_line", &QZCUnitResultElement::my_regex, {...}},
//                                   "PassFail", &scan_groups}),
//       scanner_case_name);

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
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

/// Groups 1..n of a match as the hand-written matcher gives them (a group
/// that took no part is empty), or nothing for a line it does not match.
using ScannedGroups = std::optional<std::vector<std::string>>;

struct ScannerCase {
  PatternCase reference;    // the pattern the matcher must equal, and seeds for mutated lines
  std::string parser_type;  // names the fuzz corpus and fixture folders of whole-file lines
  ScannedGroups (*scan)(std::string_view line);
};

class ScannerDifferential : public testing::TestWithParam<ScannerCase> {};

std::string scanner_case_name(const testing::TestParamInfo<ScannerCase>& info);

inline void PrintTo(const ScannerCase& tested, std::ostream* os) { *os << tested.reference.name; }
