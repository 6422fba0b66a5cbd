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
#include <variant>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "detail/tables.h"
#include "support/files.h"
#include "support/program.h"
#include "support/sqlite_db.h"
#include "support/stored_runs.h"

namespace {

using test_support::TempDir;

struct blob {
  std::string bytes;
};
using cell = std::variant<std::string, blob, sqlite3_int64, double, std::nullptr_t>;

// Inserts `rows` into ut_results, each value bound with its own type, as a
// writer binding Python's bytes, int, float or None would.
void insert_rows(const std::string& path, const std::vector<std::vector<cell>>& rows) {
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  const std::string create = "begin;" + Detail::ut_results_table().create_statement() + ";" +
                             Detail::run_index_statement(Detail::ut_results_table());
  ASSERT_EQ(sqlite3_exec(raw, create.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_stmt* insert = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(raw, "insert into ut_results values (?, ?, ?, ?, ?, ?, ?, ?, ?)", -1, &insert, nullptr),
            SQLITE_OK);
  for (const std::vector<cell>& row : rows) {
    for (int i = 0; i < static_cast<int>(row.size()); ++i) {
      const cell& value = row[static_cast<std::size_t>(i)];
      if (const auto* text = std::get_if<std::string>(&value))
        sqlite3_bind_text(insert, i + 1, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
      else if (const auto* bytes = std::get_if<blob>(&value))
        sqlite3_bind_blob(insert, i + 1, bytes->bytes.data(), static_cast<int>(bytes->bytes.size()), SQLITE_TRANSIENT);
      else if (const auto* integer = std::get_if<sqlite3_int64>(&value)) sqlite3_bind_int64(insert, i + 1, *integer);
      else if (const auto* real = std::get_if<double>(&value)) sqlite3_bind_double(insert, i + 1, *real);
      else sqlite3_bind_null(insert, i + 1);
    }
    EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  EXPECT_EQ(sqlite3_exec(raw, "commit", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);
}

// Runs `work` in a child process that SIGALRM ends after a minute, so that a
// reader caught in a loop fails the test instead of hanging it; what `work`
// returned.
std::string with_time_limit(const std::function<std::string()>& work) {
  int ends[2];
  if (pipe(ends) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    alarm(60);
    std::string result;
    try {
      result = work();
    } catch (const std::exception& error) {
      result = std::string("error: ") + error.what();
    }
    for (std::size_t written = 0; written < result.size();) {
      const ssize_t now = write(ends[1], result.data() + written, result.size() - written);
      if (now <= 0) break;
      written += static_cast<std::size_t>(now);
    }
    _exit(0);
  }
  close(ends[1]);
  std::string result;
  char buffer[4096];
  for (ssize_t got; (got = read(ends[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<std::size_t>(got));
  close(ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status)) << "the reader did not finish within a minute";
  return result;
}

std::string joined(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) text += (text.empty() ? "" : "|") + value;
  return text;
}

// What the source gives for the project "App": its runs, and the rows
// (sorted) that rows(), rows_with() and a select() with text_in() find for
// the run the case is about.
std::string read_back(const std::string& path, const Detail::stored_run& run, std::string_view column,
                      const std::string& text) {
  const auto source = Detail::open_row_source(path);
  const Detail::sql_table& table = Detail::ut_results_table();
  std::string out;
  for (const Detail::stored_run& found : source->runs(table, "App"))
    out += "run " + joined({found.githash, found.platform, found.tool, found.earliest}) + "\n";
  const auto add = [&](const std::string& what, std::vector<Detail::stored_row> rows) {
    std::sort(rows.begin(), rows.end());
    for (const Detail::stored_row& row : rows) out += what + " " + joined(row) + "\n";
  };
  add("rows", source->rows(table, "App", run.githash, run.platform));
  const std::vector<std::string> names = {"S.B", "S.C"};
  add("rows_with", source->rows_with(table, "App", run.githash, run.platform, "name", names));
  const std::vector<std::string> parameters = {"App", text};
  add("select", source->select("select name from ut_results where project = $1 and " +
                                   source->text_in(column, 2, std::span(&parameters[1], 1)),
                               parameters));
  return out;
}

struct foreign_value {
  std::string kind;
  cell value;
  std::string text;  // as the source reads it
};

// One run column of one row holds a blob, an integer, a real or NULL; a
// second row of that run holds the value's text form, and a text run lies
// on each side of it.
TEST(SqliteRowSource, ValuesOfOtherTypesReadAsTheirTextForm) {
  const foreign_value values[] = {{"blob", blob{"b10b"}, "b10b"},
                                  {"integer", sqlite3_int64{3333333}, "3333333"},
                                  {"real", 2.5, "2.5"},
                                  {"NULL", nullptr, ""}};
  const std::pair<std::string_view, std::size_t> columns[] = {{"githash", 3}, {"platform", 0}, {"tool", 2}};
  for (const foreign_value& foreign : values) {
    for (const auto& [column, at] : columns) {
      SCOPED_TRACE(foreign.kind + " in " + std::string(column));
      // The rows as the source must read them: S.B holds the foreign value.
      std::vector<std::vector<std::string>> texts;
      for (const auto& [value, name] : {std::pair{"aaaa111", "S.A"}, {foreign.text.c_str(), "S.B"},
                                        {foreign.text.c_str(), "S.C"}, {"zzzz999", "S.D"}}) {
        std::vector<std::string> row = {"Pwe3", "App", "GTEST", "aaaa111", "2026-12-0" + std::to_string(texts.size() + 1),
                                        "10:00:00", "Unit", name, "passed"};
        row[at] = value;
        texts.push_back(row);
      }
      std::vector<std::vector<cell>> stored;
      for (const auto& row : texts) stored.emplace_back(row.begin(), row.end());
      stored[1][at] = foreign.value;
      TempDir dir;
      insert_rows(dir.file("t.db"), stored);

      std::vector<std::vector<std::string>> runs;
      for (std::size_t i : {0U, 1U, 3U}) runs.push_back({texts[i][3], texts[i][0], texts[i][2], texts[i][4] + " 10:00:00"});
      std::sort(runs.begin(), runs.end());
      std::string expected;
      for (const auto& run : runs) expected += "run " + joined(run) + "\n";
      // rows() takes no tool: a tool's run shares its hash and platform with the others.
      std::vector<std::vector<std::string>> in_run = {texts[1], texts[2]};
      if (column == "tool") in_run = texts;
      std::sort(in_run.begin(), in_run.end());
      for (const auto& row : in_run) expected += "rows " + joined(row) + "\n";
      expected += "rows_with " + joined(texts[1]) + "\nrows_with " + joined(texts[2]) + "\nselect S.B\nselect S.C\n";
      const Detail::stored_run run = {texts[1][3], texts[1][0], texts[1][2], ""};
      EXPECT_EQ(with_time_limit([&] { return read_back(dir.file("t.db"), run, column, foreign.text); }), expected);
    }
  }
}

}  // namespace

namespace {

using test_support::StoredRuns;

const Detail::sql_table* const all_tables[] = {&Detail::ut_results_table(), &Detail::ut_coverage_table(),
                                               &Detail::q_results_table(), &Detail::compiler_results_table(),
                                               &Detail::compiler_map_table()};

// Finding runs and their rows seeks an index: it reads one index entry a
// step, never the history's rows, and sorts nothing.
TEST(SqliteRowSource, EveryStatementSeeksAnIndex) {
  TempDir dir;
  test_support::SqliteDb db(dir.file("t.db"));
  for (const Detail::sql_table* table : all_tables)
    ASSERT_EQ(db.exec(table->create_statement() + ";" + Detail::run_index_statement(*table)), "");
  const Detail::SqliteRowSource source(dir.file("t.db"));
  const std::string hash = "h";
  const std::string none;
  // The rows of tests by name, one by one, seek the key index, not the run's rows.
  const std::string by_name = source.rows_with_statement(*all_tables[0], hash, hash, "name", hash);
  EXPECT_THAT(db.rows("explain query plan " + by_name)[0][3], testing::HasSubstr("name=?"));
  for (const Detail::sql_table* table : all_tables) {
    const Detail::sqlite_run_scan scan = Detail::sqlite_run_scan_statements(*table);
    std::vector<std::string> statements = {scan.earliest, Detail::rows_statement(*table, source, hash, hash),
                                           Detail::rows_statement(*table, source, hash, none)};
    for (const Detail::sqlite_run_scan::column_steps& steps : scan.columns)
      statements.insert(statements.end(), {steps.first, steps.after_null, steps.after});
    if (table == all_tables[0]) statements.push_back(by_name);
    for (const std::string& statement : statements) {
      const auto plan = db.rows("explain query plan " + statement);
      ASSERT_FALSE(plan.empty());
      for (const std::vector<std::string>& step : plan)
        EXPECT_THAT(step[3], testing::AllOf(testing::HasSubstr("INDEX"), testing::Not(testing::HasSubstr("SCAN")),
                                            testing::Not(testing::HasSubstr("TEMP B-TREE"))))
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

// A comparison of a database in each journal mode and state creates
// nothing beside it, and reads every committed row: also those only a
// write-ahead log holds while a load's connection is open.
TEST(SqliteRowSource, ComparisonCreatesNothingBesideTheDatabase) {
  const struct {
    std::string journal_mode;
    bool writer_open;
    bool log_kept;  // the last writer sets SQLITE_FCNTL_PERSIST_WAL
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
    EXPECT_THAT(result.out, testing::HasSubstr("1 new failure: S.A"));
    EXPECT_EQ(folder_entries(runs.database()), before);
    if (test.writer_open) sqlite3_close(writer);
  }
}

// A load killed part-way: a process runs `statements` and is killed
// before it commits or closes.
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

const char* const failed_h2 =
    "insert into ut_results values ('Pwe3', 'App', 'GTEST', 'h2', '2026-12-02', '10:00:00', 'Unit', 'S.A', 'FAILED');";

// Databases the reader refuses rather than create a file beside them, each
// with what to do; the next load makes them readable again.
TEST(SqliteRowSource, RefusedWithTheReasonCreatingNothing) {
  const struct {
    std::string state;
    std::function<void(const std::string&)> make;
    std::string message;
  } cases[] = {
      {"a directory", [](const std::string& path) { std::filesystem::create_directory(path + ".d"); },
       "it is a directory"},
      {"a hot journal",
       [](const std::string& path) {
         // A small cache makes the load write into the file before it commits.
         killed_while_writing(path, "pragma cache_size=1; begin; with recursive n(i) as (select 1 union all "
                                    "select i + 1 from n where i < 200) insert into ut_results select 'Pwe3', "
                                    "'App', 'GTEST', 'h2', '', '', 'Unit', randomblob(1000), 'FAILED' from n;");
       },
       "a load was interrupted: the next load rolls it back"},
      {"a write-ahead log without its -shm file",
       [](const std::string& path) {
         killed_while_writing(path, std::string("pragma journal_mode=wal; pragma wal_autocheckpoint=0;") + failed_h2);
         std::filesystem::remove(path + "-shm");
       },
       "its write-ahead log (-wal) has no -shm file beside it, which reading would create: the next load restores it"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.state);
    StoredRuns runs;
    runs.load("h1", "2026-12-01 10:00:00", tests_report("passed"));
    test.make(runs.database());
    const std::string database = runs.database() + (test.state == "a directory" ? ".d" : "");
    const std::vector<std::string> before = folder_entries(database);
    const test_support::RunResult result =
        test_support::run_compare({"--database=" + database, "--project_name=App", "--hash_value=h1"});
    EXPECT_EQ(result.exit_status, 3);
    EXPECT_EQ(result.err, "VIViriZovuro-compare error: Could not read database: " + test.message + "\n");
    EXPECT_EQ(folder_entries(database), before);
    if (database != runs.database()) continue;
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
  ASSERT_EQ(source->runs(table, "App").size(), 1U);
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
// small for them is named, with the variable that names another.
TEST(SqliteRowSource, FullTemporaryFolderIsNamed) {
  if (std::system("unshare -rm true 2>/dev/null") != 0) GTEST_SKIP() << "no mount namespace for a small folder";
  TempDir dir;
  std::vector<std::vector<cell>> rows;
  for (int run = 0; run < 30; ++run) {
    for (int test = 0; test < 4000; ++test)
      rows.push_back({"Pwe3", "App", "GTEST", "run" + std::to_string(100 + run), "2026-12-" + std::to_string(run / 10 + 10),
                      std::to_string(run % 10) + ":00:00", "Unit", "S.T" + std::to_string(test), "passed"});
  }
  insert_rows(dir.file("t.db"), rows);
  std::filesystem::create_directory(dir.file("small"));
  const test_support::RunResult result = test_support::run_compare(
      {"--database=" + dir.file("t.db"), "--project_name=App", "--hash_value=run129", "--html=" + dir.file("page.html")},
      {"/usr/bin/unshare", "-rm", "sh", "-c", "mount -t tmpfs -o size=64k none \"$0\" && SQLITE_TMPDIR=\"$0\" exec \"$@\"",
       dir.file("small")});
  EXPECT_EQ(result.exit_status, 3);
  EXPECT_EQ(result.err, "VIViriZovuro-compare error: Could not read database: database or disk is full: the temporary "
                        "folder " + dir.file("small") + " is full (SQLITE_TMPDIR names another)\n");
}

}  // namespace
