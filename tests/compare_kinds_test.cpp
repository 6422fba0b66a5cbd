// Each kind of the comparison on plain rows, the gate's rules on the
// comparisons they judge, and the history's aggregating statements against
// the same figures counted in C++.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "compare/compare.h"
#include "compare/format.h"
#include "compare/trends.h"
#include "detail/tables.h"
#include "kinds/memory_figures.h"
#include "kinds/qac_figures.h"
#include "support/files.h"
#include "support/sqlite_db.h"

namespace {

using Compare::compare_options;
using Detail::sql_table;
using Detail::stored_row;
using testing::ElementsAre;
using testing::Pair;
using Values = std::map<std::string_view, std::string>;

// A row of `table` holding `values`, every other column empty.
stored_row row_of(const sql_table& table, const Values& values) {
  stored_row row(table.columns.size());
  for (const auto& [column, value] : values) row[Kinds::column_of(table, column)] = value;
  return row;
}

Kinds::rows tests_rows(const std::vector<std::pair<std::string, std::string>>& verdicts) {
  Kinds::rows rows;
  for (const auto& [name, result] : verdicts) rows.push_back(row_of(Detail::ut_results_table(), {{"name", name}, {"result", result}}));
  return rows;
}

Kinds::rows warning_rows(const std::vector<std::tuple<std::string, std::string, std::string>>& warnings) {
  Kinds::rows rows;
  for (const auto& [file, line, type] : warnings)
    rows.push_back(row_of(Detail::compiler_results_table(),
                          {{"filename", file}, {"line", line}, {"type", type}, {"error_id", "-Wx"}}));
  return rows;
}

// The baseline's rows, a temporary that lives to the end of the statement.
const Kinds::rows* baseline(const Kinds::rows& rows) { return &rows; }

std::vector<std::string> places(const std::vector<Kinds::warning>& warnings) {
  std::vector<std::string> found;
  for (const Kinds::warning& w : warnings) found.push_back(w.filename + ":" + (w.line ? std::to_string(*w.line) : "-"));
  return found;
}

TEST(CompareKindsOnRows, Tests) {
  const auto found = Compare::compare_tests(
      tests_rows({{"a", "FAILED"}, {"b", "FAILED"}, {"c", "passed"}, {"d", "skipped"}, {"c", "FAILED"}}),
      baseline(tests_rows({{"a", "passed"}, {"b", "FAILED"}, {"c", "FAILED"}, {"e", "passed"}})));
  EXPECT_EQ(found.current->total, 4);  // a name listed twice counts once, its first row kept
  EXPECT_EQ(found.current->failed, 2);
  EXPECT_EQ(found.previous->passed, 2);
  EXPECT_THAT(found.new_failures, ElementsAre("a"));
  ASSERT_EQ(found.still_failing.size(), 1u);
  EXPECT_EQ(found.still_failing[0].name, "b");
  EXPECT_THAT(found.fixed, ElementsAre("c"));
  EXPECT_THAT(found.added, ElementsAre("d"));
  EXPECT_THAT(found.removed, ElementsAre("e"));
}

TEST(CompareKindsOnRows, CoverageTotalsAreTheModuleStatisticsWhereWritten) {
  const sql_table& table = Detail::ut_coverage_table();
  const auto file = [&](std::string name, std::string tested, std::string testable) {
    return row_of(table, {{"function_name", name}, {"C0_tested_lines", tested}, {"C0_testable_lines", testable}});
  };
  const Kinds::rows before = {file("a.c", "8", "10"), file("gone.c", "1", "1")};
  const Kinds::rows now = {file("a.c", "7", "10"), file("new.c", "", "3"), file("*module_statistics", "9", "20")};
  const auto found = Compare::compare_coverage(now, &before);
  EXPECT_EQ(found.current->lines_tested, 9);
  EXPECT_EQ(found.current->lines_testable, 20);
  EXPECT_EQ(found.previous->lines_tested, 9);  // summed where no statistics row was written
  EXPECT_EQ(found.previous->lines_testable, 11);
  ASSERT_EQ(found.dropped.size(), 1u);
  EXPECT_EQ(found.dropped[0].name, "a.c");
  EXPECT_DOUBLE_EQ(found.dropped[0].previous_percent, 80.0);
  EXPECT_THAT(found.added, ElementsAre("new.c"));
  EXPECT_THAT(found.removed, ElementsAre("gone.c"));
}

TEST(CompareKindsOnRows, WarningsPrintedTwiceCountOnceAndUnmatchedAreNewOrFixed) {
  const auto found = Compare::compare_warnings(
      warning_rows({{"a.c", "12", "warning"}, {"a.c", "12", "warning"}, {"a.c", "40", "style"}, {"b.c", "", "error"}}),
      baseline(warning_rows({{"a.c", "10", "warning"}, {"c.c", "5", "warning"}})));
  EXPECT_THAT(*found.current, ElementsAre(Pair("error", 1), Pair("style", 1), Pair("warning", 1)));
  EXPECT_THAT(places(found.added), ElementsAre("a.c:40", "b.c:-"));  // a.c:10 moved to 12
  EXPECT_THAT(places(found.fixed), ElementsAre("c.c:5"));
}

TEST(CompareKindsOnRows, WarningsThatMovedAreMatchedAsADiffAlignsLines) {
  const auto at = [](const std::vector<int>& lines) {
    std::vector<std::tuple<std::string, std::string, std::string>> warnings;
    for (int line : lines) warnings.emplace_back("src/a.c", std::to_string(line), "style");
    return warning_rows(warnings);
  };
  const struct {
    std::vector<int> before, now;
    std::vector<std::string> added, fixed;
  } cases[] = {
      {{1593}, {127, 1594}, {"src/a.c:127"}, {}},
      {{1526, 1537}, {1511, 1537, 1548}, {"src/a.c:1511"}, {}},
      {{10, 20}, {12, 20, 30}, {"src/a.c:30"}, {}},
      {{12, 20, 30}, {10, 20}, {}, {"src/a.c:30"}},
  };
  for (const auto& c : cases) {
    const auto found = Compare::compare_warnings(at(c.now), baseline(at(c.before)));
    EXPECT_EQ(places(found.added), c.added);
    EXPECT_EQ(places(found.fixed), c.fixed);
  }
}

TEST(CompareKindsOnRows, QacBandsThatRosePerFile) {
  const sql_table& table = Detail::q_results_table();
  const auto file = [&](std::string name, std::string misra_2, std::string his) {
    return row_of(table, {{"filename", name}, {"misra_2", misra_2}, {"his", his}});
  };
  const auto found = Compare::compare_qac({file("a.c", "3", "1"), file("a.c", "1", ""), file("b.c", "1", "0")},
                                          baseline({file("a.c", "3", "2")}));
  EXPECT_EQ((*found.current)[2], 5);
  EXPECT_EQ((*found.current)[10], 1);
  ASSERT_EQ(found.increased.size(), 2u);
  EXPECT_EQ(found.increased[0].filename + " " + found.increased[0].band, "a.c misra_2");
  EXPECT_EQ(found.increased[1].filename + " " + found.increased[1].band, "b.c misra_2");
}

TEST(CompareKindsOnRows, MemoryRowsLoadedTwiceOnceDebugApartLargestGrowthFirst) {
  const sql_table& table = Detail::compiler_map_table();
  const auto piece = [&](std::string section, std::string file, std::string size, std::string time = "1") {
    return row_of(table, {{"section", section}, {"filename", file}, {"sizedec", size}, {"time", time}});
  };
  const auto found = Compare::compare_memory(
      {piece(".text -> .text.f", "a.o", "100"), piece(".text -> .text.f", "a.o", "100", "2"),
       piece(".text -> .text.g", "b.o", "50"), piece(".debug_info", "a.o", "900")},
      baseline({piece(".text -> .text.f", "a.o", "90"), piece(".text -> .text.g", "b.o", "10")}));
  EXPECT_EQ(*found.current, 150u);
  EXPECT_EQ(*found.previous, 100u);
  ASSERT_EQ(found.grown.size(), 2u);
  EXPECT_EQ(found.grown[0].section, ".text -> .text.g");
  ASSERT_EQ(found.sections.size(), 2u);
  EXPECT_EQ(found.sections[0].section, ".debug_info");
  EXPECT_FALSE(found.sections[0].target);
}

TEST(CompareKindsOnRows, MemoryGroupsAreOutputSections) {
  const std::pair<const char*, const char*> cases[] = {
      {".text.print_value", ".text"}, {".text -> .text.f", ".text"}, {".rodata.str1.1", ".rodata"},
      {".data.rel.ro", ".data"},      {".bss.buffer", ".bss"},        {"COMMON", ".bss"},
      {".tbss.x", ".tbss"},           {".textual", ".textual"},       {"i.main", "i.main"},
      {".debug_info", ".debug_info"}};
  for (const auto& [section, group] : cases) EXPECT_EQ(Kinds::section_group(section), group) << section;
}

TEST(CompareFormat, PercentsShowThatTheyChanged) {
  const struct {
    double before, now;
    std::string change, points;
  } cases[] = {
      {88.2353, 88.2051, "88.24% -> 88.21%", "-0.03 points"},
      {96.0, 95.0, "96.0% -> 95.0%", "-1.0 points"},
      {50.0, 50.0, "50.0% -> 50.0%", "±0.0 points"},
      {10.00001, 10.00002, "10.0% -> 10.0% (changed by less than 0.0001 points)", "changed by less than 0.0001 points"},
      {0.04, 0.05, "0.0% -> 0.1%", "+0.01 points"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Compare::percent_change(c.before, c.now), c.change);
    EXPECT_EQ(Compare::points_change(c.before, c.now), c.points);
  }
}

std::vector<Compare::gate_rule> rules_of(const std::string& fail_on) {
  std::string problem;
  const auto options =
      Compare::parse_compare_options({"--database=d", "--project_name=P", "--hash_value=h", "--fail-on=" + fail_on},
                                     problem);
  EXPECT_TRUE(options) << problem;
  return options ? options->rules : std::vector<Compare::gate_rule>{};
}

TEST(CompareGate, EachRuleJudgesItsKind) {
  Compare::platform_comparison run{"Pwe3", {}, {}, {}, {}, {}};
  const Compare::baseline base{"b", Compare::chosen_by::history};
  run.tests = Compare::compare_tests(tests_rows({{"a", "FAILED"}}), baseline(tests_rows({{"a", "passed"}})));
  run.tests->base = base;
  run.warnings = Compare::compare_warnings(warning_rows({{"a.c", "1", "error"}, {"a.c", "9", "style"}}),
                                           baseline(warning_rows({})));
  run.warnings->base = base;
  run.coverage.push_back({"GCOV", base, Compare::coverage_totals{95, 100, 0, 0}, Compare::coverage_totals{96, 100, 0, 0},
                          {}, {}, {}});
  run.memory = Compare::memory_comparison{base, 1100, 1000, {}, {}};
  const struct {
    std::string fail_on;
    std::vector<std::string> details;
  } cases[] = {
      {"new-failures", {"new-failures: 1 new failure: a"}},
      {"new-warnings", {"new-warnings: 2 new warnings"}},
      {"new-warnings=error", {"new-warnings: 1 new warning of type error"}},
      {"new-warnings=note", {}},
      {"coverage-drop", {"coverage-drop: GCOV lines 96.0% -> 95.0% (-1.0 points, allowed 0.0)"}},
      {"coverage-drop=1", {}},
      {"size-growth=99", {"size-growth: memory 1,000 -> 1,100 bytes (+100, allowed 99)"}},
      {"size-growth=100", {}},
      {"new-qac", {}},  // no QAC rows: nothing to judge
  };
  for (const auto& c : cases) {
    Compare::comparison found;
    found.runs = {run};
    Compare::apply_gate(found, rules_of(c.fail_on));
    std::vector<std::string> details;
    for (const Compare::broken_rule& rule : found.broken) details.push_back(rule.rule + ": " + rule.detail);
    EXPECT_EQ(details, c.details) << c.fail_on;
  }
}

TEST(CompareOptions, EveryOptionAndRuleOfTheTablesIsInTheUsage) {
  const std::string usage = Compare::compare_usage();
  for (const std::string& option : Compare::compare_option_names()) {
    if (option != "--help") {
      EXPECT_THAT(usage, testing::HasSubstr(option));
    }
  }
  for (const Compare::rule_definition& rule : Compare::gate_rules())
    EXPECT_THAT(usage, testing::HasSubstr(Compare::rule_syntax(rule)));
}

// The page's figures come from aggregating statements, the comparison's from
// the rows: both must count alike.
TEST(CompareTrends, StatementsCountAsTheKindsDo) {
  test_support::TempDir dir;
  const std::string path = dir.file("history.db");
  const auto insert = [&](const sql_table& table, const Kinds::rows& rows, const std::string& hash) {
    std::string script = table.create_statement() + "\n";
    for (stored_row row : rows) {
      row[Kinds::column_of(table, "platform")] = "Pwe3";
      row[Kinds::column_of(table, "project")] = "P";
      row[Kinds::column_of(table, "githash")] = hash;
      row[Kinds::column_of(table, "date")] = "2026-12-0" + hash.substr(1);
      script += "insert into " + std::string(table.name) + " values (";
      for (std::size_t i = 0; i < row.size(); ++i) script += (i ? ", '" : "'") + row[i] + "'";
      script += ");\n";
    }
    return script;
  };
  const sql_table& coverage = Detail::ut_coverage_table();
  const sql_table& map = Detail::compiler_map_table();
  const std::map<std::string, std::map<const sql_table*, Kinds::rows>> runs = {
      {"h1",
       {{&Detail::ut_results_table(), tests_rows({{"a", "passed"}, {"b", "FAILED"}, {"c", "skipped"}, {"d", "other"}})},
        {&coverage,
         {row_of(coverage, {{"tool", "T"}, {"function_name", "a.c"}, {"C0_tested_lines", "3"}, {"C0_testable_lines", "4"}}),
          row_of(coverage, {{"tool", "T"}, {"function_name", "b.c"}, {"C0_tested_lines", ""}, {"C1_testable_lines", "2"}})}},
        {&Detail::compiler_results_table(), warning_rows({{"a.c", "1", "warning"}, {"a.c", "1", "warning"}, {"a.c", "", "note"}})},
        {&map,
         {row_of(map, {{"section", ".text -> .text.f"}, {"filename", "a.o"}, {"sizedec", "5000000000"}}),
          row_of(map, {{"section", ".text -> .text.f"}, {"filename", "a.o"}, {"sizedec", "5000000000"}, {"time", "2"}}),
          row_of(map, {{"section", ".comment"}, {"filename", "a.o"}, {"sizedec", "7"}})}}}},
      {"h2",
       {{&coverage,
         {row_of(coverage, {{"tool", "T"}, {"function_name", "a.c"}, {"C0_tested_lines", "1"}, {"C0_testable_lines", "4"}}),
          row_of(coverage, {{"tool", "T"}, {"function_name", "*module_statistics"}, {"C0_tested_lines", "5"},
                            {"C0_testable_lines", "9"}, {"C1_tested_lines", "1"}, {"C1_testable_lines", "2"}})}},
        {&Detail::q_results_table(),
         {row_of(Detail::q_results_table(), {{"filename", "a.c"}, {"misra_0", "2"}, {"misra_9", "3"}, {"his", "4"}}),
          row_of(Detail::q_results_table(), {{"filename", "b.c"}, {"misra_0", ""}, {"his", "1"}})}}}},
  };
  std::string script;
  for (const auto& [hash, tables] : runs) {
    for (const auto& [table, rows] : tables) script += insert(*table, rows, hash);
  }
  {
    test_support::SqliteDb db(path);
    ASSERT_EQ(db.exec(script), "");
  }
  const auto source = Detail::open_row_source(path);
  const Compare::History history(*source, "P");
  const std::vector<Compare::run_figures> figures = Compare::read_trends(*source, history, {}, Compare::PathMap({}, nullptr, ""), "P", "Pwe3", "h2", 10);
  ASSERT_EQ(figures.size(), 2u);
  for (const Compare::run_figures& run : figures) {
    const auto& rows = runs.at(run.githash);
    const auto of = [&](const sql_table& table) -> const Kinds::rows* {
      const auto at = rows.find(&table);
      return at == rows.end() ? nullptr : &at->second;
    };
    SCOPED_TRACE(run.githash);
    if (const Kinds::rows* tests = of(Detail::ut_results_table())) {
      const Kinds::test_totals expected = Kinds::count_tests(*tests);
      ASSERT_TRUE(run.tests);
      EXPECT_EQ(std::tie(run.tests->passed, run.tests->failed, run.tests->skipped, run.tests->total),
                std::tie(expected.passed, expected.failed, expected.skipped, expected.total));
    }
    if (const Kinds::rows* covered = of(coverage)) {
      const Kinds::coverage_totals expected = Kinds::count_coverage(*covered);
      const Kinds::coverage_totals& read = run.coverage.at("T");
      EXPECT_EQ(std::tie(read.lines_tested, read.lines_testable, read.branches_tested, read.branches_testable),
                std::tie(expected.lines_tested, expected.lines_testable, expected.branches_tested,
                         expected.branches_testable));
    }
    if (const Kinds::rows* warnings = of(Detail::compiler_results_table())) {
      EXPECT_EQ(run.warnings, Kinds::count_warnings(*warnings));
    }
    if (const Kinds::rows* qac = of(Detail::q_results_table())) {
      const Kinds::band_counts bands = Kinds::count_qac(*qac);
      std::int64_t misra = 0;
      for (std::size_t band = 0; band + 1 < Kinds::band_count; ++band) misra += bands[band];
      EXPECT_EQ(run.qac, std::pair(misra, bands[Kinds::band_count - 1]));
    }
    if (const Kinds::rows* memory = of(map)) {
      std::map<std::string, std::uint64_t> groups;
      EXPECT_EQ(run.memory, Kinds::count_memory(*memory, &groups));
      EXPECT_EQ(run.memory_groups, groups);
    }
  }
}

}  // namespace
