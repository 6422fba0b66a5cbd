// The program as hostile pipelines run it: killed while it writes, racing
// another run on one output, a full file system, too little memory, a closed
// or full standard output, pipes as input and output, failing reads.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "support/files.h"
#include "support/program.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace test_support;

namespace {

std::string passfail_log(std::size_t tests) {
  std::string log;
  for (std::size_t i = 0; i < tests; ++i) log += "  Test: test_number_" + std::to_string(i) + " ...passed\n";
  return log;
}

std::vector<std::string> folder_entries(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Through bash, for what only a shell sets up: limits, closed streams,
// process substitution. "$0" is the program, "$@" its arguments.
RunResult run_in_shell(const std::string& script, const std::vector<std::string>& args) {
  return run_program(args, {"/usr/bin/timeout", "120", "/bin/bash", "-c", script});
}

class LargeRun : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    write_file(dir_->file("in.log"), passfail_log(300'000));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(run_program(args("complete.sql")).exit_status, 0);
    duration_ = std::chrono::steady_clock::now() - start;
    complete_ = new std::string(normalise_date_time(read_file(dir_->file("complete.sql"))));
  }
  static void TearDownTestSuite() {
    delete complete_;
    delete dir_;
  }
  static std::vector<std::string> args(const std::string& output) {
    return standard_args("PassFail", dir_->file("in.log"), dir_->file(output));
  }
  static inline TempDir* dir_ = nullptr;
  static inline std::string* complete_ = nullptr;
  static inline std::chrono::steady_clock::duration duration_{};
};

// Kills the run as soon as its output holds anything (or after `limit`).
void kill_when_output_appears(pid_t pid, const std::string& output, std::chrono::steady_clock::duration limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  std::error_code ignored;
  while (std::chrono::steady_clock::now() < end && fs::file_size(output, ignored) == 0 && !ignored) {
  }
  kill(pid, SIGKILL);
}

TEST_F(LargeRun, KilledRunLeavesTheOutputEmptyOrComplete) {
  // At fixed points of the run, and at the moment the output first changes,
  // which is when a file written in place holds its first block only.
  const std::vector<double> fractions = {0.2, 0.4, 0.6, 0.8, 0.9, -1, -1, -1};
  for (const double fraction : fractions) {
    write_file(dir_->file("killed.sql"), "");
    const pid_t pid = start_program(args("killed.sql"));
    if (fraction < 0)
      kill_when_output_appears(pid, dir_->file("killed.sql"), duration_ * 3);
    else
      std::this_thread::sleep_for(duration_ * fraction), kill(pid, SIGKILL);
    wait_for(pid);
    const std::string written = normalise_date_time(read_file(dir_->file("killed.sql")));
    EXPECT_TRUE(written.empty() || written == *complete_) << "killed at " << fraction << ": " << written.size()
                                                          << " of " << complete_->size() << " bytes";
  }
  EXPECT_EQ(folder_entries(*dir_), (std::vector<std::string>{"complete.sql", "in.log", "killed.sql"}));
}

TEST_F(LargeRun, RacingRunsLeaveOneCompleteOutput) {
  for (int trial = 0; trial < 3; ++trial) {
    const pid_t first = start_program(args("raced.sql"));
    const pid_t second = start_program(args("raced.sql"));
    EXPECT_EQ(wait_for(first), 0);
    EXPECT_EQ(wait_for(second), 0);
    EXPECT_EQ(normalise_date_time(read_file(dir_->file("raced.sql"))), *complete_) << "trial " << trial;
  }
}

TEST_F(LargeRun, ReplacedOutputKeepsItsLinkAndPermissions) {
  write_file(dir_->file("target.sql"), "old");
  fs::permissions(dir_->file("target.sql"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(dir_->file("target.sql"), dir_->file("link.sql"));
  ASSERT_EQ(run_program(args("link.sql")).exit_status, 0);
  EXPECT_TRUE(fs::is_symlink(dir_->file("link.sql")));
  EXPECT_EQ(fs::status(dir_->file("target.sql")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(normalise_date_time(read_file(dir_->file("target.sql"))), *complete_);
  fs::remove(dir_->file("link.sql"));
  fs::remove(dir_->file("target.sql"));
}

TEST_F(LargeRun, FullFileSystemLeavesNoPartialFile) {
  TempDir small;
  if (mount("viviri", small.path().c_str(), "tmpfs", 0, "size=256k") != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
  const RunResult run = run_program(standard_args("PassFail", dir_->file("in.log"), small.file("out.sql")));
  const std::vector<std::string> left = folder_entries(small);
  const std::string written = read_file(small.file("out.sql"));
  umount(small.path().c_str());
  EXPECT_EQ(run.exit_status, 252);
  EXPECT_NE(run.out.find("VIViriZovuro error: Could not write output file\n"), std::string::npos);
  EXPECT_EQ(left, std::vector<std::string>{"out.sql"});
  EXPECT_EQ(written, "");
}

TEST_F(LargeRun, MemoryRunningOutIsReported) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit allows";
#else
  fs::remove(dir_->file("starved.sql"));
  // Well below the address space the run needs (between 100 and 120 MB).
  const RunResult run = run_in_shell("ulimit -v 80000; exec \"$0\" \"$@\"", args("starved.sql"));
  EXPECT_EQ(run.exit_status, 250) << run.out.substr(0, 300);
  EXPECT_EQ(run.out, "version 0VIViriZovuro error: Not enough memory\n");
  EXPECT_EQ(read_file(dir_->file("starved.sql")), "");
#endif
}

TEST(Reliability, UnwritableStandardOutputIsReported) {
  TempDir dir;
  write_file(dir.file("in.log"), "  Test: a ...passed\n");
  for (const std::string redirection : {">&-", ">/dev/full"}) {
    const RunResult run = run_in_shell("exec \"$0\" \"$@\" " + redirection,
                                       standard_args("PassFail", dir.file("in.log"), dir.file("out.sql")));
    EXPECT_EQ(run.exit_status, 249) << redirection;
    EXPECT_NE(read_file(dir.file("out.sql")).find("'a', 'passed');\n"), std::string::npos) << redirection;
  }
}

TEST(Reliability, PipesConvertLikeFiles) {
  TempDir dir;
  const std::string fixture = std::string(VIVIRI_FIXTURES) + "/PassFail/basic.input";
  ASSERT_EQ(run_program(standard_args("PassFail", fixture, dir.file("file.sql"))).exit_status, 0);
  // A hundred runs, each reading a process substitution and writing into one.
  const std::string script =
      "program=$0; shift 2; same=0\n"
      "for i in $(seq 100); do\n"
      "  \"$program\" --input=<(cat \"$FIXTURE\") --output=>(cat > \"$DIR/piped.sql\") \"$@\" > /dev/null || exit 1\n"
      "  wait $!\n"
      "  cmp -s <(sed \"s/'[0-9:-]*', '[0-9:]*'/T/\" \"$DIR/piped.sql\") "
      "<(sed \"s/'[0-9:-]*', '[0-9:]*'/T/\" \"$DIR/file.sql\") && same=$((same + 1))\n"
      "done\n"
      "echo \"$same same\"\n";
  std::vector<std::string> args = standard_args("PassFail", "unused", "unused");
  const RunResult run = run_program(args, {"/usr/bin/env", "FIXTURE=" + fixture, "DIR=" + dir.path().string(),
                                           "/usr/bin/timeout", "120", "/bin/bash", "-c", script});
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out, "100 same\n");
}

TEST(Reliability, ReadFailingPartWayWritesNothing) {
  TempDir dir;
  write_file(dir.file("in.log"), passfail_log(20'000));
  write_file(dir.file("tidy.log"), std::string(300'000, '\n') + "a.c:1:2: warning: w [c]\n");
  write_file(dir.file("junit.xml"), "<testsuite>" + std::string(300'000, ' ') + "<testcase name='t'/></testsuite>");
  write_file(dir.file("log.sarif"), "{\"runs\": [" + std::string(300'000, ' ') + "]}");
  for (const auto& [parser_type, input] : {std::pair{"PassFail", "in.log"}, std::pair{"ClangTidy", "tidy.log"},
                                           std::pair{"PassFail_XML", "junit.xml"}, std::pair{"Warning_SARIF", "log.sarif"}}) {
    const RunResult run = run_program(
        standard_args(parser_type, dir.file(input), dir.file("out")),
        {"/usr/bin/env", "LD_PRELOAD=" VIVIRI_READ_FAIL_SHIM, "VIVIRI_FAIL_READ_AFTER=100000",
         "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1:abort_on_error=1"});
    EXPECT_EQ(run.exit_status, 251) << parser_type;
    EXPECT_EQ(run.out, "version 0VIViriZovuro error: Could not read input file\n") << parser_type;
    EXPECT_EQ(read_file(dir.file("out")), "") << parser_type;
  }
}

}  // namespace
