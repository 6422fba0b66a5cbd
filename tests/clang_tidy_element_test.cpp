#include "clang_tidy/clang_tidy_element.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/pattern_differential.h"

using Element = ZEZudizOzazIdovuvidurElement;

namespace {

struct Texts {
  bool any_line;
  std::vector<std::string> texts;
  std::vector<std::size_t> first_lines;
  bool operator==(const Texts&) const = default;
};

void PrintTo(const Texts& t, std::ostream* os) {
  *os << (t.any_line ? "lines" : "no line");
  for (std::size_t i = 0; i < t.texts.size(); ++i) *os << "\n  [" << t.first_lines[i] << "] \"" << t.texts[i] << '"';
}

Texts cut(const std::string& report) {
  std::istringstream in(report);
  Texts t{false, {"stale"}, {7}};
  t.any_line = Element::read_message_texts(in, t.texts, t.first_lines);
  return t;
}

// The fields of a record, one text per field, so that a failure shows them all.
std::vector<std::string> fields(const Element& e) {
  return {e.is_valid ? "valid" : "invalid", e.file_name, std::to_string(e.line), std::to_string(e.column),
          e.check_name, e.tail_text, e.message, e.full_text};
}

// Cuts the report into texts and runs them through get_relevent_tidy_messages.
std::deque<Element> relevant(const std::string& report) {
  Texts t = cut(report);
  std::deque<Element> records;
  Element::get_relevent_tidy_messages(t.texts, records, t.first_lines);
  return records;
}

std::vector<std::string> full_texts(const std::deque<Element>& records) {
  std::vector<std::string> texts;
  for (const Element& e : records) texts.push_back(e.full_text);
  return texts;
}

TEST(ClangTidyMessageTexts, CutAtDiagnosticLines) {
  const std::string diag_a = "src/a.cpp:1:2: warning: a [x]";
  const std::string diag_b = "src/b.c:3:4: error: b [y]";
  const struct {
    std::string report;
    Texts expected;
  } cases[] = {
      {"", {false, {}, {}}},
      {"\n", {true, {""}, {1}}},  // one empty line is still a line
      {diag_a + "\n", {true, {diag_a}, {1}}},
      {diag_a + "\n" + diag_b + "\n", {true, {diag_a, diag_b}, {1, 2}}},
      {diag_a + "\n" + diag_b, {true, {diag_a, diag_b}, {1, 2}}},  // the last line has no line feed
      {diag_a + "\r\n" + diag_b + "\r\n", {true, {diag_a, diag_b}, {1, 2}}},
      {"banner\n2 warnings generated.\n" + diag_a + "\n  src | x\n", {true, {"banner 2 warnings generated.", diag_a + "   src | x"}, {1, 3}}},
      {diag_a + "\n\nafter\n", {true, {diag_a + "  after"}, {1}}},  // an empty line adds its blank
      {diag_a + "\nsrc/a.cpp:5:1: remark: r [z]\n", {true, {diag_a + " src/a.cpp:5:1: remark: r [z]"}, {1}}},
      {diag_a + "\ninclude/r.hpp:4:1: note: n\n", {true, {diag_a, "include/r.hpp:4:1: note: n"}, {1, 2}}},
      {diag_a + "\nsrc/a.cpp:5:1:warning: tight\n", {true, {diag_a + " src/a.cpp:5:1:warning: tight"}, {1}}},
      {diag_a + "\nsrc/a.cpp:5:1: Warning: w\n", {true, {diag_a + " src/a.cpp:5:1: Warning: w"}, {1}}},
      {diag_a + "\nsrc/a.cpp:5:1: warning:\n", {true, {diag_a + " src/a.cpp:5:1: warning:"}, {1}}},  // blank needed
      {diag_a + "\nsrc/a.cpp:5:1: warning: \n", {true, {diag_a, "src/a.cpp:5:1: warning: "}, {1, 2}}},
  };
  for (const auto& c : cases) EXPECT_EQ(cut(c.report), c.expected) << c.report;
}

TEST(ClangTidyMessageTexts, ColourSequencesAreRemovedFirst) {
  const struct {
    std::string line;
    std::string plain;
  } cases[] = {
      {"\x1b[1ma.c:1:2: \x1b[0m\x1b[0;1;35mwarning: \x1b[0m\x1b[1mtext [x]\x1b[0m", "a.c:1:2: warning: text [x]"},
      {"\x1b[m\x1b[;m\x1b[38;5;196mred", "red"},
      {"\x1b[K kept", "\x1b[K kept"},       // not a colour sequence
      {"\x1b[1 kept", "\x1b[1 kept"},       // unfinished
      {"end \x1b[", "end \x1b["},
      {"[1m no escape", "[1m no escape"},
      {"\x1b\x1b[0mx", "\x1bx"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Element::remove_colour(c.line), c.plain) << c.line;
}

TEST(ClangTidyMessageTexts, ColouredOutputGivesThePlainRecords) {
  const std::string plain =
      "3 warnings generated.\n"
      "src/app/main.cpp:10:5: warning: use nullptr [modernize-use-nullptr]\n"
      "   10 |     int *p = 0;\n"
      "      |              ^\n"
      "src/app/main.cpp:3:1: error: unknown type name 'uint8' [clang-diagnostic-error]\n";
  const std::string coloured =
      "3 warnings generated.\n"
      "\x1b[1msrc/app/main.cpp:10:5: \x1b[0m\x1b[0;1;35mwarning: \x1b[0m\x1b[1muse nullptr "
      "[modernize-use-nullptr]\x1b[0m\n"
      "   10 |     int *p = 0;\n"
      "      |\x1b[0;1;32m              ^\x1b[0m\n"
      "\x1b[1msrc/app/main.cpp:3:1: \x1b[0m\x1b[0;1;31merror: \x1b[0m\x1b[1munknown type name 'uint8' "
      "[clang-diagnostic-error]\x1b[0m\n";
  const std::deque<Element> expected = relevant(plain);
  const std::deque<Element> got = relevant(coloured);
  ASSERT_EQ(expected.size(), 2u);
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(fields(got[i]), fields(expected[i]));
}

TEST(ClangTidyMessage, ExampleOfThreeLines) {
  const Texts t = cut("src/a.cpp:10:5: warning: use nullptr [modernize-use-nullptr]\n    int *p = 0;\n             ^\n");
  const std::string joined = "src/a.cpp:10:5: warning: use nullptr [modernize-use-nullptr]     int *p = 0;              ^";
  ASSERT_EQ(t, (Texts{true, {joined}, {1}}));
  Element e;
  ASSERT_TRUE(e.parse_single_tidy_msg(joined, 1));
  const std::string tail = "     int *p = 0;              ^";
  EXPECT_EQ(fields(e), (std::vector<std::string>{"invalid", "src/a.cpp", "10", "5", "modernize-use-nullptr", tail,
                                                 "warning use nullptr  modernize-use-nullptr " + tail + " ", joined}));
  std::deque<Element> records = relevant("src/a.cpp:10:5: warning: use nullptr [modernize-use-nullptr]\n    int *p = 0;\n             ^");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(records[0].is_valid);
}

TEST(ClangTidyMessage, ParseTable) {
  const struct {
    std::string text;
    std::vector<std::string> expected;  // empty: not parsed
  } cases[] = {
      {"a.h:1:2: error: bad [x] more [y] tail", {"invalid", "a.h", "1", "2", "y", " tail", "error bad [x] more  y  tail ", "a.h:1:2: error: bad [x] more [y] tail"}},
      {"C:\\w\\u.c:7:3: note: set here     buf[i] = 0;", {"invalid", "C:\\w\\u.c", "7", "3", "i", " = 0;", "note set here     buf i  = 0; ", "C:\\w\\u.c:7:3: note: set here     buf[i] = 0;"}},
      {"d/b.c:old.cpp:3:4:\twarning:  w [k]", {"invalid", "d/b.c:old.cpp", "3", "4", "k", "", "warning w  k  ", "d/b.c:old.cpp:3:4:\twarning:  w [k]"}},
      {"a.c:99999999999:0010: warning: w [k]", {"invalid", "a.c", "4294967295", "10", "k", "", "warning w  k  ", "a.c:99999999999:0010: warning: w [k]"}},
      {"a.c:1:1: warning: [] ", {"invalid", "a.c", "1", "1", "", " ", "warning     ", "a.c:1:1: warning: [] "}},
      {"a.hpp:1:1: warning: x [c]", {}},
      {"a.cc:1:1: warning: x [c]", {}},
      {"a.cxx:1:1: warning: x [c]", {}},
      {"a.C:1:1: warning: x [c]", {}},
      {"a.c:1:1: note: expanded from macro 'ZERO'", {}},
      {"a.c:1:1: warning: x ]c[", {}},
      {"a.c:1:1: remark: x [c]", {}},
      {"a.c:1: warning: x [c]", {}},
      {"a.c:1:1:warning: x [c]", {}},
      {"banner a.c:1:1: warning: x [c]", {"invalid", "banner a.c", "1", "1", "c", "", "warning x  c  ", "banner a.c:1:1: warning: x [c]"}},
  };
  for (const auto& c : cases) {
    Element e;
    e.file_name = "untouched";
    const bool parsed = e.parse_single_tidy_msg(c.text, 1);
    EXPECT_EQ(parsed, !c.expected.empty()) << c.text;
    if (parsed) EXPECT_EQ(fields(e), c.expected) << c.text;
    else EXPECT_EQ(e.file_name, "untouched") << c.text;
  }
}

TEST(ClangTidyRelevantMessages, SortedAndDeduplicated) {
  const std::string a5 = "s/a.c:10:5: warning: use nullptr [modernize-use-nullptr]";
  const std::string a9 = "s/a.c:10:9: warning: use nullptr [modernize-use-nullptr]";
  const std::string line9 = "s/a.c:9:1: warning: z [z-check]";
  const std::string other_check = "s/a.c:10:1: warning: use nullptr [a-check]";
  const std::string b = "s/B.c:99:1: warning: b [b]";
  const struct {
    std::string report;
    std::vector<std::string> expected;
  } cases[] = {
      {a5 + "\n" + a5 + "\n", {a5}},                    // the same diagnostic twice
      {a9 + "\n" + a5 + "\n", {a5, a9}},                // only the column differs: both kept
      {a5 + "\n" + a9 + "\n" + a5 + "\n", {a5, a9}},    // copies apart in the input still meet
      {a5 + "\n" + line9 + "\n", {line9, a5}},          // lines compare as numbers
      {a5 + "\n" + other_check + "\n", {other_check, a5}},
      {a5 + "\n" + b + "\n", {b, a5}},                  // file names compare byte-wise
      {a5 + "\n   x\n" + a5 + "\n", {a5, a5 + "    x"}},  // different follow-on lines: both kept
      {"banner\n" + a5 + "\ns/a.hpp:1:1: warning: h [h]\n", {a5}},
  };
  for (const auto& c : cases) EXPECT_EQ(full_texts(relevant(c.report)), c.expected) << c.report;
}

TEST(ClangTidyRelevantMessages, NothingParsedPrintsTheNoMessageLine) {
  std::vector<std::string> texts = {"banner", "a.hpp:1:1: warning: x [c]"};
  std::deque<Element> records;
  testing::internal::CaptureStdout();
  const bool found = Element::get_relevent_tidy_messages(texts, records, {1, 2});
  EXPECT_EQ(testing::internal::GetCapturedStdout(), " ZEZudizOzazIdovuvidur: No cland-tidy messages were found\n");
  EXPECT_FALSE(found);
  EXPECT_TRUE(records.empty());
}

TEST(ClangTidyGroups, OnePerFileInByteOrder) {
  const std::deque<Element> records =
      relevant("src/b.c:2:1: warning: x [k]\nsrc/B.c:1:1: warning: x [k]\nsrc/b.c:1:1: warning: y [k]\n");
  const std::vector<Element::file_group> groups = Element::group_by_file(records);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].first, "src/B.c");
  EXPECT_EQ(full_texts(groups[0].second), (std::vector<std::string>{"src/B.c:1:1: warning: x [k]"}));
  EXPECT_EQ(groups[1].first, "src/b.c");
  EXPECT_EQ(full_texts(groups[1].second),
            (std::vector<std::string>{"src/b.c:1:1: warning: y [k]", "src/b.c:2:1: warning: x [k]"}));
}

INSTANTIATE_TEST_SUITE_P(
    ClangTidy, PatternDifferential,
    testing::Values(PatternCase{"tidy_diagnostic_line",
                                &Element::tidy_report_regex,
                                {"src/a.cpp:10:5: warning: use nullptr [modernize-use-nullptr]",
                                 "C:\\w\\u.c:7:3: note: value assigned here",
                                 "x.hpp:1:22:\terror:  bad", "::1:2: warning: :3:4: note: x"}},
                    PatternCase{"tidy_message_text",
                                &Element::my_single_tidy_msg_regex,
                                {"src/a.cpp:10:5: warning: use nullptr [modernize-use-nullptr]     int *p = 0;     ^",
                                 "C:\\w\\u.c:7:3: note: value assigned here     buf[i] = 0;",
                                 "a.h:1:2: error: bad [x] more [y] tail", "d/b.c:old.cpp:3:4:\twarning:  w [k]",
                                 "a.c:1:1: warning: [] "}}),
    pattern_case_name);

}  // namespace
