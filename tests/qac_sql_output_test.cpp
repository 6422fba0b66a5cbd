#include <gtest/gtest.h>

#include "detail/tables.h"
#include "qac/qac_result_element.h"
#include "support/files.h"
#include "support/program.h"
#include "support/sqlite_db.h"

using namespace test_support;
using Records = std::deque<QZQacResultElement>;
using Rows = std::vector<std::vector<std::string>>;

namespace {

QZQacResultElement message(std::uint32_t priority, std::uint32_t number, std::string_view file = "Src_QZ\\a.c") {
  QZQacResultElement r;
  r.file_name = file;
  r.priority = priority;
  r.message_number = number;
  return r;
}

TEST(QacSqlCounts, HisRangeAndPriorities) {
  const struct {
    Records records;
    std::array<std::string, 11> expected;  // priorities 0 to 9, then HIS
  } cases[] = {
      {{message(3, 5299)}, {{"0", "0", "0", "1", "0", "0", "0", "0", "0", "0", "0"}}},
      {{message(3, 5300)}, {{"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "1"}}},
      {{message(3, 5399)}, {{"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "1"}}},
      {{message(3, 5400)}, {{"0", "0", "0", "1", "0", "0", "0", "0", "0", "0", "0"}}},
      {{message(0, 5350), message(9, 5301)}, {{"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "2"}}},  // only HIS
      {{message(0, 1), message(9, 2), message(9, 3), message(5, 4)},
       {{"1", "0", "0", "0", "0", "1", "0", "0", "0", "2", "0"}}},
      {{}, {{"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"}}},
  };
  for (const auto& c : cases) {
    const auto counts = QZQacResultElement::statistics_sql::of(c.records);
    EXPECT_EQ(counts.values(), c.expected);
    EXPECT_EQ(counts.message_count, c.records.size());
  }
}

const std::string insert_prefix =
    "insert into q_results (platform, project, tool, githash, date, time, filename, misra_0, misra_1, misra_2, "
    "misra_3, misra_4, misra_5, misra_6, misra_7, misra_8, misra_9, his) values (";

TEST(QacSqlLines, EmptyAndQuotedOptions) {
  const Records records = {message(5, 1), message(1, 5300)};
  const std::vector<QZQacResultElement::file_group> files = {{"Src_QZ\\a.c", records}};
  Detail::options options;
  options.project_name = "K7";
  options.hash_value = "say \"hi\" it's";
  Detail::TableRows rows(options, Detail::q_results_table(), "2026-12-07", "09:15:00");
  QZQacResultElement::add_sql_rows(files, options, rows);
  const std::deque<std::string> lines = rows.script().lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2], insert_prefix + R"('', 'K7', '', 'say "hi" it''s', '2026-12-07', '09:15:00', '\Src_QZ\a.c', )" +
                          R"('0', '0', '0', '0', '0', '1', '0', '0', '0', '0', '1');)");
  SqliteDb db;
  ASSERT_EQ(db.exec(lines[1] + "\n" + lines[2]), "");
  EXPECT_EQ(db.rows("select platform, githash, filename, misra_5, his from q_results"),
            (Rows{{"", "say \"hi\" it's", "\\Src_QZ\\a.c", "1", "1"}}));
}

std::string convert(const TempDir& dir, const std::string& name, const std::string& report) {
  write_file(dir.file(name + ".txt"), report);
  const RunResult run = run_program(standard_args("QAC", dir.file(name + ".txt"), dir.file(name + ".sql")));
  EXPECT_EQ(run.exit_status, 0) << run.out;
  const std::string script = read_file(dir.file(name + ".sql"));
  EXPECT_EQ(run.out, "version 0" + script);
  return script;
}

TEST(QacSqlConversion, DatabaseKeepsTheFirstRunsRowOfAFile) {
  TempDir dir;
  const std::string tail = " : warning : QAC(Prio2) Msg: 3200(Text.) Ref: \n";
  const std::string first = convert(dir, "first", "D:\\Src_QZ\\b.c (1)" + tail + "D:\\Src_QZ\\a.c (1)" + tail);
  const std::string second = convert(dir, "second", "D:\\Src_QZ\\a.c (1)" + tail + "D:\\Src_QZ\\a.c (2)" + tail);
  SqliteDb db;
  ASSERT_EQ(db.exec(first), "");
  ASSERT_EQ(db.exec(second), "");  // the same hash: a.c is in already
  EXPECT_EQ(db.rows("select platform, project, tool, githash, filename, misra_2, his from q_results order by rowid"),
            (Rows{{"Pwe3", "K7Tr52_App_default", "CTC", "HASH", "Pwe3\\Src_QZ\\b.c", "1", "0"},
                  {"Pwe3", "K7Tr52_App_default", "CTC", "HASH", "Pwe3\\Src_QZ\\a.c", "1", "0"}}));
}

}  // namespace
