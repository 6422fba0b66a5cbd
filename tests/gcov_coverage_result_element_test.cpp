#include "coverage/gcov_coverage_result_element.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/files.h"
#include "support/pattern_differential.h"
#include "support/program.h"
#include "support/sqlite_db.h"

using namespace test_support;

namespace {

// C0 percent, tested, testable; every other field must stay empty.
using Row = std::vector<std::string>;
using Rows = std::vector<Row>;

Rows read(const std::string& page) {
  std::istringstream in(page);
  std::deque<QZGCovCoverageResultElement> elements(1);  // stale content must go
  QZGCovCoverageResultElement::GetQZCoverageResultElements(in, elements);
  Rows rows;
  for (const auto& e : elements) {
    EXPECT_EQ(e.row.function_name + e.row.C1_percent + e.row.C1_tested_lines + e.row.C1_testable_lines, "");
    rows.push_back({e.row.C0_percent, e.row.C0_tested_lines, e.row.C0_testable_lines});
  }
  return rows;
}

const std::string example = "<tr><td>Lines:</td><td>120</td><td>150</td><td>80.0 %</td></tr>";

TEST(CoverageGcovPattern, CompiledFromTheListedSource) {
  EXPECT_EQ(QZGCovCoverageResultElement::my_regex().source(),
            R"(\<tr\>\<td\>Lines[[:punct:]]+\<\/td\>\<td\>([0-9]+)\<\/td\>\<td\>([0-9]+)\<\/td\>\<td\>)"
            R"(([0-9]+).*\<\/td\>\<\/tr\>)");
}

TEST(CoverageGcovReader, LineTable) {
  const struct {
    std::string line;
    Rows expected;
  } cases[] = {
      {example, {{"80", "120", "150"}}},
      {"<tr><td>Lines:</td><td>7</td><td>7</td><td>100%</td></tr>", {{"100", "7", "7"}}},
      {"<tr><td>Lines:</td><td>161</td><td>200</td><td>80.5 %</td></tr>", {{"80", "161", "200"}}},
      {"<tr><td>Lines.:</td><td>1</td><td>3</td><td>9 (rounded)</td></tr>", {{"9", "1", "3"}}},
      {"<tr><td>Lines:</td><td>1</td><td>3</td><td>n/a</td></tr>", {}},  // no leading digit
      {"  " + example, {}},                                               // indented
      {example + " ", {}},
      {"<TR><TD>Lines:</TD><TD>120</TD><TD>150</TD><TD>80.0 %</TD></TR>", {}},
      {"<tr><td>Lines</td><td>120</td><td>150</td><td>80.0 %</td></tr>", {}},  // punctuation required
      {"<tr><td>Lines :</td><td>120</td><td>150</td><td>80.0 %</td></tr>", {}},
      {"<tr><td>Functions:</td><td>12</td><td>15</td><td>80.0 %</td></tr>", {}},
      {"<tr><td>Lines:</td><td> 120</td><td>150</td><td>80.0 %</td></tr>", {}},
      {"<tr><td>Lines:</td><td>120</td>\n<td>150</td><td>80.0 %</td></tr>", {}},  // split over two lines
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.line + "\n"), c.expected) << c.line;
}

TEST(CoverageGcovReader, EveryMatchingLineInOrderWhateverTheLineEnds) {
  const std::string page = "<table>\n" + example + "\n<tr><td>Lines:</td><td>3</td><td>4</td><td>75.0 %</td></tr>\n" +
                           example + "\n</table>\n";
  const Rows expected = {{"80", "120", "150"}, {"75", "3", "4"}, {"80", "120", "150"}};
  EXPECT_EQ(read(page), expected);
  std::string crlf;
  for (char c : page) crlf += c == '\n' ? "\r\n" : std::string(1, c);
  EXPECT_EQ(read(crlf), expected);
  EXPECT_EQ(read(example), (Rows{{"80", "120", "150"}}));          // no line feed at the end
  EXPECT_EQ(read(example + "\r\r\n"), Rows{});                      // one CR is the line end, the other stays
}

const PatternCase row_pattern{"gcov_lines_row",
                              &QZGCovCoverageResultElement::my_regex,
                              {example, "<tr><td>Lines:</td><td>7</td><td>7</td><td>100%</td></tr>",
                               "<tr><td>Lines:;</td><td>0</td><td>12</td><td>0 (none) </td><td>x</td></tr>"}};

INSTANTIATE_TEST_SUITE_P(CoverageGcov, PatternDifferential, testing::Values(row_pattern), pattern_case_name);

bool match_row(std::string_view line, std::vector<std::string_view>& groups) {
  Detail::Match match;
  if (!QZGCovCoverageResultElement::match_row(line, 1, match)) return false;
  for (std::size_t i = 1; i < groups.size(); ++i) groups[i] = match[i];
  return true;
}

// The pre-filter in front of the pattern must never reject a row the pattern matches.
INSTANTIATE_TEST_SUITE_P(CoverageGcov, ScannerDifferential,
                         testing::Values(ScannerCase{row_pattern.name, row_pattern.pattern, &match_row,
                                                     row_pattern.seeds, {"GCOV_Coverage"}, ""}),
                         scanner_case_name);

TEST(CoverageGcovConversion, LoadedRowsKeepTheFirstOfAProjectAndHash) {
  TempDir dir;
  write_file(dir.file("index.html"), "<html>\n" + example +
                                         "\n<tr><td>Lines:</td><td>3</td><td>4</td><td>75.0 %</td></tr>\n</html>");
  const RunResult run = run_program(standard_args("GCOV_Coverage", dir.file("index.html"), dir.file("out.sql")));
  ASSERT_EQ(run.exit_status, 0);
  const std::string script = read_file(dir.file("out.sql"));
  const std::string prefix =
      "insert into ut_coverage (platform, project, tool, githash, date, time, C0_percent, C0_tested_lines, "
      "C0_testable_lines, C1_percent, C1_tested_lines, C1_testable_lines, function_name) values ('Pwe3', "
      "'K7Tr52_App_default', 'CTC', 'HASH', '<date>', '<time>', ";
  const std::string expected =
      "BEGIN TRANSACTION;\ncreate table if not exists ut_coverage (platform, project, tool, githash, date, time, C0_percent INTEGER, "
      "C0_tested_lines INTEGER, C0_testable_lines INTEGER, C1_percent INTEGER, C1_tested_lines INTEGER, "
      "C1_testable_lines INTEGER, function_name, UNIQUE (project, githash, function_name) ON CONFLICT IGNORE);\n" +
      prefix + "'80', '120', '150', '', '', '', '');\n" + prefix +
      "'75', '3', '4', '', '', '', '');\nCOMMIT;\n";
  EXPECT_EQ(normalise_date_time(script), expected);
  EXPECT_EQ(normalise_date_time(run.out), "version 0" + expected);

  SqliteDb db;
  ASSERT_EQ(db.exec(script), "");
  EXPECT_EQ(db.rows("select C0_percent, typeof(C0_percent), typeof(C0_tested_lines), typeof(C0_testable_lines), "
                    "C1_percent, typeof(C1_percent), function_name from ut_coverage"),
            (Rows{{"80", "integer", "integer", "integer", "", "text", ""}}));
}

}  // namespace
