#pragma once
// Loads whose rows a table's key keeps out, told on standard error: the same
// cases for every database (run_skipped_rows_case loads them into one).

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/files.h"
#include "support/program.h"

namespace test_support {

struct keyed_load {
  std::string parser_type;
  std::string input;
  std::string platform;
  std::string tool;
  std::string warning;  // the whole of standard error
  std::string project;
};

inline keyed_load load(std::string parser_type, std::string input, std::string platform, std::string tool,
                       std::string warning = "", std::string project = "K7Tr52_App_default") {
  return {std::move(parser_type), std::move(input), std::move(platform), std::move(tool), std::move(warning),
          std::move(project)};
}

struct skipped_rows_case {
  std::string what;
  std::vector<keyed_load> loads;  // in order, into one database
};

inline std::string skipped_warning(const std::string& counts, const std::string& table, const std::string& key,
                                   const std::string& sources, bool same_run) {
  return "VIViriZovuro warning: " + counts + " rows of " + table +
         " were not loaded: the table already holds rows with their key (" + key + "), loaded for " + sources +
         (same_run ? " (a second load of the same run keeps the first load's rows)\n"
                   : " (the key has no platform or tool: load each under a project name of its own)\n");
}

inline std::vector<skipped_rows_case> skipped_rows_cases() {
  const std::string coverage_key = "project K7Tr52_App_default, hash HASH, function_name";
  const std::string tests = "  Test: a ...passed\n  Test: b ...passed\n  Test: a ...failed\n";
  const std::string qac =
      "D:\\ws\\Src_QZ\\app\\main.c (12) : warning : QAC(Prio5) Msg: 3408(Identifier has external linkage.) Ref:M\n";
  const std::string ab = "SF:a.c\nDA:1,1\nend_of_record\nSF:b.c\nDA:1,0\nend_of_record\n";
  return {
      {"a report repeating its own keys loads without a warning", {load("PassFail", tests, "Pwe3", "CTC")}},
      {"a second load of the same run",
       {load("PassFail", tests, "Pwe3", "CTC"),
        load("PassFail", tests, "Pwe3", "CTC",
             skipped_warning("2 of 2", "ut_results", "project K7Tr52_App_default, hash HASH, name",
                             "platform Pwe3, tool CTC", true))}},
      {"a second tool's coverage of the same files",
       {load("LCOV_Coverage", ab, "Pwe3", "LCOV"),
        load("LCOV_Coverage", "SF:a.c\nDA:1,1\nend_of_record\nSF:c.c\nDA:1,1\nend_of_record\nSF:d.c\nend_of_record\n",
             "Pwe3", "GCOV",
             skipped_warning("2 of 4", "ut_coverage", coverage_key, "platform Pwe3, tool LCOV", false))}},
      {"held rows of two platforms, the one with more rows first",
       {load("LCOV_Coverage", ab, "Pwe3", "LCOV"),
        load("LCOV_Coverage", "SF:c.c\nDA:1,1\nend_of_record\n", "Ruxi", "LCOV",
             skipped_warning("1 of 2", "ut_coverage", coverage_key, "platform Pwe3, tool LCOV", false)),
        load("LCOV_Coverage", ab + "SF:c.c\nDA:1,1\nend_of_record\nSF:d.c\nend_of_record\n", "Pwe3", "GCOV",
             skipped_warning("4 of 5", "ut_coverage", coverage_key,
                             "platform Pwe3, tool LCOV and platform Ruxi, tool LCOV", false))}},
      {"q_results, whose key has no project",
       {load("QAC", qac, "Pwe3", "QAC", "", "First"),
        load("QAC", qac, "Pwe3", "QAC_9",
             skipped_warning("1 of 1", "q_results", "any project, hash HASH, filename", "platform Pwe3, tool QAC",
                             false),
             "Second")}},
  };
}

/// Loads the case's reports, in order, into `database` (empty); each must
/// exit with 0, write its script unchanged and give its warning.
inline void run_skipped_rows_case(const skipped_rows_case& tested, const std::string& database) {
  TempDir dir;
  for (std::size_t i = 0; i < tested.loads.size(); ++i) {
    const keyed_load& load = tested.loads[i];
    SCOPED_TRACE("load " + std::to_string(i + 1));
    write_file(dir.file("report"), load.input);
    std::vector<std::string> args = standard_args(load.parser_type, dir.file("report"), dir.file("out.sql"));
    for (std::string& arg : args) {
      if (arg.starts_with("--platform=")) arg = "--platform=" + load.platform;
      if (arg.starts_with("--tool_name=")) arg = "--tool_name=" + load.tool;
      if (arg.starts_with("--project_name=")) arg = "--project_name=" + load.project;
    }
    args.push_back("--database=" + database);
    const RunResult run = run_program(args);
    EXPECT_EQ(run.exit_status, 0) << run.out;
    EXPECT_EQ(run.err, load.warning);
    EXPECT_EQ(run.out, "version 0" + read_file(dir.file("out.sql")));
  }
}

}  // namespace test_support
