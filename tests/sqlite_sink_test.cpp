// --database: the rows of every SQL script loaded into a SQLite database file
// by the program itself, all or nothing, as loading the script would give
// them; many runs into one file at once; failures that keep nothing.

#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "support/files.h"
#include "support/fixtures.h"
#include "support/program.h"
#include "support/skipped_rows_cases.h"
#include "support/sqlite_db.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace test_support;

namespace {

using Rows = std::vector<std::vector<std::string>>;

std::vector<std::string> with_database(std::vector<std::string> args, const std::string& database) {
  args.push_back("--database=" + database);
  return args;
}

std::vector<std::string> with_hash(std::vector<std::string> args, const std::string& hash) {
  for (std::string& arg : args) {
    if (arg.starts_with("--hash_value=")) arg = "--hash_value=" + hash;
  }
  return args;
}

std::string passfail_log(std::size_t tests) {
  std::string log;
  for (std::size_t i = 0; i < tests; ++i) log += "  Test: test_number_" + std::to_string(i) + " ...passed\n";
  return log;
}

// Rows of a table that may not exist (a run that kept nothing creates none).
std::size_t row_count(SqliteDb& db, const std::string& table) {
  const std::vector<std::string> tables = db.tables();
  if (std::find(tables.begin(), tables.end(), table) == tables.end()) return 0;
  return std::stoul(db.rows("select count(*) from " + table)[0][0]);
}

class DatabaseFixture : public testing::TestWithParam<Fixture> {};

// Two runs with the same hash, so that the rules on duplicate keys count too.
TEST_P(DatabaseFixture, LoadsTheRowsItsScriptsLoad) {
  const Fixture& fixture = GetParam();
  TempDir dir;
  const std::string database = dir.file("loaded.db");
  SqliteDb from_scripts;
  for (const char* output : {"first.sql", "second.sql"}) {
    const RunResult run =
        run_program(with_database(standard_args(fixture.parser_type, fixture.file(".input"), dir.file(output)), database));
    ASSERT_EQ(run.exit_status, 0) << run.out;
    ASSERT_EQ(from_scripts.exec(read_file(dir.file(output))), "");
  }
  SqliteDb loaded(database);
  ASSERT_EQ(loaded.tables(), from_scripts.tables());
  for (const std::string& table : from_scripts.tables()) EXPECT_EQ(loaded.dump(table), from_scripts.dump(table));
}

INSTANTIATE_TEST_SUITE_P(SqlFixtures, DatabaseFixture, testing::ValuesIn(sql_fixtures()),
                         [](const testing::TestParamInfo<Fixture>& tested) { return fixture_test_name(tested.param); });

// Rows the table's key keeps out for rows it held before the load are told.
TEST(Database, RowsKeptOutByHeldKeysAreTold) {
  for (const skipped_rows_case& tested : skipped_rows_cases()) {
    SCOPED_TRACE(tested.what);
    TempDir dir;
    run_skipped_rows_case(tested, dir.file("results.db"));
  }
}

TEST(Database, ParallelRunsIntoOneNewFileAllLoad) {
  TempDir dir;
  constexpr std::size_t runs = 16, tests = 2000;
  write_file(dir.file("in.log"), passfail_log(tests));
  std::vector<pid_t> started;
  for (std::size_t i = 0; i < runs; ++i) {
    const std::string name = "run" + std::to_string(i);
    started.push_back(start_program(with_hash(
        with_database(standard_args("PassFail", dir.file("in.log"), dir.file(name + ".sql")), dir.file("all.db")),
        name)));
  }
  for (const pid_t pid : started) {
    const int status = wait_for(pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  SqliteDb db(dir.file("all.db"));
  EXPECT_EQ(db.rows("select count(*), count(distinct githash) from ut_results"),
            (Rows{{std::to_string(runs * tests), std::to_string(runs)}}));
}

TEST(Database, KilledRunLeavesAllItsRowsOrNone) {
  TempDir dir;
  constexpr std::size_t tests = 150'000;
  write_file(dir.file("in.log"), passfail_log(tests));
  const auto args = [&](const std::string& name) {
    return with_database(standard_args("PassFail", dir.file("in.log"), dir.file(name + ".sql")), dir.file(name + ".db"));
  };
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(run_program(args("whole")).exit_status, 0);
  const auto duration = std::chrono::steady_clock::now() - start;

  // Killed once the load has begun (its journal exists), then at points of a
  // whole run's duration, the last ones during the commit or after it.
  const std::vector<double> fractions = {-1, 0.5, 0.8, 0.95, 1.1};
  for (std::size_t i = 0; i < fractions.size(); ++i) {
    const std::string name = "killed" + std::to_string(i);
    const pid_t pid = start_program(args(name));
    if (fractions[i] < 0) {
      const auto end = std::chrono::steady_clock::now() + duration * 3;
      while (std::chrono::steady_clock::now() < end && !fs::exists(dir.file(name + ".db-journal"))) {
      }
    } else {
      std::this_thread::sleep_for(std::chrono::duration_cast<std::chrono::nanoseconds>(duration * fractions[i]));
    }
    kill(pid, SIGKILL);
    wait_for(pid);
    SqliteDb db(dir.file(name + ".db"));
    EXPECT_EQ(db.rows("pragma integrity_check"), Rows{{"ok"}}) << name;
    const std::size_t count = row_count(db, "ut_results");
    EXPECT_TRUE(count == 0 || count == tests) << name << ": " << count << " rows";
  }
}

// The run's rows are kept in one transaction: however the database fails,
// none of them stays, the output file is complete and the run says why.
struct Refusal {
  const char* name;
  void (*prepare)(const TempDir& dir, const std::string& database);
  const char* reason;
  bool as_nobody = false;
};

const Refusal refusals[] = {
    {"NotADatabase",
     [](const TempDir&, const std::string& database) {
       write_file(database, "these are not the bytes of a SQLite database file, not at all\n");
     },
     "file is not a database"},
    {"TableWithOtherColumns",
     [](const TempDir&, const std::string& database) {
       SqliteDb db(database);
       ASSERT_EQ(db.exec("create table ut_results (name, verdict);"), "");
     },
     "table ut_results has no column named platform"},
    {"ReadOnlyFile",
     [](const TempDir& dir, const std::string& database) {
       SqliteDb db(database);
       ASSERT_EQ(db.exec("create table kept (a);"), "");
       chmod(dir.path().c_str(), 0755);
       chmod(database.c_str(), 0444);
     },
     "attempt to write a readonly database", true},
};

class DatabaseRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(DatabaseRefusal, KeepsNothingAndSaysWhy) {
  const Refusal& refusal = GetParam();
  TempDir dir;
  const std::string database = dir.file("target.db");
  refusal.prepare(dir, database);
  write_file(dir.file("in.log"), passfail_log(3));
  const auto args = [&](const std::string& output) {
    return with_database(standard_args("PassFail", dir.file("in.log"), output), database);
  };
  std::vector<std::string> prefix;
  std::string output = dir.file("out.sql");
  if (refusal.as_nobody) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run the program as another user";
    prefix = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    output = "/tmp/viviri-readonly-" + std::to_string(getpid()) + ".sql";
  }
  const RunResult run = run_program(args(output), prefix);
  EXPECT_EQ(run.exit_status, 248);
  EXPECT_NE(run.out.find("VIViriZovuro error: Could not load database: " + std::string(refusal.reason) + "\n"),
            std::string::npos)
      << run.out;
  const std::string written = read_file(output);
  fs::remove(output);
  EXPECT_EQ(normalise_date_time(run.out), "version 0" + normalise_date_time(written) +
                                              "VIViriZovuro error: Could not load database: " + refusal.reason + "\n");
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 6);  // the whole script
  chmod(database.c_str(), 0644);
  if (!refusal.as_nobody && std::string(refusal.name) == "NotADatabase") return;
  SqliteDb db(database);
  EXPECT_EQ(db.rows("pragma integrity_check"), Rows{{"ok"}});
  if (std::string(refusal.name) == "ReadOnlyFile") {
    EXPECT_EQ(db.tables(), std::vector<std::string>{"kept"});
  } else {
    EXPECT_EQ(row_count(db, "ut_results"), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Database, DatabaseRefusal, testing::ValuesIn(refusals),
                         [](const testing::TestParamInfo<Refusal>& tested) { return std::string(tested.param.name); });

TEST(Database, FullDiskKeepsNothing) {
  TempDir dir, small;
  if (mount("viviri", small.path().c_str(), "tmpfs", 0, "size=256k") != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
  write_file(dir.file("in.log"), passfail_log(20'000));
  const RunResult run = run_program(
      with_database(standard_args("PassFail", dir.file("in.log"), dir.file("out.sql")), small.file("full.db")));
  std::size_t rows = 0;
  {
    SqliteDb db(small.file("full.db"));
    rows = row_count(db, "ut_results");
  }
  umount(small.path().c_str());
  EXPECT_EQ(run.exit_status, 248);
  EXPECT_NE(run.out.find("VIViriZovuro error: Could not load database: database or disk is full\n"), std::string::npos);
  EXPECT_EQ(rows, 0u);
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 20'000 + 4);  // the whole script and the message
}

TEST(Database, TypesThatWriteNoSqlAreRefusedBeforeConverting) {
  TempDir dir;
  write_file(dir.file("in.txt"), "src/a.cpp:1:1: warning: w [misc-w]\n");
  for (const char* parser_type : {"QAC_full_report", "ClangTidy", "ClangTidy_all", "NoSuchType"}) {
    const RunResult run = run_program(
        with_database(standard_args(parser_type, dir.file("in.txt"), dir.file("out")), dir.file("never.db")));
    EXPECT_EQ(run.exit_status, 248) << parser_type;
    EXPECT_EQ(run.out, "version 0VIViriZovuro error: --database needs a parser type that writes SQL\n");
    EXPECT_FALSE(fs::exists(dir.file("out"))) << parser_type;
    EXPECT_FALSE(fs::exists(dir.file("never.db"))) << parser_type;
  }
}

}  // namespace

namespace {

// The output and the database naming one file: the output would replace the
// database and its rows. Refused before anything is written.
TEST(Database, TheOutputFileIsRefusedAsTheDatabase) {
  struct Case {
    const char* name;
    bool existing;  // the file holds an earlier database
    void (*link)(const TempDir& dir);
    const char* output;
  };
  const Case cases[] = {
      {"SamePath", true, [](const TempDir&) {}, "results.db"},
      {"SamePathNeitherExists", false, [](const TempDir&) {}, "results.db"},
      {"SymbolicLink", true, [](const TempDir& dir) { fs::create_symlink(dir.file("results.db"), dir.file("link.db")); },
       "link.db"},
      {"SymbolicLinkNeitherExists", false,
       [](const TempDir& dir) { fs::create_symlink("results.db", dir.file("link.db")); }, "link.db"},
      {"HardLink", true, [](const TempDir& dir) { fs::create_hard_link(dir.file("results.db"), dir.file("link.db")); },
       "link.db"},
      {"DotDotNeitherExists", false, [](const TempDir& dir) { fs::create_directory(dir.file("sub")); },
       "sub/../results.db"},
  };
  for (const Case& tested : cases) {
    TempDir dir;
    write_file(dir.file("in.log"), passfail_log(3));
    if (tested.existing) {
      SqliteDb db(dir.file("results.db"));
      ASSERT_EQ(db.exec("create table kept (a); insert into kept values (1);"), "");
    }
    tested.link(dir);
    const std::string before = tested.existing ? read_file(dir.file("results.db")) : "";
    const RunResult run = run_program(
        with_database(standard_args("PassFail", dir.file("in.log"), dir.file(tested.output)), dir.file("results.db")));
    EXPECT_EQ(run.exit_status, 248) << tested.name;
    EXPECT_EQ(run.out, "version 0VIViriZovuro error: Could not load database: it is the output file\n") << tested.name;
    EXPECT_EQ(fs::exists(dir.file("results.db")), tested.existing) << tested.name;
    if (tested.existing) {
      EXPECT_EQ(read_file(dir.file("results.db")), before) << tested.name;
    }
  }
}

// The value of --database is a file path, never one of SQLite's special names.
TEST(Database, SqliteSpecialNamesAreFilePathsOrRefused) {
  TempDir dir;
  write_file(dir.file("in.log"), passfail_log(3));
  const RunResult memory =
      run_program(with_database(standard_args("PassFail", dir.file("in.log"), dir.file("out.sql")), ":memory:"));
  EXPECT_EQ(memory.exit_status, 248);
  EXPECT_EQ(memory.out, "version 0VIViriZovuro error: Could not load database: not a file\n");
  EXPECT_FALSE(fs::exists(dir.file("out.sql")));

  // Run in the folder, so that the relative name is a file there.
  const std::string name = "file:x.db?mode=memory";
  const RunResult uri = run_program(
      with_database(standard_args("PassFail", dir.file("in.log"), dir.file("out.sql")), name),
      {"/usr/bin/env", "-C", dir.path().string()});
  ASSERT_EQ(uri.exit_status, 0) << uri.out;
  ASSERT_TRUE(fs::exists(dir.file(name)));
  SqliteDb db(dir.file(name));
  EXPECT_EQ(row_count(db, "ut_results"), 3u);
}

}  // namespace

namespace {

// Starts the program with its standard output into `descriptor`.
pid_t start_program_into(const std::vector<std::string>& args, int descriptor) {
  std::vector<std::string> strings{VIVIRI_PROGRAM};
  strings.insert(strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : strings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, descriptor, 1);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start the program");
  return pid;
}

// A run whose echo waits for a reader that does not read holds no lock: a
// second run loads into the same file meanwhile. (Bounded by `timeout` so
// that a run that waits fails instead of hanging.)
TEST(Database, ASlowReaderOfTheEchoKeepsNoOtherRunWaiting) {
  TempDir dir;
  write_file(dir.file("in.log"), passfail_log(5000));  // a script far beyond a pipe's buffer
  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  const auto args = [&](const std::string& name) {
    return with_hash(with_database(standard_args("PassFail", dir.file("in.log"), dir.file(name + ".sql")),
                                   dir.file("shared.db")),
                     name);
  };
  const pid_t slow = start_program_into(args("slow"), pipe_ends[1]);
  close(pipe_ends[1]);
  // Its output file is complete: it is echoing now, into the full pipe.
  while (!fs::exists(dir.file("slow.sql")) || !read_file(dir.file("slow.sql")).ends_with("COMMIT;\n"))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));

  const RunResult other = run_program(args("other"), {"/usr/bin/timeout", "120"});
  EXPECT_EQ(other.exit_status, 0) << other.out;
  {
    SqliteDb db(dir.file("shared.db"));
    EXPECT_EQ(db.rows("select githash, count(*) from ut_results group by githash"), (Rows{{"other", "5000"}}));
  }
  char block[65536];
  while (read(pipe_ends[0], block, sizeof block) > 0) {
  }
  close(pipe_ends[0]);
  const int status = wait_for(slow);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  SqliteDb db(dir.file("shared.db"));
  EXPECT_EQ(db.rows("select githash, count(*) from ut_results group by githash order by githash"),
            (Rows{{"other", "5000"}, {"slow", "5000"}}));
}

// A run that fails before its database step (the output file not written,
// standard output not written) keeps nothing there, so that a retry does not
// double the rows of a table without a key.
TEST(Database, ARunThatFailsBeforeTheDatabaseStepLoadsNothing) {
  TempDir dir;
  write_file(dir.file("warnings.log"), "src/a.c:3:5: warning: unused variable 'x' [-Wunused-variable]\n");
  const auto args = [&](const std::string& output) {
    return with_database(standard_args("Warning_GCC", dir.file("warnings.log"), output), dir.file("results.db"));
  };
  struct Case {
    const char* name;
    std::string output;
    std::vector<std::string> prefix;
    int status;
  };
  const std::vector<Case> cases = {
      {"OutputNotWritten", "/dev/full", {}, 252},
      {"StandardOutputFull", dir.file("out.sql"), {"/bin/sh", "-c", "exec \"$0\" \"$@\" >/dev/full"}, 249},
      {"StandardOutputClosed", dir.file("out.sql"), {"/bin/sh", "-c", "exec \"$0\" \"$@\" >&-"}, 249},
  };
  for (const Case& tested : cases) {
    const RunResult run = run_program(args(tested.output), tested.prefix);
    EXPECT_EQ(run.exit_status, tested.status) << tested.name;
    SqliteDb db(dir.file("results.db"));
    EXPECT_EQ(row_count(db, "compiler_results"), 0u) << tested.name;
  }
  ASSERT_EQ(run_program(args(dir.file("out.sql"))).exit_status, 0);
  SqliteDb db(dir.file("results.db"));
  EXPECT_EQ(row_count(db, "compiler_results"), 1u);
}

}  // namespace
