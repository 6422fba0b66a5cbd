// VIViriZovuro-compare on a PostgreSQL server: the same rows as in a SQLite
// file give the same comparison.

#include <gtest/gtest.h>

#include "postgresql/server.h"
#include "support/files.h"
#include "support/program.h"
#include "support/stored_runs.h"

using namespace test_support;

namespace {

struct run {
  std::string hash;
  std::string date;
  std::string time;
  std::string table;
  stored_report report;
};

// The converter loads the report with --database; the run's date and time
// are then set as StoredRuns sets them in its SQLite file.
void load_into_postgresql(const std::string& uri, const run& loaded) {
  TempDir dir;
  write_file(dir.file("report"), loaded.report.input);
  const RunResult converted = run_program(
      {"--input=" + dir.file("report"), "--output=" + dir.file("report.sql"), "--platform=" + loaded.report.platform,
       "--test_type=Unit", "--project_name=App", "--tool_name=" + loaded.report.tool, "--hash_value=" + loaded.hash,
       "--parser_type=" + loaded.report.parser_type, "--database=" + uri});
  ASSERT_EQ(converted.exit_status, 0) << converted.out;
  ASSERT_EQ(PgConnection(uri).exec("update " + loaded.table + " set date = '" + loaded.date + "', time = '" +
                                   loaded.time + "' where githash = '" + loaded.hash + "'"),
            "");
}

TEST(ComparePostgresql, SameJsonAsSqliteForTheSameRows) {
  const std::string uri = fresh_database("compare");
  StoredRuns sqlite;
  const std::vector<run> runs = {
      {"h1", "2026-12-01", "10:00:00", "ut_results",
       {"PassFail_GTest", gtest_log({{"S.A", "passed"}, {"S.B", "FAILED"}, {"S.C", "passed"}})}},
      {"h1", "2026-12-01", "10:00:00", "ut_coverage",
       {"LCOV_Coverage", "SF:a.c\nDA:1,1\nDA:2,0\nBRDA:1,0,0,1\nBRDA:1,0,1,0\nend_of_record\n"}},
      {"h1", "2026-12-01", "10:00:00", "compiler_map", {"Map", map_listing({"08000000+000100 .text main.o"})}},
      {"h1", "2026-12-01", "10:00:00", "compiler_results",
       {"Warning_GCC", "Src/a.c:3:1: warning: w [-Wx]\nSrc/a.c:9:1: error: e\n"}},
      {"h2", "2026-12-02", "10:00:00", "ut_results",
       {"PassFail_GTest", gtest_log({{"S.A", "FAILED"}, {"S.B", "FAILED"}, {"S.D", "skipped"}})}},
      {"h2", "2026-12-02", "10:00:00", "ut_coverage",
       {"LCOV_Coverage", "SF:a.c\nDA:1,0\nDA:2,0\nBRDA:1,0,0,1\nBRDA:1,0,1,1\nend_of_record\n"}},
      {"h2", "2026-12-02", "10:00:00", "compiler_map",
       {"Map", map_listing({"08000000+000180 .text main.o", "00000000+000010 .comment main.o"})}},
      {"h2", "2026-12-02", "10:00:00", "compiler_results",
       {"Warning_GCC", "Src/a.c:4:1: warning: w [-Wx]\nSrc/b.c:1:1: warning: v [-Wy]\n"}},
  };
  for (const run& loaded : runs) {
    sqlite.load(loaded.hash, loaded.date + " " + loaded.time, loaded.report);
    load_into_postgresql(uri, loaded);
  }
  TempDir dir;
  const std::vector<std::string> options = {"--project_name=App", "--hash_value=h2",
                                            "--fail-on=new-failures,coverage-drop,size-growth,new-warnings"};
  std::vector<std::string> from_postgresql = options;
  from_postgresql.push_back("--database=" + uri);
  from_postgresql.push_back("--json=" + dir.file("postgresql.json"));
  const RunResult result = run_compare(from_postgresql);
  EXPECT_EQ(result.exit_status, 1) << result.err;
  const std::string expected = sqlite.json("h2", {"--fail-on=new-failures,coverage-drop,size-growth,new-warnings"});
  EXPECT_NE(expected.find(R"("new_failures":["S.A"])"), std::string::npos) << expected;
  EXPECT_EQ(read_file(dir.file("postgresql.json")), expected);
}

TEST(ComparePostgresql, ServerThatRefusesIsExitStatus3WithoutThePassword) {
  const RunResult result = run_compare({"--database=" + database_uri("compare", "nobody", "s3cret"),
                                        "--project_name=App", "--hash_value=h2"});
  EXPECT_EQ(result.exit_status, 3);
  EXPECT_EQ(result.err.rfind("VIViriZovuro-compare error: Could not read database: ", 0), 0u) << result.err;
  EXPECT_EQ(result.err.find("s3cret"), std::string::npos) << result.err;
}

}  // namespace
