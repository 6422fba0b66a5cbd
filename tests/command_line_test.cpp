// The program's command line, file checks and exit statuses, run as a
// pipeline runs it.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "support/files.h"
#include "support/program.h"

using namespace test_support;

namespace {

const std::string usage =
    "VIViriZovuro error: Not enough command line arguments.\n"
    "Usage: VIViriZovuro.exe\n"
    " --input=INFILE\n"
    " --output=OUTFILE\n"
    " --platform=Pwe3|Ruxi\n"
    " --test_type=Unit|Integration\n"
    " --project_name=K7Tr52_App_default\n"
    " --tool_name=CTC|GCOV|QAC\n"
    " --hash_value=HASH\n"
    " --parser_type=PassFail|GCOV_Coverage|CTC_Coverage|QAC|QAC_full_report|Warning|Map|Map_KEIL\n";

const std::string no_input = "version 0VIViriZovuro error: Could not open input file\n";
const std::string no_output = "version 0VIViriZovuro error: Could not open output file\n";

class CommandLine : public testing::Test {
 protected:
  CommandLine() { write_file(input, "  Test: a ...passed\n"); }
  TempDir dir;
  const std::string input = dir.file("in.log");
  const std::string output = dir.file("out.sql");
};

TEST_F(CommandLine, FiveArgumentsGiveTheUsage) {
  const RunResult run = run_program({"--input=" + input, "--output=" + output, "a", "b", "c"});
  EXPECT_EQ(run.exit_status, 255);
  EXPECT_EQ(run.out, "version 0" + usage);
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_EQ(run_program({}).out, "version 0" + usage);
}

TEST_F(CommandLine, AnySixArgumentsPassTheCount) {
  const RunResult run = run_program({"a", "b", "c", "d", "e", "f"});
  EXPECT_EQ(run.exit_status, 254);  // no --input: the empty path does not open
  EXPECT_EQ(run.out, no_input);
}

TEST_F(CommandLine, FileChecks) {
  write_file(output, "kept");
  const struct {
    std::string input, output;
    int status;
    std::string out;
  } cases[] = {
      {dir.file("missing.log"), output, 254, no_input},
      {dir.path().string(), output, 254, no_input},  // a directory is no input file
      {"", output, 254, no_input},
      {input, dir.file("missing/out.sql"), 253, no_output},
      {input, dir.path().string(), 253, no_output},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = standard_args("PassFail", c.input, c.output);
    const RunResult run = run_program(args);
    EXPECT_EQ(run.exit_status, c.status) << c.input << " -> " << c.output;
    EXPECT_EQ(run.out, c.out) << c.input << " -> " << c.output;
  }
  EXPECT_EQ(read_file(output), "kept");  // never truncated when the input is missing
}

TEST_F(CommandLine, UnreadableInputIsRefused) {
  // Root reads any file, so as root the program runs as nobody.
  std::vector<std::string> prefix;
  if (geteuid() == 0) prefix = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
  std::filesystem::permissions(input, std::filesystem::perms::none);
  write_file(output, "kept");
  std::filesystem::permissions(output, std::filesystem::perms::all);
  const RunResult run = run_program(standard_args("PassFail", input, output), prefix);
  EXPECT_EQ(run.exit_status, 254);
  EXPECT_EQ(run.out, no_input);
  EXPECT_EQ(read_file(output), "kept");
}

TEST_F(CommandLine, OutputThatIsTheInputIsRefusedAndTheInputKept) {
  const std::string report = read_file(input);
  std::filesystem::create_hard_link(input, dir.file("hard.log"));
  std::filesystem::create_symlink(input, dir.file("soft.log"));
  for (const std::string& same : {input, dir.file("hard.log"), dir.file("soft.log"), dir.file("./in.log")}) {
    const RunResult run = run_program(standard_args("PassFail", input, same));
    EXPECT_EQ(run.exit_status, 253) << same;
    EXPECT_EQ(run.out, no_output) << same;
    EXPECT_EQ(read_file(input), report) << same;
  }
}

TEST_F(CommandLine, UnknownParserTypeLeavesAnEmptyOutput) {
  for (const std::string type : {"passfail", "", "PassFail ", "Unknown"}) {
    write_file(output, "old content");
    const RunResult run = run_program(standard_args(type, input, output));
    EXPECT_EQ(run.exit_status, 0) << type;
    EXPECT_EQ(run.out, "version 0") << type;
    EXPECT_EQ(read_file(output), "") << type;
  }
}

TEST_F(CommandLine, HelpChangesNothing) {
  std::vector<std::string> args = standard_args("PassFail", input, output);
  const RunResult plain = run_program(args);
  args.insert(args.begin() + 3, "--help");
  const RunResult with_help = run_program(args);
  EXPECT_EQ(with_help.exit_status, 0);
  EXPECT_EQ(normalise_date_time(with_help.out), normalise_date_time(plain.out));
}

TEST_F(CommandLine, FullDeviceIsReportedNotHidden) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  const RunResult run = run_program(standard_args("PassFail", input, "/dev/full"));
  EXPECT_EQ(run.exit_status, 252);
  const std::string script =
      "BEGIN TRANSACTION;\ncreate table if not exists ut_results (platform, project, tool, githash, date, time, type, name, result, "
      "UNIQUE (project, githash, name) ON CONFLICT IGNORE);\n"
      "insert into ut_results (platform, project, tool, githash, date, time, type, name, result) values ('Pwe3', "
      "'K7Tr52_App_default', 'CTC', 'HASH', '<date>', '<time>', 'Unit', 'a', 'passed');\nCOMMIT;\n";
  EXPECT_EQ(normalise_date_time(run.out), "version 0" + script + "VIViriZovuro error: Could not write output file\n");
}

TEST_F(CommandLine, LineTheEngineGivesUpOnIsSkippedAndTheRestConverted) {
  // A run of blanks with no message text after it makes the warning pattern
  // backtrack over every split of the run. (PassFail verdict lines no longer
  // go through the pattern engine: its scanner never gives up.)
  write_file(input, "\"../Src/a.c\", line 57: warning" + std::string(1'000'000, ' ') +
                        "x\n\"../Src/after.c\", line 1: error #20:\n");
  const RunResult run = run_program(standard_args("Warning", input, output));
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out.rfind("version 0VIViriZovuro error: Pattern matching gave up on input line 1, the line was "
                          "skipped\nBEGIN TRANSACTION;\ncreate table",
                          0),
            0u)
      << run.out.substr(0, 200);
  EXPECT_NE(read_file(output).find("'after.c', '1', 'error', '#20', '');\n"), std::string::npos);
}

}  // namespace
