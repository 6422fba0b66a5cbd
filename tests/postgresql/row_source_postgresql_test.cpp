// The PostgreSQL row source: the loads create every column as text, so a
// hash that looks like a number is stored, found and compared as its text.

#include <gtest/gtest.h>

#include "detail/row_source.h"
#include "detail/tables.h"
#include "postgresql/server.h"
#include "support/files.h"
#include "support/program.h"
#include "support/stored_runs.h"

namespace {

TEST(PostgresqlRowSource, HashesThatLookLikeNumbersAreTexts) {
  const std::string uri = test_support::fresh_database("numeric_hashes");
  test_support::TempDir dir;
  test_support::write_file(dir.file("run.log"), test_support::gtest_log({{"S.A", "passed"}}));
  for (const std::string hash : {"3333333", "1e3", "03333333"}) {
    std::vector<std::string> args = test_support::standard_args("PassFail_GTest", dir.file("run.log"), dir.file("run.sql"));
    args[6] = "--hash_value=" + hash;
    args.push_back("--database=" + uri);
    ASSERT_EQ(test_support::run_program(args).exit_status, 0);
  }
  const auto source = Detail::open_row_source(uri);
  std::vector<std::string> hashes;
  for (const Detail::stored_run& run : source->runs(Detail::ut_results_table(), "K7Tr52_App_default"))
    hashes.push_back(run.githash);
  EXPECT_EQ(hashes, (std::vector<std::string>{"03333333", "1e3", "3333333"}));
  const auto rows = source->rows(Detail::ut_results_table(), "K7Tr52_App_default", "3333333", "Pwe3");
  ASSERT_EQ(rows.size(), 1U);
  EXPECT_EQ(rows[0][3], "3333333");
}

}  // namespace
