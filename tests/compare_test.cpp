// VIViriZovuro-compare end to end: databases the converter filled from
// reports, run by run, compared by the built program.

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/files.h"
#include "support/program.h"
#include "support/sqlite_db.h"
#include "support/stored_runs.h"

namespace {

using test_support::gtest_log;
using test_support::map_listing;
using test_support::read_file;
using test_support::StoredRuns;
using test_support::write_file;
using testing::HasSubstr;

test_support::stored_report tests_report(const std::map<std::string, std::string>& verdicts,
                                         const std::string& platform = "Pwe3") {
  return {"PassFail_GTest", gtest_log(verdicts), platform};
}

// An lcov tracefile: per file its lines, the first `hit` of them executed.
test_support::stored_report coverage_report(const std::vector<std::tuple<std::string, int, int>>& files,
                                            const std::string& tool = "GCOV") {
  std::string tracefile;
  for (const auto& [name, lines, hit] : files) {
    tracefile += "TN:\nSF:" + name + "\n";
    for (int line = 1; line <= lines; ++line)
      tracefile += "DA:" + std::to_string(line) + "," + (line <= hit ? "1" : "0") + "\n";
    tracefile += "LF:" + std::to_string(lines) + "\nLH:" + std::to_string(hit) + "\nend_of_record\n";
  }
  return {"LCOV_Coverage", tracefile, "Pwe3", tool};
}

test_support::stored_report warnings_report(const std::vector<std::string>& lines) {
  std::string log;
  for (const std::string& line : lines) log += line + "\n";
  return {"Warning_GCC", log};
}

std::string gcc_warning(const std::string& file, int line, const std::string& flag) {
  return file + ":" + std::to_string(line) + ":5: warning: something [" + flag + "]";
}

// Four runs of one test suite: S.D fails from the second on, the third is
// the baseline of the fourth.
class TestsHistory : public testing::Test {
 protected:
  void SetUp() override {
    runs.load("aaaaaaa0", "2026-12-01 10:00:00",
              tests_report({{"S.A", "passed"}, {"S.B", "passed"}, {"S.C", "passed"}, {"S.D", "passed"}}));
    runs.load("aaaaaaa1", "2026-12-02 10:00:00",
              tests_report({{"S.A", "passed"}, {"S.B", "passed"}, {"S.C", "passed"}, {"S.D", "FAILED"}}));
    runs.load("aaaaaaa2", "2026-12-03 10:00:00",
              tests_report({{"S.A", "passed"}, {"S.B", "FAILED"}, {"S.C", "passed"}, {"S.D", "FAILED"},
                            {"S.E", "passed"}}));
    runs.load("aaaaaaa3", "2026-12-04 10:00:00",
              tests_report({{"S.A", "FAILED"}, {"S.B", "passed"}, {"S.C", "skipped"}, {"S.D", "FAILED"},
                            {"S.F", "passed"}}));
  }
  StoredRuns runs;
};

TEST_F(TestsHistory, TotalsAndListsAgainstTheNewestOlderRun) {
  EXPECT_EQ(runs.json("aaaaaaa3"),
            R"({"project":"App","current":"aaaaaaa3","runs":[{"platform":"Pwe3","current":"aaaaaaa3",)"
            R"("tests":{"baseline":{"hash":"aaaaaaa2","chosen_by":"history"},)"
            R"("current":{"passed":2,"failed":2,"skipped":1,"total":5},)"
            R"("previous":{"passed":3,"failed":2,"skipped":0,"total":5},)"
            R"("new_failures":["S.A"],"still_failing":[{"name":"S.D","since":"aaaaaaa1"}],"fixed":["S.B"],)"
            R"("added":["S.F"],"removed":["S.E"]}}],"gate":{"passed":true,"rules":[],"broken":[]},)"
            R"("notes":[],"window":{"order":"date","source":"date","depth":null}})"
            "\n");
}

TEST_F(TestsHistory, SummaryOnStandardOutput) {
  const test_support::RunResult result = runs.compare("aaaaaaa3", {"--fail-on=new-failures"});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "Project App, run aaaaaaa3\n"
            "\n"
            "Platform Pwe3\n"
            "  Tests   5 tests ±0   2 passed -1   2 failed ±0   1 skipped +1\n"
            "  New failures (1):\n    S.A\n"
            "  Still failing (1):\n    S.D (failing since aaaaaaa1)\n"
            "  Fixed (1):\n    S.B\n"
            "  Added tests (1):\n    S.F\n"
            "  Removed tests (1):\n    S.E\n"
            "  Baselines: Tests aaaaaaa2 (history)\n"
            "\n"
            "Gate: FAILED\n"
            "  new-failures (Pwe3): 1 new failure: S.A\n");
}

// Each way of choosing the baseline; a listed hash names a stored one when
// one is a prefix of the other and the shorter has 7 characters or more.
TEST_F(TestsHistory, BaselineChoice) {
  write_file(runs.file("ancestors"), "ffffffffffffffff\naaaaaaa1bcdef0123\naaaaaaa0\n");
  write_file(runs.file("short_ancestors"), "aaaaaa\n");
  const struct {
    std::string hash;
    std::vector<std::string> options;
    std::string baseline;
  } cases[] = {
      {"aaaaaaa3", {}, R"({"hash":"aaaaaaa2","chosen_by":"history"})"},
      {"aaaaaaa3", {"--baseline=aaaaaaa0"}, R"({"hash":"aaaaaaa0","chosen_by":"baseline"})"},
      {"aaaaaaa3", {"--ancestors", runs.file("ancestors")}, R"({"hash":"aaaaaaa1","chosen_by":"ancestors"})"},
      {"aaaaaaa3", {"--ancestors=" + runs.file("short_ancestors")}, "null"},  // 6 characters name nothing
      {"aaaaaaa0", {}, "null"},                                                // the first run has none
  };
  for (const auto& test : cases) {
    EXPECT_THAT(runs.json(test.hash, test.options), HasSubstr(R"("tests":{"baseline":)" + test.baseline))
        << test.hash << " " << testing::PrintToString(test.options);
  }
}

TEST_F(TestsHistory, FirstRunBreaksNoRule) {
  const test_support::RunResult result = runs.compare("aaaaaaa1", {"--baseline=aaaaaaa1", "--fail-on=new-failures"});
  EXPECT_EQ(result.exit_status, 0) << result.out;
  EXPECT_THAT(result.out, HasSubstr("Baselines: Tests none"));
}

TEST_F(TestsHistory, ReadOnlyDatabaseStaysUnchanged) {
  chmod(runs.database().c_str(), 0444);
  const std::string before = read_file(runs.database());
  EXPECT_EQ(runs.compare("aaaaaaa3").exit_status, 0);
  EXPECT_EQ(read_file(runs.database()), before);
}

TEST(CompareCoverage, PerToolTotalsDropsAndTheGate) {
  StoredRuns runs;
  runs.load("c1", "2026-12-01 10:00:00", coverage_report({{"a.c", 10, 8}, {"b.c", 10, 10}}));
  runs.load("c2", "2026-12-02 10:00:00", coverage_report({{"a.c", 10, 6}, {"c.c", 4, 4}}));
  EXPECT_THAT(runs.json("c2"),
              HasSubstr(R"("coverage":[{"tool":"GCOV","baseline":{"hash":"c1","chosen_by":"history"},)"
                        R"("current":{"lines_tested":10,"lines_testable":14,"branches_tested":0,"branches_testable":0},)"
                        R"("previous":{"lines_tested":18,"lines_testable":20,"branches_tested":0,"branches_testable":0},)"
                        R"("dropped":[{"name":"a.c","current_percent":60,"previous_percent":80}],)"
                        R"("added":["c.c"],"removed":["b.c"]}])"));
  // 90% -> 71.43%: 18.57 points.
  EXPECT_EQ(runs.compare("c2", {"--fail-on=coverage-drop=18.6"}).exit_status, 0);
  const test_support::RunResult broken = runs.compare("c2", {"--fail-on=coverage-drop=18.5"});
  EXPECT_EQ(broken.exit_status, 1);
  EXPECT_THAT(broken.out, HasSubstr("coverage-drop (Pwe3): GCOV lines 90.0% -> 71.4% (-18.6 points, allowed 18.5)"));
}

TEST(CompareWarnings, DuplicatesOnceMovedLinesMatchedNewAndFixedListed) {
  StoredRuns runs;
  runs.load("w1", "2026-12-01 10:00:00",
            warnings_report({gcc_warning("Src/a.c", 10, "-Wunused"), gcc_warning("Src/a.c", 20, "-Wunused"),
                             gcc_warning("Src/b.h", 5, "-Wshadow"), gcc_warning("Src/b.h", 5, "-Wshadow"),
                             gcc_warning("Src/d.c", 3, "-Wformat")}));
  runs.load("w2", "2026-12-02 10:00:00",
            warnings_report({gcc_warning("Src/a.c", 12, "-Wunused"), gcc_warning("Src/a.c", 22, "-Wunused"),
                             gcc_warning("Src/b.h", 5, "-Wshadow"), gcc_warning("Src/b.h", 5, "-Wshadow"),
                             gcc_warning("Src/a.c", 40, "-Wsign-compare")}));
  EXPECT_THAT(runs.json("w2"),
              HasSubstr(R"("warnings":{"baseline":{"hash":"w1","chosen_by":"history"},)"
                        R"("current":{"warning":4},"previous":{"warning":4},)"
                        R"("new":[{"filename":"Src/a.c","line":40,"type":"warning","error_id":"-Wsign-compare"}],)"
                        R"("fixed":[{"filename":"Src/d.c","line":3,"type":"warning","error_id":"-Wformat"}]})"));
  EXPECT_EQ(runs.compare("w2", {"--fail-on=new-warnings=error"}).exit_status, 0);
  EXPECT_EQ(runs.compare("w2", {"--fail-on=new-warnings"}).exit_status, 1);
}

TEST(CompareMemory, DebugSectionsApartAndGrowthLargestFirst) {
  StoredRuns runs;
  runs.load("m1", "2026-12-01 10:00:00",
            {"Map", map_listing({"08000000+000100 .text main.o", "00000000+000500 .debug_info main.o",
                                 "20000000+000040 .bss main.o"})});
  runs.load("m2", "2026-12-02 10:00:00",
            {"Map", map_listing({"08000000+000180 .text main.o", "08000180+000020 .text -> .text.f drv.o",
                                 "00000000+000900 .debug_info main.o", "20000000+000040 .bss main.o",
                                 "20000000+000040 .bss main.o"})});
  EXPECT_THAT(runs.json("m2"),
              HasSubstr(R"("memory":{"baseline":{"hash":"m1","chosen_by":"history"},"current":480,"previous":320,)"
                        R"("sections":[{"section":".bss","target":true,"current":64,"previous":64},)"
                        R"({"section":".debug_info","target":false,"current":2304,"previous":1280},)"
                        R"({"section":".text","target":true,"current":416,"previous":256}],)"
                        R"("grown":[{"section":".text","filename":"main.o","current":384,"previous":256},)"
                        R"({"section":".text -> .text.f","filename":"drv.o","current":32,"previous":0}]})"));
  EXPECT_EQ(runs.compare("m2", {"--fail-on=size-growth=160"}).exit_status, 0);
  EXPECT_EQ(runs.compare("m2", {"--fail-on=size-growth=159"}).exit_status, 1);
}

TEST(CompareQac, BandCountsThatRose) {
  StoredRuns runs;
  const std::string report = read_file(std::string(VIVIRI_FIXTURES) + "/QAC/basic.input");
  std::string more = report;
  more.insert(more.find("D:\\jenkins\\ws\\Src_QZ\\app\\util.c (9)"),
              "D:\\jenkins\\ws\\Src_QZ\\app\\util.c (7) : error : QAC(Prio9) Msg: 5310(HIS metric.) Ref: \n");
  runs.load("q1", "2026-12-01 10:00:00", {"QAC", report});
  runs.load("q2", "2026-12-02 10:00:00", {"QAC", more});
  EXPECT_THAT(runs.json("q2"),
              HasSubstr(R"("increased":[{"filename":"Pwe3\\Src_QZ\\app\\util.c","band":"his","current":3,"previous":2}])"));
  EXPECT_EQ(runs.compare("q2", {"--fail-on=new-qac"}).exit_status, 1);
  EXPECT_EQ(runs.compare("q1", {"--fail-on=new-qac"}).exit_status, 0);
}

// Coverage runs nightly: a run without it names it "not loaded" against the
// last run that had it, lists nothing as removed and breaks no rule.
TEST(CompareKinds, KindNotLoadedInThisRun) {
  StoredRuns runs;
  runs.load("k1", "2026-12-01 10:00:00", coverage_report({{"a.c", 10, 8}}));
  runs.load("k1", "2026-12-01 10:00:00", tests_report({{"S.A", "passed"}}));
  runs.load("k2", "2026-12-02 10:00:00", tests_report({{"S.A", "passed"}}));
  const test_support::RunResult result = runs.compare("k2", {"--fail-on=coverage-drop"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_THAT(result.out, HasSubstr("Coverage GCOV   not loaded in this run (last in k1: lines 80.0% (8 of 10)   "
                                    "branches n/a (0 of 0))"));
  EXPECT_THAT(runs.json("k2"), HasSubstr(R"("current":null,"previous":{"lines_tested":8,"lines_testable":10,)"));
}

TEST(ComparePlatforms, EachPlatformApart) {
  StoredRuns runs;
  runs.load("p1", "2026-12-01 10:00:00", tests_report({{"S.A", "passed"}}, "Ruxi"));
  runs.load("p1", "2026-12-01 10:00:00", tests_report({{"S.B", "passed"}}, "Pwe3"));
  runs.load("p2", "2026-12-02 10:00:00", tests_report({{"S.A", "FAILED"}}, "Ruxi"));
  runs.load("p2", "2026-12-02 10:00:00", tests_report({{"S.B", "passed"}}, "Pwe3"));
  const std::string both = runs.json("p2");
  EXPECT_THAT(both, HasSubstr(R"("runs":[{"platform":"Pwe3","current":"p2","tests":)"));
  EXPECT_THAT(both, HasSubstr(R"({"platform":"Ruxi","current":"p2","tests":)"));
  EXPECT_THAT(both, HasSubstr(R"("gate":{"passed":true,"rules":[],"broken":[]})"));
  const test_support::RunResult ruxi = runs.compare("p2", {"--platform=Ruxi", "--fail-on=new-failures"});
  EXPECT_EQ(ruxi.exit_status, 1);
  EXPECT_THAT(ruxi.out, testing::Not(HasSubstr("Pwe3")));
}

TEST(CompareMarkdown, LimitCutsListsNeverTheVerdict) {
  StoredRuns runs;
  std::map<std::string, std::string> passing, failing;
  for (int i = 0; i < 400; ++i) {
    const std::string name = "Suite.A_test_with_a_long_name_to_fill_the_summary_" + std::to_string(i);
    passing[name] = "passed";
    failing[name] = "FAILED";
  }
  runs.load("d1", "2026-12-01 10:00:00", tests_report(passing));
  runs.load("d2", "2026-12-02 10:00:00", tests_report(failing));
  const std::string path = runs.file("summary.md");
  EXPECT_EQ(runs.compare("d2", {"--markdown=" + path, "--markdown-limit=4096", "--fail-on=new-failures"}).exit_status,
            1);
  const std::string markdown = read_file(path);
  EXPECT_LE(markdown.size(), 4096u);
  EXPECT_THAT(markdown, HasSubstr("**Gate: failed**"));
  EXPECT_THAT(markdown, HasSubstr("`new-failures` (Pwe3): 400 new failures&#58; "));
  EXPECT_THAT(markdown, HasSubstr("<details><summary>New failures (400)</summary>"));
  EXPECT_THAT(markdown, HasSubstr(" more\n"));
}

TEST(CompareCommandLine, ExitStatuses) {
  StoredRuns runs;
  runs.load("e1", "2026-12-01 10:00:00", tests_report({{"S.A", "passed"}}));
  write_file(runs.file("not.db"), "not a database at all, but long enough to be read as one........\n");
  const struct {
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {{"--help"}, 0, ""},
      {{"--database=" + runs.database(), "--project_name=App", "--hash_value=e1"}, 0, ""},
      {{"--database=" + runs.database(), "--hash_value=e1"}, 2, "VIViriZovuro-compare error: missing --project_name\n"},
      {{"--database=" + runs.database(), "--project_name=App", "--hash_value=e1", "--colour"},
       2, "VIViriZovuro-compare error: unknown option --colour\n"},
      {{"--database=" + runs.database(), "--project_name=App", "--hash_value=e1", "--markdown-limit=4095"},
       2, "VIViriZovuro-compare error: --markdown-limit needs a whole number of bytes of at least 4096, not '4095'\n"},
      {{"--database=" + runs.database(), "--project_name=App", "--hash_value=e1", "--fail-on=coverage-drop=x"},
       2, "VIViriZovuro-compare error: --fail-on: coverage-drop needs a number of points of at least 0, not 'x'\n"},
      {{"--database=" + runs.database(), "--project_name=App", "--hash_value=e2"},
       3, "VIViriZovuro-compare error: No rows for hash e2 of project App\n"},
      {{"--database=" + runs.database(), "--project_name=App", "--hash_value=e1", "--baseline=e0"},
       3, "VIViriZovuro-compare error: No rows for hash e0 of project App\n"},
      {{"--database=" + runs.file("not.db"), "--project_name=App", "--hash_value=e1"},
       3, "VIViriZovuro-compare error: Could not read database: file is not a database\n"},
      {{"--database=" + runs.file("missing.db"), "--project_name=App", "--hash_value=e1"},
       3, "VIViriZovuro-compare error: Could not read database: unable to open database file\n"},
  };
  for (const auto& test : cases) {
    const test_support::RunResult result = test_support::run_compare(test.args);
    EXPECT_EQ(result.exit_status, test.status) << testing::PrintToString(test.args);
    if (test.status == 2) {
      EXPECT_EQ(result.err.substr(0, result.err.find('\n') + 1), test.message);
      EXPECT_THAT(result.err, HasSubstr("Usage: VIViriZovuro-compare"));
    } else {
      EXPECT_EQ(result.err, test.message);
    }
  }
  EXPECT_THAT(test_support::run_compare({"--help"}).out, HasSubstr("Usage: VIViriZovuro-compare"));
}

}  // namespace

namespace {

// The hover titles of the page's chart `caption`, one per run, in order.
std::vector<std::string> chart_titles(const std::string& page, const std::string& caption) {
  std::vector<std::string> titles;
  const std::size_t start = page.find("<figcaption>" + caption + "</figcaption>");
  if (start == std::string::npos) return titles;
  const std::size_t end = page.find("</figure>", start);
  for (std::size_t at = page.find("<title>", start); at < end; at = page.find("<title>", at + 1))
    titles.push_back(page.substr(at + 7, page.find("</title>", at) - at - 7));
  return titles;
}

class PageHistory : public testing::Test {
 protected:
  // Five runs whose hashes do not sort as their dates do; the newest fails one test more each time.
  void SetUp() override {
    const std::vector<std::pair<std::string, std::string>> loaded = {
        {"e000001", "2026-12-01 10:00:00"}, {"b000002", "2026-12-02 09:00:00"}, {"d000003", "2026-12-02 10:00:00"},
        {"a000004", "2026-12-03 10:00:00"}, {"c000005", "2026-12-04 10:00:00"}};
    for (std::size_t run = 0; run < loaded.size(); ++run) {
      std::map<std::string, std::string> verdicts;
      for (std::size_t test = 0; test < 6; ++test)
        verdicts["S.T" + std::to_string(test)] = test < run ? "FAILED" : "passed";
      verdicts["S.<b>&\"q\""] = "skipped";
      runs.load(loaded[run].first, loaded[run].second, tests_report(verdicts));
    }
  }

  std::string page(const std::string& hash, std::vector<std::string> options = {}) {
    options.push_back("--html=" + runs.file("page.html"));
    EXPECT_LE(runs.compare(hash, options).exit_status, 1);
    return read_file(runs.file("page.html"));
  }

  StoredRuns runs;
};

TEST_F(PageHistory, RunsInDateOrderUpToTheCurrentBoundedByHistory) {
  EXPECT_EQ(chart_titles(page("a000004", {"--history=3"}), "Tests per run"),
            (std::vector<std::string>{"b000002 2026-12-02 09:00:00: passed 5, FAILED 1, skipped 1",
                                      "d000003 2026-12-02 10:00:00: passed 4, FAILED 2, skipped 1",
                                      "a000004 2026-12-03 10:00:00: passed 3, FAILED 3, skipped 1"}));
  EXPECT_EQ(chart_titles(page("c000005"), "Tests per run").size(), 5u);  // --history=30 holds them all
  EXPECT_EQ(chart_titles(page("e000001"), "Tests per run"),
            (std::vector<std::string>{"e000001 2026-12-01 10:00:00: passed 6, FAILED 0, skipped 1"}));
}

TEST_F(PageHistory, NumbersOfTheCurrentRunAreTheJsonOnes) {
  const std::string json = runs.json("c000005");
  EXPECT_THAT(json, HasSubstr(R"("current":{"passed":2,"failed":4,"skipped":1,"total":7})"));
  EXPECT_EQ(chart_titles(page("c000005"), "Tests per run").back(),
            "c000005 2026-12-04 10:00:00: passed 2, FAILED 4, skipped 1");
}

TEST_F(PageHistory, NamesAreEscapedAndNothingComesFromElsewhere) {
  runs.load("a000004", "2026-12-03 10:00:00", {"Warning_GCC", "Src/a.c:3:1: warning: w [-Wx]\n"});
  runs.load("c000005", "2026-12-04 10:00:00", {"Warning_GCC", "Src/<a>&\"b\".c:3:1: warning: w [-Wx]\n"});
  const std::string html = page("c000005");
  EXPECT_THAT(html, HasSubstr("Src/&lt;a&gt;&amp;&quot;b&quot;.c:3 warning [-Wx]"));
  EXPECT_EQ(html.find("<a>"), std::string::npos);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  EXPECT_EQ(html.find("http"), std::string::npos);  // no script, style or font from anywhere
  EXPECT_EQ(html.find("<script"), std::string::npos);
}

TEST(ComparePage, EachPlatformItsSectionAndHistoryBounds) {
  StoredRuns runs;
  runs.load("p1", "2026-12-01 10:00:00", tests_report({{"S.A", "passed"}}, "Ruxi"));
  runs.load("p1", "2026-12-01 10:00:00", tests_report({{"S.B", "passed"}}, "Pwe3"));
  const std::string path = runs.file("page.html");
  EXPECT_EQ(runs.compare("p1", {"--html=" + path}).exit_status, 0);
  const std::string html = read_file(path);
  EXPECT_LT(html.find("<h2>Platform Pwe3</h2>"), html.find("<h2>Platform Ruxi</h2>"));
  EXPECT_EQ(runs.compare("p1", {"--html=" + path, "--history=0"}).exit_status, 2);
  EXPECT_EQ(runs.compare("p1", {"--html=" + path, "--history=1001"}).exit_status, 2);
  EXPECT_EQ(runs.compare("p1", {"--html=" + path, "--history=1000"}).exit_status, 0);
}

}  // namespace

namespace {

// The run index the comparison finds a run with: made with a new table, and
// for a table an earlier version made without it.
TEST(CompareIndexes, LoadsCreateTheRunIndex) {
  test_support::TempDir dir;
  test_support::SqliteDb earlier(dir.file("results.db"));
  ASSERT_EQ(earlier.exec("create table if not exists compiler_map (platform, project, githash, date, time, originhex, "
                         "origindec INT, sizehex, sizedec INT, section, filename);"),
            "");
  write_file(dir.file("tests.log"), gtest_log({{"S.A", "passed"}}));
  write_file(dir.file("map.txt"), map_listing({"08000000+000100 .text main.o"}));
  for (const auto& [parser_type, input] : {std::pair{"PassFail_GTest", "tests.log"}, std::pair{"Map", "map.txt"}}) {
    std::vector<std::string> args = test_support::standard_args(parser_type, dir.file(input), dir.file("out.sql"));
    args.push_back("--database=" + dir.file("results.db"));
    ASSERT_EQ(test_support::run_program(args).exit_status, 0);
  }
  EXPECT_EQ(earlier.rows("select name, tbl_name from sqlite_master where type = 'index' and name like '%_runs' "
                         "order by name"),
            (std::vector<std::vector<std::string>>{{"compiler_map_runs", "compiler_map"},
                                                   {"ut_results_runs", "ut_results"}}));
}

}  // namespace
