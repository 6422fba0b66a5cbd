// The clang-tidy scanners give the patterns' match results and captures: on
// mutated lines and the fuzz corpus (ScannerDifferential), and on the message
// texts the program cuts from every fixture and fuzz corpus file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "clang_tidy/clang_tidy_element.h"
#include "clang_tidy/message_scanner.h"
#include "support/pattern_differential.h"

using Element = ZEZudizOzazIdovuvidurElement;
namespace Scan = ClangTidyMessages;

namespace {

bool scan_diagnostic(std::string_view subject, std::vector<std::string_view>& groups) {
  Scan::DiagnosticGroups g;
  if (!Scan::scan_diagnostic_line(subject, g)) return false;
  groups = {subject, g.line, g.column, g.severity};
  return true;
}

bool scan_single(std::string_view subject, std::vector<std::string_view>& groups) {
  Scan::MessageGroups g;
  if (!Scan::scan_message(subject, false, g)) return false;
  groups = {subject, g.file_name, g.extension, g.line, g.column, g.severity, g.text, g.check, g.tail};
  return true;
}

bool scan_all(std::string_view subject, std::vector<std::string_view>& groups) {
  Scan::MessageGroups g;
  if (!Scan::scan_message(subject, true, g)) return false;
  groups = {subject, g.file_name, g.line, g.column, g.severity, g.text, g.check, g.tail};
  return true;
}

const std::vector<std::string> message_seeds = {
    "src/a.cpp:10:5: warning: use nullptr [modernize-use-nullptr]     int *p = 0;     ^",
    "C:\\w\\u.c:7:3: note: value assigned here [x]    buf[i] = 0;   ^~~ [y",
    "a.h:1:2: error: bad [x] more [y] tail",
    "d/b.c:old.cpp:3:4:\twarning:  w [k]",
    "a.c:1:1: warning: [] ",
    "a.c:1:2: warning: a.h:3:4: note: x [k] b.cpp:5:6: error: y [z]",
    "a.c:1:2: warning: w [k] a.c:1:2:\r\n note: n [k]",
    "a.cpp:1:2: warning: w [k] \x1b[0m [\xff] .c:9:9:\v\ferror:\x80[a[b]c]d]",
};

INSTANTIATE_TEST_SUITE_P(
    ClangTidy, ScannerDifferential,
    testing::Values(ScannerCase{"tidy_diagnostic_line",
                                &Element::tidy_report_regex,
                                &scan_diagnostic,
                                {"src/a.cpp:10:5: warning: use nullptr [modernize-use-nullptr]",
                                 "C:\\w\\u.c:7:3: note: value assigned here", "x.hpp:1:22:\terror:  bad",
                                 "::1:2: warning: :3:4: note: x", "a:1:2:\r\n error: \x80 b:3:4:\vnote: \x80",
                                 "a.c:1:2: warning: a.h:3:4: note: x [k] b.cpp:5:6: error: y [z]"},
                                {"ClangTidy", "ClangTidy_all"},
                                ""},
                    ScannerCase{"tidy_message_text", &Element::my_single_tidy_msg_regex, &scan_single, message_seeds,
                                {"ClangTidy", "ClangTidy_all"}, ""},
                    ScannerCase{"tidy_message_text_all_files", &Element::all_files_tidy_msg_regex, &scan_all,
                                message_seeds, {"ClangTidy", "ClangTidy_all"}, ""}),
    scanner_case_name);

// Empty if `scan` and `pattern` agree on `subject`, else what they disagree on.
std::string disagreement(const Detail::Pattern& pattern,
                         bool (*scan)(std::string_view, std::vector<std::string_view>&), const std::string& subject) {
  Detail::Match expected;
  const Detail::MatchResult result = pattern.full_match(subject, expected);
  if (result == Detail::MatchResult::gave_up) return "the pattern gave up";
  std::vector<std::string_view> actual(pattern.group_count() + 1);
  if (scan(subject, actual) != (result == Detail::MatchResult::matched)) return "match result differs";
  for (std::size_t i = 1; result == Detail::MatchResult::matched && i < actual.size(); ++i) {
    if (!expected.matched(i) || expected[i].data() != actual[i].data() || expected[i].size() != actual[i].size())
      return "group " + std::to_string(i) + " differs";
  }
  return "";
}

TEST(ClangTidyScanners, AgreeWithThePatternsOnTheTextsOfFixturesAndFuzzCorpus) {
  const std::filesystem::path fixtures(VIVIRI_FIXTURES);
  const std::filesystem::path corpus = fixtures.parent_path().parent_path() / "fuzz" / "corpus";
  std::size_t texts = 0, messages = 0;
  for (const char* type : {"ClangTidy", "ClangTidy_all"}) {
    for (const std::filesystem::path& folder : {fixtures / type, corpus / type}) {
      for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (folder == fixtures / type && entry.path().extension() != ".input") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<std::string> cut;
        std::vector<std::size_t> first_lines;
        Element::read_message_texts(in, cut, first_lines);
        for (const std::string& text : cut) {
          SCOPED_TRACE(entry.path().string() + ": " + testing::PrintToString(text));
          EXPECT_EQ(disagreement(Element::my_single_tidy_msg_regex(), &scan_single, text), "");
          EXPECT_EQ(disagreement(Element::all_files_tidy_msg_regex(), &scan_all, text), "");
          EXPECT_EQ(disagreement(Element::tidy_report_regex(), &scan_diagnostic, text), "");
          ++texts;
          messages += Element::all_files_tidy_msg_regex().full_match(text) == Detail::MatchResult::matched ? 1u : 0u;
        }
      }
    }
  }
  // Texts that never (or always) match would prove little.
  EXPECT_GT(messages, 50u);
  EXPECT_LT(messages, texts);
}

TEST(ClangTidyScanners, NeverGiveUp) {
  // Every file name end but the first leaves no "[" for the check name, which
  // the pattern engine finds out by a walk to the end of the text each time.
  std::string text = "a.c:1:2: warning: x [k] ";
  while (text.size() < 200'000) text += "a.c:1:2: warning: x ";
  ASSERT_EQ(Element::my_single_tidy_msg_regex().full_match(text), Detail::MatchResult::gave_up);
  Scan::MessageGroups g;
  ASSERT_TRUE(Scan::scan_message(text, false, g));
  EXPECT_EQ(g.file_name, "a.c");
  EXPECT_EQ(g.check, "k");
  EXPECT_EQ(g.tail.size(), text.size() - std::string("a.c:1:2: warning: x [k]").size());
}

}  // namespace
