// The SQLite row source: values other writers stored with other types than
// text, the statements' plans, and reading that creates nothing beside the
// database file.

#include "detail/sqlite_row_source.h"

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <variant>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "detail/tables.h"
#include "support/files.h"
#include "support/program.h"
#include "support/sqlite_db.h"
#include "support/stored_runs.h"

namespace {

using test_support::StoredRuns;
using test_support::TempDir;
using testing::HasSubstr;
using Rows = std::vector<std::vector<std::string>>;

struct blob {
  std::string bytes;
};
using cell = std::variant<std::string, blob, sqlite3_int64, double, std::nullptr_t>;

// A ut_results table of `rows`, each value bound with its own type, as a
// writer binding Python's bytes, int, float or None does.
void insert_rows(const std::string& path, const std::vector<std::vector<cell>>& rows) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  const Detail::sql_table& table = Detail::ut_results_table();
  const std::string create = "begin;" + table.create_statement() + ";" + Detail::run_index_statement(table);
  ASSERT_EQ(sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "insert into ut_results values (?, ?, ?, ?, ?, ?, ?, ?, ?)", -1, &insert, nullptr);
  for (const std::vector<cell>& row : rows) {
    for (int i = 1; i <= static_cast<int>(row.size()); ++i) {
      const cell& value = row[static_cast<std::size_t>(i - 1)];
      if (const auto* text = std::get_if<std::string>(&value))
        sqlite3_bind_text(insert, i, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
      else if (const auto* bytes = std::get_if<blob>(&value))
        sqlite3_bind_blob(insert, i, bytes->bytes.data(), static_cast<int>(bytes->bytes.size()), SQLITE_TRANSIENT);
      else if (const auto* integer = std::get_if<sqlite3_int64>(&value)) sqlite3_bind_int64(insert, i, *integer);
      else if (const auto* real = std::get_if<double>(&value)) sqlite3_bind_double(insert, i, *real);
      else sqlite3_bind_null(insert, i);
    }
    EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  EXPECT_EQ(sqlite3_exec(db, "commit", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
}

std::string joined(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) text += (text.empty() ? "" : "|") + value;
  return text;
}

// The runs of the project "App", then what rows(), rows_with() and a
// select() with text_in() find (sorted) for the run whose `column` reads as
// `text`.
std::string read_back(const std::string& path, const std::vector<std::string>& run, const std::string& column,
                      const std::string& text) {
  const auto source = Detail::open_row_source(path);
  const Detail::sql_table& table = Detail::ut_results_table();
  std::string out;
  for (const Detail::stored_run& found : source->runs(table, "App"))
    out += "run " + joined({found.githash, found.platform, found.tool, found.earliest}) + "\n";
  const auto add = [&](const std::string& what, Rows rows) {
    std::sort(rows.begin(), rows.end());
    for (const auto& row : rows) out += what + " " + joined(row) + "\n";
  };
  add("rows", source->rows(table, "App", run[0], run[1]));
  const std::vector<std::string> names = {"S.B", "S.C"};
  add("rows_with", source->rows_with(table, "App", run[0], run[1], "name", names));
  const std::vector<std::string> parameters = {"App", text};
  add("select", source->select("select name from ut_results where project = $1 and " +
                                   source->text_in(column, 2, std::span(&parameters[1], 1)),
                               parameters));
  return out;
}

// A run column of one row holds a blob, an integer (beyond a double's
// precision), a real or NULL, a second row of that run its text form, and a
// text run lies on each side.
// Each case reads in a child process that SIGALRM ends after a minute: a
// reader caught in a loop fails the test instead of hanging it.
TEST(SqliteRowSource, ValuesOfOtherTypesReadAsTheirTextForm) {
  const struct {
    std::string kind;
    cell value;
    std::string text;
  } values[] = {{"blob", blob{"b10b"}, "b10b"}, {"integer", sqlite3_int64{9007199254740993}, "9007199254740993"},
                {"real", 2.5, "2.5"}, {"NULL", nullptr, ""}};
  for (const auto& foreign : values) {
    for (const auto& [column, at] : {std::pair<std::string, std::size_t>{"githash", 3}, {"platform", 0}, {"tool", 2}}) {
      SCOPED_TRACE(foreign.kind + " in " + column);
      Rows texts;  // as the source must read them
      std::vector<std::vector<cell>> stored;
      for (const std::string name : {"S.A", "S.B", "S.C", "S.D"}) {
        std::vector<std::string> row = {"Pwe3", "App", "GTEST", "aaaa111", "2026-12-0" + std::to_string(texts.size() + 1),
                                        "10:00:00", "Unit", name, "passed"};
        row[at] = name == "S.A" ? "aaaa111" : name == "S.D" ? "zzzz999" : foreign.text;
        texts.push_back(row);
        stored.emplace_back(row.begin(), row.end());
      }
      stored[1][at] = foreign.value;
      TempDir dir;
      insert_rows(dir.file("t.db"), stored);

      Rows runs;
      for (std::size_t i : {0U, 1U, 3U}) runs.push_back({texts[i][3], texts[i][0], texts[i][2], texts[i][4] + " 10:00:00"});
      // rows() takes no tool: a tool's run shares its hash and platform with the others.
      Rows in_run = column == "tool" ? texts : Rows{texts[1], texts[2]};
      std::sort(runs.begin(), runs.end());
      std::sort(in_run.begin(), in_run.end());
      std::string expected;
      for (const auto& run : runs) expected += "run " + joined(run) + "\n";
      for (const auto& row : in_run) expected += "rows " + joined(row) + "\n";
      expected += "rows_with " + joined(texts[1]) + "\nrows_with " + joined(texts[2]) + "\nselect S.B\nselect S.C\n";
      EXPECT_EXIT(
          {
            alarm(60);
            const std::string got = read_back(dir.file("t.db"), {texts[1][3], texts[1][0]}, column, foreign.text);
            std::cerr << "read:\n" << got << "expected:\n" << expected;
            std::_Exit(got == expected ? 0 : 1);
          },
          testing::ExitedWithCode(0), "");
    }
  }
}

const Detail::sql_table* const all_tables[] = {&Detail::ut_results_table(), &Detail::ut_coverage_table(),
                                               &Detail::q_results_table(), &Detail::compiler_results_table(),
                                               &Detail::compiler_map_table()};

// Finding runs and their rows seeks an index: one index entry a step,
// never the history's rows, nothing sorted.
TEST(SqliteRowSource, EveryStatementSeeksAnIndex) {
  TempDir dir;
  test_support::SqliteDb db(dir.file("t.db"));
  for (const Detail::sql_table* table : all_tables)
    ASSERT_EQ(db.exec(table->create_statement() + ";" + Detail::run_index_statement(*table)), "");
  const Detail::SqliteRowSource source(dir.file("t.db"));
  const std::string hash = "h";
  // A test's rows by name, one name a seek in the table's key, not the run's rows.
  const std::string by_name = source.rows_with_statement(*all_tables[0], hash, hash, "name", hash);
  EXPECT_THAT(db.rows("explain query plan " + by_name)[0][3], HasSubstr("name=?"));
  for (const Detail::sql_table* table : all_tables) {
    const Detail::sqlite_run_scan scan = Detail::sqlite_run_scan_statements(*table);
    std::vector<std::string> statements = {scan.earliest, Detail::rows_statement(*table, source, hash, hash),
                                           Detail::rows_statement(*table, source, hash, "")};
    for (const Detail::sqlite_run_scan::column_steps& steps : scan.columns)
      statements.insert(statements.end(), {steps.first, steps.after_null, steps.after});
    if (table == all_tables[0]) statements.push_back(by_name);
    for (const std::string& statement : statements) {
      for (const std::vector<std::string>& step : db.rows("explain query plan " + statement))
        EXPECT_THAT(step[3], testing::AllOf(HasSubstr("INDEX"), testing::Not(HasSubstr("SCAN")),
                                            testing::Not(HasSubstr("TEMP B-TREE"))))
            << statement;
    }
  }
}

std::vector<std::string> folder_entries(const std::string& file_in_it) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(file_in_it).parent_path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

test_support::stored_report tests_report(const std::string& verdict) {
  return {"PassFail_GTest", test_support::gtest_log({{"S.A", verdict}})};
}

// A comparison creates nothing beside a database in any journal mode and
// state, and reads every committed row: also those only a write-ahead log
// holds while a load's connection is open.
TEST(SqliteRowSource, ComparisonCreatesNothingBesideTheDatabase) {
  const struct {
    std::string journal_mode;
    bool writer_open;
    bool log_kept;  // by the last writer's SQLITE_FCNTL_PERSIST_WAL
  } cases[] = {{"delete", false, false}, {"wal", false, false}, {"wal", true, false}, {"wal", false, true}};
  for (const auto& test : cases) {
    SCOPED_TRACE(test.journal_mode + (test.writer_open ? ", a writer open" : test.log_kept ? ", log kept" : ""));
    StoredRuns runs;
    ASSERT_EQ(test_support::SqliteDb(runs.database()).exec("pragma journal_mode=" + test.journal_mode), "");
    runs.load("h1", "2026-12-01 10:00:00", tests_report("passed"));
    sqlite3* writer = nullptr;
    if (test.writer_open || test.log_kept) {
      ASSERT_EQ(sqlite3_open(runs.database().c_str(), &writer), SQLITE_OK);
      int keep = 1;
      if (test.log_kept) sqlite3_file_control(writer, "main", SQLITE_FCNTL_PERSIST_WAL, &keep);
      ASSERT_EQ(sqlite3_exec(writer, "select count(*) from sqlite_master", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    runs.load("h2", "2026-12-02 10:00:00", tests_report("FAILED"));
    if (test.log_kept) sqlite3_close(writer);
    const std::vector<std::string> before = folder_entries(runs.database());
    const test_support::RunResult result = runs.compare("h2", {"--fail-on=new-failures"});
    EXPECT_EQ(result.exit_status, 1) << result.err;
    EXPECT_THAT(result.out, HasSubstr("1 new failure: S.A"));
    EXPECT_EQ(folder_entries(runs.database()), before);
    if (test.writer_open) sqlite3_close(writer);
  }
}

// A load killed part-way: a process runs `statements` and is killed before
// it commits or closes.
void killed_while_writing(const std::string& path, const std::string& statements) {
  const pid_t child = fork();
  if (child == 0) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, statements.c_str(), nullptr, nullptr, nullptr);
    kill(getpid(), SIGKILL);
  }
  int status = 0;
  waitpid(child, &status, 0);
}

// Databases refused rather than read by creating a file beside them, each
// with what to do; the next load makes them readable again.
TEST(SqliteRowSource, RefusedWithTheReasonCreatingNothing) {
  const std::string rows_h2 = "insert into ut_results select 'Pwe3', 'App', 'GTEST', 'h2', '', '', 'Unit', "
                              "randomblob(1000), 'FAILED' from (with recursive n(i) as (select 1 union all "
                              "select i + 1 from n where i < 200) select i from n);";
  const struct {
    std::string state;
    std::function<std::string(const std::string&)> make;  // the database to compare
    std::string message;
  } cases[] = {
      {"a directory", [](const std::string& path) { return std::filesystem::path(path).parent_path().string(); },
       "it is a directory"},
      // A small cache makes the load write into the file before it commits.
      {"a hot journal",
       [&](const std::string& path) {
         killed_while_writing(path, "pragma cache_size=1; begin;" + rows_h2);
         return path;
       },
       "a load was interrupted: the next load rolls it back"},
      {"a write-ahead log without its -shm file",
       [&](const std::string& path) {
         killed_while_writing(path, "pragma journal_mode=wal; pragma wal_autocheckpoint=0;" + rows_h2);
         std::filesystem::remove(path + "-shm");
         return path;
       },
       "its write-ahead log (-wal) has no -shm file beside it, which reading would create: the next load restores it"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.state);
    StoredRuns runs;
    runs.load("h1", "2026-12-01 10:00:00", tests_report("passed"));
    const std::string database = test.make(runs.database());
    const std::vector<std::string> before = folder_entries(runs.database());
    const test_support::RunResult result =
        test_support::run_compare({"--database=" + database, "--project_name=App", "--hash_value=h1"});
    EXPECT_EQ(result.exit_status, 3);
    EXPECT_EQ(result.err, "VIViriZovuro-compare error: Could not read database: " + test.message + "\n");
    EXPECT_EQ(folder_entries(runs.database()), before);
    runs.load("h3", "2026-12-03 10:00:00", tests_report("passed"));
    EXPECT_EQ(runs.compare("h1").exit_status, 0);
  }
}

// While the file alone is read, a load neither waits nor fails: its
// checkpoint waits for the reader, which reads one state throughout. A
// checkpoint that writes the file all the same is told.
TEST(SqliteRowSource, LoadWhileTheFileAloneIsRead) {
  StoredRuns runs;
  ASSERT_EQ(test_support::SqliteDb(runs.database()).exec("pragma journal_mode=wal"), "");
  runs.load("h1", "2026-12-01 10:00:00", tests_report("passed"));
  const auto source = Detail::open_row_source(runs.database());
  const Detail::sql_table& table = Detail::ut_results_table();
  test_support::write_file(runs.file("run.log"), test_support::gtest_log({{"S.A", "passed"}}));
  std::vector<std::string> load = test_support::standard_args("PassFail_GTest", runs.file("run.log"), runs.file("run.sql"));
  load.push_back("--database=" + runs.database());
  EXPECT_EQ(test_support::run_program(load).exit_status, 0);
  EXPECT_EQ(source->runs(table, "K7Tr52_App_default").size(), 0U);
  EXPECT_EQ(Detail::open_row_source(runs.database())->runs(table, "K7Tr52_App_default").size(), 1U);

  ASSERT_EQ(test_support::SqliteDb(runs.database()).exec("pragma wal_checkpoint(truncate)"), "");
  try {
    source->rows(table, "App", "h1", "Pwe3");
    ADD_FAILURE() << "a changed file was read";
  } catch (const Detail::database_error& error) {
    EXPECT_STREQ(error.what(), "a load wrote into it while it was read: compare again");
  }
}

// The history page's figures sort in SQLite's temporary files: a folder too
// small for them is named.
TEST(SqliteRowSource, FullTemporaryFolderIsNamed) {
  if (std::system("unshare -rm true 2>/dev/null") != 0) GTEST_SKIP() << "no mount namespace for a small folder";
  TempDir dir;
  std::vector<std::vector<cell>> rows;
  for (int run = 0; run < 30 * 4000; ++run)
    rows.push_back({"Pwe3", "App", "GTEST", std::to_string(run / 4000 + 100), "2026-12-01",
                    "10:" + std::to_string(run / 4000 + 10) + ":00", "Unit", "S.T" + std::to_string(run % 4000), "passed"});
  insert_rows(dir.file("t.db"), rows);
  std::filesystem::create_directory(dir.file("small"));
  const test_support::RunResult result = test_support::run_compare(
      {"--database=" + dir.file("t.db"), "--project_name=App", "--hash_value=129", "--html=" + dir.file("page.html")},
      {"/usr/bin/unshare", "-rm", "sh", "-c", "mount -t tmpfs -o size=64k none \"$0\" && SQLITE_TMPDIR=\"$0\" exec \"$@\"",
       dir.file("small")});
  EXPECT_EQ(result.exit_status, 3);
  EXPECT_EQ(result.err, "VIViriZovuro-compare error: Could not read database: database or disk is full: the temporary "
                        "folder " + dir.file("small") + " is full (SQLITE_TMPDIR names another)\n");
}

}  // namespace
