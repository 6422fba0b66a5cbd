// The compact message table of a run gives the page that the record
// operations (get_relevent_tidy_messages, group_by_file, build_html_report)
// give on the same texts.
#include "clang_tidy/message_table.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "clang_tidy/clang_tidy_element.h"

using Element = ZEZudizOzazIdovuvidurElement;

namespace {

// What the writer makes of the entries: each followed by a line feed.
std::string page_bytes(const std::deque<std::string>& entries) {
  std::string bytes;
  for (const std::string& entry : entries) bytes += entry + '\n';
  return bytes;
}

std::string page_from_records(const std::string& report, const Detail::Pattern& pattern) {
  std::istringstream in(report);
  std::vector<std::string> texts;
  std::vector<std::size_t> first_lines;
  if (!Element::read_message_texts(in, texts, first_lines)) return "no line";
  std::deque<Element> records;
  if (!Element::get_relevent_tidy_messages(texts, records, first_lines, pattern)) return "no message";
  std::vector<Element::file_group> groups = Element::group_by_file(records);
  std::deque<std::string> entries;
  Element::build_html_report(groups, entries);
  return page_bytes(entries);
}

std::string page_from_table(const std::string& report, const Detail::Pattern& pattern) {
  std::istringstream in(report);
  std::vector<std::string> texts;
  std::vector<std::size_t> first_lines;
  if (!Element::read_message_texts(in, texts, first_lines)) return "no line";
  ClangTidyMessages::Table table(pattern);
  for (std::size_t i = 0; i < texts.size(); ++i) table.add(texts[i], first_lines[i]);
  if (!table.parse_all()) return "no message";
  std::deque<std::string> entries;
  table.build_page(entries);
  return page_bytes(entries);
}

// A report of `count` diagnostics drawn from few files, lines, checks and
// texts, so that ties on every sort key and exact copies are frequent.
std::string random_report(std::size_t count, unsigned seed) {
  const char* const files[] = {"src/b.c", "src/B.c", "src/a.cpp", "inc/a.h", "x.hpp", "src/b1.c", "s<&>.c"};
  const char* const severities[] = {"warning", "note", "error"};
  const char* const texts[] = {"a", "a ", "a [b]", "use \"x\"", "", "ab"};
  const char* const checks[] = {"k", "k2", "", "k ", "a]"};
  const char* const follow_ons[] = {"  1 | a[i] = 0;", "    |  ^", "", "  2 | x"};
  std::mt19937 random(seed);
  std::string report = "banner line\n";
  for (std::size_t i = 0; i < count; ++i) {
    report += std::string(files[random() % 7]) + ":" + std::to_string(random() % 4) + ":" +
              std::to_string(random() % 3) + ": " + severities[random() % 3] + ": " + texts[random() % 6];
    if (random() % 5 != 0) report += std::string("[") + checks[random() % 5] + "]";
    report += "\n";
    for (std::size_t lines = random() % 3; lines > 0; --lines) report += std::string(follow_ons[random() % 4]) + "\n";
  }
  return report;
}

TEST(ClangTidyMessageTable, PageEqualsTheRecordOperations) {
  const std::string reports[] = {
      "",
      "banner only\n",
      "src/a.cpp:1:2: warning: x [k]\n",
      "src/a.cpp:1:2: warning: x [k]\n  q\nsrc/a.cpp:1:2: warning: x [k]\n  q\nsrc/a.cpp:1:1: warning: x [k]\n",
      "a.c:10:1: warning: m [k]\na.c:010:1: warning: m [k]\na.c:9:1: warning: m [k]\n",  // same line, two texts
      random_report(300, 1),
      random_report(30000, 2),  // a page of several packed blocks
  };
  for (const Detail::Pattern* pattern : {&Element::my_single_tidy_msg_regex(), &Element::all_files_tidy_msg_regex()}) {
    for (const std::string& report : reports) {
      testing::internal::CaptureStdout();
      const std::string expected = page_from_records(report, *pattern);
      testing::internal::GetCapturedStdout();
      EXPECT_EQ(page_from_table(report, *pattern), expected) << report.substr(0, 300);
    }
  }
}

TEST(ClangTidyMessageTable, MessagesCompareLikeTheirJoinedStrings) {
  const std::string texts[] = {
      "a.c:1:1: warning: x [k]",     "a.c:1:1: warning: x  [k]", "a.c:1:1: warning: x [k] ", "a.c:1:1: warning: x[k]",
      "a.c:1:1: warning: x [k ]",    "a.c:1:1: warning: x [k]!", "a.c:1:1: note: x [k]",     "a.c:1:1: error: x [k]",
      "a.c:1:1: warning: [] ",       "a.c:1:1: warning: [ ]",    "a.c:1:1: warning: \xff [k]", "a.c:1:1: warning:  x [k]",
  };
  Detail::Match groups;
  for (const std::string& a : texts) {
    for (const std::string& b : texts) {
      Element x, y;
      ClangTidyMessages::Parts px, py;
      ASSERT_TRUE(x.parse_single_tidy_msg(a, 1) && y.parse_single_tidy_msg(b, 1));
      ASSERT_TRUE(ClangTidyMessages::parse(Element::my_single_tidy_msg_regex(), a, 1, groups, px));
      ASSERT_TRUE(ClangTidyMessages::parse(Element::my_single_tidy_msg_regex(), b, 1, groups, py));
      const int expected = x.message.compare(y.message);
      const int actual = ClangTidyMessages::compare_messages(px, py);
      EXPECT_EQ((actual > 0) - (actual < 0), (expected > 0) - (expected < 0)) << a << " | " << b;
    }
  }
}

}  // namespace
