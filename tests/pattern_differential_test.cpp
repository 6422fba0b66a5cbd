#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

#include "detail/line_reader.h"
#include "support/pattern_differential.h"

std::string pattern_case_name(const testing::TestParamInfo<PatternCase>& info) { return info.param.name; }

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

}  // namespace

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

std::string scanner_case_name(const testing::TestParamInfo<ScannerCase>& info) { return info.param.name; }

namespace {

// Empty unless the scanner agrees with the pattern on `subject`, or the
// pattern gave up (then `gave_up` is set); else what they disagree on.
std::string scanner_disagreement(const ScannerCase& tested, const Detail::Pattern& pattern, const std::string& subject,
                                 bool& matched, bool& gave_up) {
  Detail::Match expected;
  const Detail::MatchResult result = pattern.full_match(subject, expected);
  std::vector<std::string_view> actual(pattern.group_count() + 1);
  const bool scanned = tested.scan(subject, actual);
  matched = result == Detail::MatchResult::matched;
  gave_up = result == Detail::MatchResult::gave_up;
  if (gave_up) return "";
  if (scanned != matched) return scanned ? "only the scanner matches" : "only the pattern matches";
  std::ostringstream why;
  for (std::size_t i = 1; matched && i <= pattern.group_count(); ++i) {
    const auto offset = [&subject](std::string_view group) { return group.data() - subject.data(); };
    if (!expected.matched(i) || expected[i] != actual[i] || offset(expected[i]) != offset(actual[i]))
      why << "group " << i << ": pattern '" << expected[i] << "' at " << offset(expected[i]) << ", scanner '"
          << actual[i] << "' at " << offset(actual[i]) << "; ";
  }
  return why.str();
}

// Every line of every file of the corpus folders and fixture inputs (carriage
// returns kept), every whole file, and the suffixes of the lines that begin
// with `anchor`.
std::vector<std::string> corpus_subjects(const ScannerCase& tested) {
  const std::filesystem::path fixtures = VIVIRI_FIXTURES;
  const std::filesystem::path corpus = fixtures.parent_path().parent_path() / "fuzz" / "corpus";
  std::vector<std::filesystem::path> files;
  for (const std::string& folder : tested.fuzz_corpora) {
    for (const auto& entry : std::filesystem::directory_iterator(corpus / folder)) files.push_back(entry.path());
    if (!std::filesystem::exists(fixtures / folder)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(fixtures / folder))
      if (entry.path().extension() == ".input") files.push_back(entry.path());
  }
  std::vector<std::string> subjects;
  for (const std::filesystem::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    subjects.push_back(whole);
    std::istringstream lines(whole);
    for (std::string line; std::getline(lines, line);) {
      subjects.push_back(line);
      for (std::size_t at = tested.anchor.empty() ? std::string::npos : line.find(tested.anchor);
           at != std::string::npos; at = line.find(tested.anchor, at + 1))
        subjects.push_back(line.substr(at));
    }
  }
  return subjects;
}

}  // namespace

TEST_P(ScannerDifferential, AgreesWithThePatternOnMutatedLinesAndTheFuzzCorpus) {
  const ScannerCase& tested = GetParam();
  ASSERT_FALSE(tested.seeds.empty());
  const Detail::Pattern pattern(tested.pattern().source(), UINT32_MAX);
  int matches = 0, mismatches = 0, cases = 0, gave_up = 0;
  auto check = [&](const std::string& subject) {
    bool matched = false, pattern_gave_up = false;
    const std::string why = scanner_disagreement(tested, pattern, subject, matched, pattern_gave_up);
    ++cases;
    matches += matched ? 1 : 0;
    gave_up += pattern_gave_up ? 1 : 0;
    if (!why.empty() && ++mismatches <= 5) ADD_FAILURE() << why << " on: " << testing::PrintToString(subject);
    return matched;
  };
  std::mt19937 random(20261208);
  const int per_seed = 10 * mutations_per_case / static_cast<int>(tested.seeds.size());
  for (std::size_t s = 0; s < tested.seeds.size(); ++s) {
    EXPECT_TRUE(check(tested.seeds[s])) << "seed does not match: " << tested.seeds[s];
    const std::string& donor = tested.seeds[(s + 1) % tested.seeds.size()];
    for (int i = 0; i < per_seed; ++i) check(mutate(tested.seeds[s], random, donor));
  }
  const int mutated_matches = matches;
  const std::vector<std::string> corpus = corpus_subjects(tested);
  for (const std::string& subject : corpus) check(subject);
  EXPECT_EQ(mismatches, 0) << "of " << cases << " cases";
  EXPECT_EQ(gave_up, 0) << "the pattern gave up; those lines prove nothing";
  EXPECT_GT(mutated_matches, cases / 50) << "of " << cases << " cases";
  EXPECT_LT(matches, cases) << "of " << cases << " cases";
  if (!tested.fuzz_corpora.empty()) {
    EXPECT_GT(corpus.size(), tested.fuzz_corpora.size());
  }
}
