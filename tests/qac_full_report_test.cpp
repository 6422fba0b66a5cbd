#include <gtest/gtest.h>

#include "qac/qac_result_element.h"

using Counts = QZQacResultElement::statistics_full_report;
using Records = std::deque<QZQacResultElement>;

namespace {

QZQacResultElement message(std::uint32_t priority, std::uint32_t number) {
  QZQacResultElement r;
  r.file_name = "Src_QZ\\a.c";
  r.priority = priority;
  r.message_number = number;
  return r;
}

Counts counts(std::uint64_t total, std::uint64_t p98, std::uint64_t p75, std::uint64_t p40, std::uint64_t his) {
  Counts c;
  c.message_count = total;
  c.prio_9_8_count = p98;
  c.prio_7_5_count = p75;
  c.prio_4_0_count = p40;
  c.his_count = his;
  return c;
}

std::string blanks(std::size_t n) { return std::string(n, ' '); }

TEST(QacFullReportCounts, PriorityBands) {
  const Records records = {message(0, 1), message(4, 2), message(5, 3),    message(7, 4),
                           message(8, 5), message(9, 6), message(9, 5350), message(2, 5300)};
  const Counts c = Counts::of(records);
  EXPECT_EQ(c.message_count, 8u);
  EXPECT_EQ(c.prio_4_0_count, 2u);  // 0 and 4
  EXPECT_EQ(c.prio_7_5_count, 2u);  // 5 and 7
  EXPECT_EQ(c.prio_9_8_count, 2u);  // 8 and 9
  EXPECT_EQ(c.his_count, 2u);       // whatever the priority
}

TEST(QacFullReportCounts, RightAlignedAtFixedColumns) {
  const std::string ones = std::string(80, 'n') + counts(1, 1, 1, 1, 1).get_fancy_string();
  const std::string wide = std::string(80, 'n') + counts(100, 999, 100, 123, 100).get_fancy_string();
  EXPECT_EQ(ones.substr(80), blanks(40) + R"("1")" + blanks(16) + R"("1")" + blanks(12) + R"("1")" + blanks(12) +
                                 R"("1")" + blanks(7) + R"("1")");
  EXPECT_EQ(wide.substr(80), blanks(38) + R"("100")" + blanks(14) + R"("999")" + blanks(10) + R"("100")" +
                                 blanks(10) + R"("123")" + blanks(5) + R"("100")");
  EXPECT_EQ(ones.size(), 182u);
  EXPECT_EQ(wide.size(), 182u);
  for (const std::size_t closing : {123u, 142u, 157u, 172u, 182u}) {
    EXPECT_EQ(ones[closing - 1], '"') << closing;  // counted from 1
    EXPECT_EQ(wide[closing - 1], '"') << closing;
  }
}

TEST(QacFullReportCounts, TooWideCountsGetNoBlanks) {
  const std::uint64_t most = 18446744073709551615u;  // 20 digits, wider than the last three fields
  EXPECT_EQ(counts(most, most, most, most, most).get_fancy_string(),
            blanks(21) + "\"18446744073709551615\"" + "\"18446744073709551615\"" + "\"18446744073709551615\"" +
                "\"18446744073709551615\"" + "\"18446744073709551615\"");
}

TEST(QacFullReportLines, OptionsUnquotedAndLongNameKeptApart) {
  const std::string long_name = "Src_QZ\\" + std::string(91, 'x') + ".c";  // 100 characters
  QZQacResultElement r = message(9, 7);
  r.file_name = long_name;
  r.line = 3;
  r.message_text = "Text with \"quotes\"";
  Detail::options options;
  options.platform = "Pw\"e3";
  const Records records = {r};
  const std::deque<std::string> lines = QZQacResultElement::full_report_lines({{long_name, records}}, 1, options);
  ASSERT_EQ(lines.size(), 19u);
  EXPECT_EQ(lines[7], "Platform___: Pw\"e3");
  EXPECT_EQ(lines[8], "ProjectName: ");
  EXPECT_EQ(lines[12].size(), 210u);  // the header moves right with the name
  EXPECT_EQ(lines[12].find("[HIS]"), 205u);
  EXPECT_EQ(lines[13].substr(0, 106), std::string(105, '-') + " ");
  EXPECT_EQ(lines[14], long_name + blanks(40) + R"("1")" + blanks(16) + R"("1")" + blanks(12) + R"("0")" +
                           blanks(12) + R"("0")" + blanks(7) + R"("0")");
  // The file's details are one entry; the writer's line feed after it ends
  // the empty line.
  EXPECT_EQ(lines[18], "[filename]: " + long_name + "\n" + long_name + "(3): Text with \"quotes\"\n");
}

}  // namespace
