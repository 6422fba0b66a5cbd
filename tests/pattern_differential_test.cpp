#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

#include "detail/line_reader.h"
#include "support/pattern_differential.h"

std::string pattern_case_name(const testing::TestParamInfo<PatternCase>& info) { return info.param.name; }
std::string scanner_case_name(const testing::TestParamInfo<ScannerCase>& info) { return info.param.reference.name; }

namespace {

constexpr int mutations_per_case = 10000;

// Characters that the patterns care about, plus bytes they must treat as
// plain bytes.
const std::string alphabet = std::string(" \t\r\v.,:;()[]{}<>/\\-+*%#\"'_=!?0123456789aAzZfxTcph") +
                             std::string("\0\x7f\x80\xa0\xff", 5);

std::string mutate(std::string line, std::mt19937& random, const std::string& donor) {
  const int count = 1 + static_cast<int>(random() % 3);
  for (int step = 0; step < count; ++step) {
    const std::size_t at = line.empty() ? 0 : random() % (line.size() + 1);
    const std::size_t length = 1 + random() % 8;
    switch (random() % 7) {
      case 0:
        line.insert(at, 1, alphabet[random() % alphabet.size()]);
        break;
      case 1:
        if (at < line.size()) line.erase(at, 1);
        break;
      case 2:
        if (at < line.size()) line.erase(at, length);
        break;
      case 3:  // a duplicated piece
        if (at < line.size()) line.insert(at, line.substr(at, length));
        break;
      case 4:  // a piece of another valid line
        if (!donor.empty()) line.insert(at, donor.substr(random() % donor.size(), length));
        break;
      case 5:
        line += '\r';
        break;
      default:
        if (at < line.size()) line[at] = alphabet[random() % alphabet.size()];
        break;
    }
  }
  return line;
}

// Empty unless both engines agree on `subject`; else what they disagree on.
std::string disagreement(const Detail::Pattern& pattern, const std::regex& reference, const std::string& subject,
                         bool& matched) {
  std::smatch expected;
  const bool reference_matched = std::regex_match(subject, expected, reference);
  Detail::Match actual;
  const Detail::MatchResult result = pattern.full_match(subject, actual);
  matched = reference_matched;
  std::ostringstream why;
  if (result == Detail::MatchResult::gave_up) why << "wrapper gave up";
  if ((result == Detail::MatchResult::matched) != reference_matched) why << "match result differs";
  if (!why.str().empty() || !reference_matched) return why.str();
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (expected[i].matched != actual.matched(i) || expected[i].str() != actual.str(i))
      why << "group " << i << ": std::regex '" << expected[i].str() << "', wrapper '" << actual.str(i) << "'; ";
  }
  return why.str();
}

template <typename Check>
void for_each_mutated_line(const std::vector<std::string>& seeds, Check check) {
  std::mt19937 random(20261208);
  const int per_seed = mutations_per_case / static_cast<int>(seeds.size());
  for (std::size_t s = 0; s < seeds.size(); ++s) {
    const std::string& donor = seeds[(s + 1) % seeds.size()];
    for (int i = 0; i < per_seed; ++i) check(mutate(seeds[s], random, donor));
  }
}

// Every line of the type's fuzz corpus and fixture inputs, split as the
// program splits them.
std::vector<std::string> corpus_lines(const std::string& parser_type) {
  const std::filesystem::path fixtures = std::filesystem::path(VIVIRI_FIXTURES) / parser_type;
  const std::filesystem::path corpus = fixtures.parent_path().parent_path().parent_path() / "fuzz" / "corpus" / parser_type;
  std::vector<std::string> lines;
  for (const std::filesystem::path& folder : {corpus, fixtures}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (folder == fixtures && entry.path().extension() != ".input") continue;
      std::ifstream in(entry.path(), std::ios::binary);
      Detail::LineReader reader(in);
      for (std::string_view line; reader.next(line);) lines.emplace_back(line);
    }
  }
  return lines;
}

// Empty unless the hand-written matcher and the pattern agree on `subject`;
// else what they disagree on. `reference` runs without a practical match
// limit, so that lines the program's engine would give up on are proven too.
std::string scanner_disagreement(const Detail::Pattern& reference, const ScannerCase& tested,
                                 const std::string& subject, bool& matched) {
  Detail::Match expected;
  const Detail::MatchResult result = reference.full_match(subject, expected);
  if (result == Detail::MatchResult::gave_up) return "the reference engine gave up";
  matched = result == Detail::MatchResult::matched;
  const ScannedGroups actual = tested.scan(subject);
  if (matched != actual.has_value()) return "match result differs";
  if (!matched) return "";
  if (actual->size() != reference.group_count()) return "group count differs";
  std::ostringstream why;
  for (std::size_t i = 1; i <= actual->size(); ++i) {
    if (expected.str(i) != (*actual)[i - 1])
      why << "group " << i << ": pattern '" << expected.str(i) << "', scanner '" << (*actual)[i - 1] << "'; ";
  }
  return why.str();
}

}  // namespace

TEST_P(ScannerDifferential, AgreesWithItsPatternOnMutatedAndCorpusLines) {
  const ScannerCase& tested = GetParam();
  const Detail::Pattern reference(tested.reference.pattern().source(), UINT32_MAX);
  ASSERT_FALSE(tested.reference.seeds.empty());

  int matches = 0, mismatches = 0, cases = 0;
  auto check = [&](const std::string& subject) {
    bool matched = false;
    const std::string why = scanner_disagreement(reference, tested, subject, matched);
    ++cases;
    matches += matched ? 1 : 0;
    if (!why.empty() && ++mismatches <= 5) ADD_FAILURE() << why << " on: " << testing::PrintToString(subject);
    return matched;
  };
  for (const std::string& seed : tested.reference.seeds) EXPECT_TRUE(check(seed)) << "seed does not match: " << seed;
  for_each_mutated_line(tested.reference.seeds, check);
  const std::vector<std::string> lines = corpus_lines(tested.parser_type);
  EXPECT_FALSE(lines.empty());
  for (const std::string& line : lines) check(line);
  EXPECT_EQ(mismatches, 0) << "of " << cases << " cases";
  EXPECT_GT(matches, cases / 50) << "of " << cases << " cases";
  EXPECT_LT(matches, cases) << "of " << cases << " cases";
}

TEST_P(PatternDifferential, AgreesWithStdRegexOnMutatedLines) {
  const PatternCase& tested = GetParam();
  const Detail::Pattern& pattern = tested.pattern();
  const std::regex reference(pattern.source());
  ASSERT_EQ(pattern.group_count() + 1, reference.mark_count() + 1);
  ASSERT_FALSE(tested.seeds.empty());

  int matches = 0, mismatches = 0, cases = 0;
  auto check = [&](const std::string& subject) {
    bool matched = false;
    const std::string why = disagreement(pattern, reference, subject, matched);
    ++cases;
    matches += matched ? 1 : 0;
    if (!why.empty() && ++mismatches <= 5) ADD_FAILURE() << why << " on: " << testing::PrintToString(subject);
  };
  for (const std::string& seed : tested.seeds) {
    bool matched = false;
    EXPECT_EQ(disagreement(pattern, reference, seed, matched), "") << seed;
    EXPECT_TRUE(matched) << "seed does not match: " << seed;
  }
  for_each_mutated_line(tested.seeds, check);
  EXPECT_EQ(mismatches, 0) << "of " << cases << " cases";
  // A corpus that never (or always) matches would prove nothing.
  EXPECT_GT(matches, cases / 50) << "of " << cases << " cases";
  EXPECT_LT(matches, cases) << "of " << cases << " cases";
}
