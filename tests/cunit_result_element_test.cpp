#include "results/cunit_result_element.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/files.h"
#include "support/pattern_differential.h"
#include "support/program.h"
#include "support/sqlite_db.h"

using namespace test_support;
using Results = std::vector<QZCUnitResultElement::result>;

namespace {

Results read(const std::string& log) {
  std::istringstream in(log);
  Results results{{"stale", "passed"}};
  QZCUnitResultElement::GetQZCUnitResultElements(in, results);
  return results;
}

TEST(CunitVerdictLine, ExampleTable) {
  const struct {
    std::string line;
    Results expected;
  } cases[] = {
      {"  Test: test_a ...passed", {{"test_a", "passed"}}},
      {"    Test: test_suite_1 ...FAILED", {{"test_suite_1", "FAILED"}}},
      {"  Test: t1 (abc) ...failed", {{"t1", "failed"}}},
      {"  Test: my test ...passed", {{"my", "passed"}}},  // the name is the first word
      {"\tTest: tab_first ...PASSED", {{"tab_first", "PASSED"}}},
      {"Test: x ...passed", {}},                          // white space must come first
      {"  Test: test_a ... passed", {}},                  // punctuation must touch the verdict
      {"  Test: test_a ...passed later", {}},             // the verdict ends the line
      {"  Test: test_a ...Passed", {}},                   // mixed case is no verdict
      {"  Test:test_a ...passed", {}},                    // white space after the colon
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.line + "\n"), c.expected) << c.line;
}

TEST(CunitReader, LineEndsAndOrder) {
  const Results two = {{"a", "passed"}, {"b", "failed"}};
  EXPECT_EQ(read("  Test: a ...passed\n  Test: b ...failed\n"), two);
  EXPECT_EQ(read("  Test: a ...passed\r\n  Test: b ...failed\r\n"), two);  // written on Windows
  EXPECT_EQ(read("  Test: a ...passed\n  Test: b ...failed"), two);        // no line feed at the end
  EXPECT_EQ(read("  Test: a ...passed\r\n  Test: b ...failed"), two);
  EXPECT_EQ(read("  Test: a ...passed\n  Test: a ...failed\n"), (Results{{"a", "passed"}, {"a", "failed"}}));
  EXPECT_EQ(read(""), Results{});
  EXPECT_EQ(read("  Test: a ...passed\r\r\n"), Results{});  // only one carriage return belongs to the line end
}

const PatternCase verdict_pattern{"cunit_verdict_line",
                                  &QZCUnitResultElement::my_regex,
                                  {"  Test: test_a ...passed", "    Test: test_suite_1 ...FAILED",
                                   "  Test: t1 (abc) ...failed", "  Test: my test ...passed",
                                   "\t Test:: x_1 () \t!!PASSED", "\v\fTest_-  _x_ () \r\n_;failed"}};

INSTANTIATE_TEST_SUITE_P(Cunit, PatternDifferential, testing::Values(verdict_pattern), pattern_case_name);

bool scan_verdict_line(std::string_view line, std::vector<std::string_view>& groups) {
  return QZCUnitResultElement::scan_verdict_line(line, groups[1], groups[2]);
}

INSTANTIATE_TEST_SUITE_P(Cunit, ScannerDifferential,
                         testing::Values(ScannerCase{verdict_pattern.name, verdict_pattern.pattern, &scan_verdict_line,
                                                     verdict_pattern.seeds, {"PassFail"}, ""}),
                         scanner_case_name);

struct ConvertedLog {
  RunResult run;
  std::string script;
};

ConvertedLog convert(const std::string& log) {
  TempDir dir;
  write_file(dir.file("in.log"), log);
  ConvertedLog converted;
  converted.run = run_program(standard_args("PassFail", dir.file("in.log"), dir.file("out.sql")));
  converted.script = read_file(dir.file("out.sql"));
  return converted;
}

std::vector<std::vector<std::string>> loaded_rows(const std::string& script) {
  SqliteDb db;
  EXPECT_EQ(db.exec(script), "");
  return db.rows("select platform, project, tool, githash, type, name, result from ut_results order by rowid");
}

TEST(CunitConversion, DatabaseKeepsTheFirstVerdictOfATest) {
  const ConvertedLog converted = convert("  Test: t_x ...FAILED\n  Test: t_y ...passed\n  Test: t_x ...passed\n");
  ASSERT_EQ(converted.run.exit_status, 0);
  const std::vector<std::vector<std::string>> expected = {
      {"Pwe3", "K7Tr52_App_default", "CTC", "HASH", "Unit", "t_x", "FAILED"},
      {"Pwe3", "K7Tr52_App_default", "CTC", "HASH", "Unit", "t_y", "passed"}};
  EXPECT_EQ(loaded_rows(converted.script), expected);
}

TEST(CunitConversion, WindowsAndUnterminatedLogsGiveTheSameRows) {
  const std::string clean = convert("  Test: a ...passed\n  Test: b ...FAILED\n").script;
  EXPECT_EQ(normalise_date_time(convert("  Test: a ...passed\r\n  Test: b ...FAILED\r\n").script),
            normalise_date_time(clean));
  EXPECT_EQ(normalise_date_time(convert("  Test: a ...passed\n  Test: b ...FAILED").script),
            normalise_date_time(clean));
  EXPECT_EQ(loaded_rows(clean).size(), 2u);
}

TEST(CunitConversion, QuotesAndStatementsInOptionsLoadIntact) {
  TempDir dir;
  write_file(dir.file("in.log"), "  Test: a ...passed\n");
  const std::string hostile = "it's \"hi\" a\\b, ');drop table ut_results;--\nnext line";
  std::vector<std::string> args = standard_args("PassFail", dir.file("in.log"), dir.file("out.sql"));
  args.push_back("--platform=later arguments lose");
  args.insert(args.begin(), "--platform=" + hostile);  // the first one wins
  args.insert(args.begin(), "--hash_value=" + hostile);
  ASSERT_EQ(run_program(args).exit_status, 0);
  SqliteDb db;
  ASSERT_EQ(db.exec(read_file(dir.file("out.sql"))), "");
  EXPECT_EQ(db.rows("select platform, githash, name from ut_results"),
            (std::vector<std::vector<std::string>>{{hostile, hostile, "a"}}));
}

}  // namespace
