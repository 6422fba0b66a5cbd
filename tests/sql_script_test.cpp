#include "detail/sql_script.h"

#include <gtest/gtest.h>

#include "support/sqlite_db.h"

namespace {

TEST(SqlScript, OneTransactionOfCreateLineAndOneLinePerRow) {
  const Detail::sql_table table{"t", {{"run"}, {"a"}, {"b", "INTEGER"}}, 1, {"run", "a"}};
  const std::string_view run_values[] = {"r'1"};
  Detail::SqlScript script;
  script.begin_table(table, run_values);
  script.add_row({"a", "7"});
  script.add_row({"", "say \"hi\""});
  script.add_row({"it's", "''"});
  EXPECT_EQ(script.finish(), "");
  const std::deque<std::string> expected = {
      "BEGIN TRANSACTION;",
      "create table if not exists t (run, a, b INTEGER, UNIQUE (run, a) ON CONFLICT IGNORE);",
      "insert into t (run, a, b) values ('r''1', 'a', '7');",
      "insert into t (run, a, b) values ('r''1', '', 'say \"hi\"');",
      "insert into t (run, a, b) values ('r''1', 'it''s', '''''');",
      "COMMIT;",
  };
  EXPECT_EQ(script.lines(), expected);
}

// Every database the tests open is as strict as SQLite builds without the
// double-quoted-string quirk, so a double-quoted value can never pass again.
TEST(SqlScript, TestDatabasesRejectDoubleQuotedValues) {
  test_support::SqliteDb db;
  EXPECT_EQ(db.exec("create table t (a); insert into t (a) values ('x');"), "");
  EXPECT_NE(db.exec("insert into t (a) values (\"x\");"), "");
}

}  // namespace
