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

#include <gtest/gtest.h>

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

// The scanner differential test: a hand-written scanner (or a literal
// pre-filter in front of the pattern) that stands in for a pattern must give
// the pattern's match result and every capture (the same text at the same
// place) over the same kind of mutated lines, and over every line (and every
// whole file) of the fuzz corpus folders it names and of the fixture inputs
// of the same names (tests/fixtures/<name>/*.input). The pattern it is
// compared with runs without a practical match limit, so lines the program's
// engine would give up on are proven too. The scanner fills groups[1] to
// groups[n] for a pattern of n groups, all of which take part in every match.
//
//   INSTANTIATE_TEST_SUITE_P(Qac, ScannerDifferential,
//       testing::Values(ScannerCase{"qac_message_line", &QZQacResultElement::my_regex, &scan_qac_line,
//                                   {"D:\\Src_QZ\\a.c (1) : ..."}, {"QAC", "QAC_full_report"}, ""}),
//       scanner_case_name);
struct ScannerCase {
  std::string name;  // letters, digits and underscores
  const Detail::Pattern& (*pattern)();
  bool (*scan)(std::string_view subject, std::vector<std::string_view>& groups);
  std::vector<std::string> seeds;         // lines the pattern matches
  std::vector<std::string> fuzz_corpora;  // folders under fuzz/corpus (and tests/fixtures)
  std::string anchor;  // if not empty, a corpus line's suffixes that begin with it are subjects too
};

class ScannerDifferential : public testing::TestWithParam<ScannerCase> {};

std::string scanner_case_name(const testing::TestParamInfo<ScannerCase>& info);

inline void PrintTo(const ScannerCase& tested, std::ostream* os) { *os << tested.name; }
