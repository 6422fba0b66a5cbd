#include "detail/sql_script.h"

#include <gtest/gtest.h>

namespace {

TEST(SqlScript, CreateLineThenOneLinePerRow) {
  Detail::SqlScript script("create table if not exists t (a, b);", "insert into t (a, b) values (");
  EXPECT_EQ(script.lines(), std::deque<std::string>{"create table if not exists t (a, b);"});
  script.add_row({"a", "7"});
  script.add_row({"", "say \"hi\""});
  script.add_row({});
  const std::deque<std::string> expected = {
      "create table if not exists t (a, b);",
      "insert into t (a, b) values (\"a\", \"7\");",
      "insert into t (a, b) values (\"\", \"say \"\"hi\"\"\");",
      "insert into t (a, b) values ();",
  };
  EXPECT_EQ(script.lines(), expected);
}

}  // namespace
