#include "detail/sql_script.h"

#include <gtest/gtest.h>

#include "support/sqlite_db.h"

namespace {

TEST(SqlScript, CreateLineThenOneLinePerRow) {
  Detail::SqlScript script("create table if not exists t (a, b);", "insert into t (a, b) values (");
  EXPECT_EQ(script.lines(), std::deque<std::string>{"create table if not exists t (a, b);"});
  script.add_row({"a", "7"});
  script.add_row({"", "say \"hi\""});
  script.add_row({"it's", "''"});
  script.add_row({});
  const std::deque<std::string> expected = {
      "create table if not exists t (a, b);",
      "insert into t (a, b) values ('a', '7');",
      "insert into t (a, b) values ('', 'say \"hi\"');",
      "insert into t (a, b) values ('it''s', '''''');",
      "insert into t (a, b) values ();",
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
