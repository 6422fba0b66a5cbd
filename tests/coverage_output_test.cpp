#include "coverage/coverage_output.h"

#include <gtest/gtest.h>

#include "coverage/ctc_coverage_result_element.h"
#include "coverage/gcov_coverage_result_element.h"

namespace {

Detail::options run_options() {
  Detail::options options;
  options.platform = "Pwe3";
  options.project_name = "K7Tr52_App_default";
  options.tool_name = "CTC";
  options.hash_value = "1a2b3c4";
  options.test_type = "Unit";  // not written
  return options;
}

template <typename Record>
Record record(const std::string& name) {
  Record r;
  r.function_name = name;
  r.C0_percent = "100";
  r.C0_tested_lines = "3";
  r.C0_testable_lines = "3";
  r.C1_percent = "50";
  r.C1_tested_lines = "1";
  r.C1_testable_lines = "2";
  return r;
}

const std::string create_line =
    "create table if not exists ut_coverage (platform, project, tool, githash, date, time, C0_percent INTEGER, "
    "C0_tested_lines INTEGER, C0_testable_lines INTEGER, C1_percent INTEGER, C1_tested_lines INTEGER, "
    "C1_testable_lines INTEGER, function_name, UNIQUE (project, githash, function_name) ON CONFLICT IGNORE);";
const std::string insert_prefix =
    "insert into ut_coverage (platform, project, tool, githash, date, time, C0_percent, C0_tested_lines, "
    "C0_testable_lines, C1_percent, C1_tested_lines, C1_testable_lines, function_name) values (";

TEST(CoverageOutput, OneWriterForBothRecordTypes) {
  const std::deque<std::string> expected = {
      create_line,
      insert_prefix +
          R"("Pwe3", "K7Tr52_App_default", "CTC", "1a2b3c4", "2022-05-17", "09:05:00", "100", "3", "3", "50", "1", "2", "foo");)",
      insert_prefix +
          R"("Pwe3", "K7Tr52_App_default", "CTC", "1a2b3c4", "2022-05-17", "09:05:00", "100", "3", "3", "50", "1", "2", "a""b");)",
      insert_prefix +
          R"("Pwe3", "K7Tr52_App_default", "CTC", "1a2b3c4", "2022-05-17", "09:05:00", "100", "3", "3", "50", "1", "2", "foo");)"};
  const std::deque<QZCtcCoverageResultElement> ctc = {record<QZCtcCoverageResultElement>("foo"),
                                                      record<QZCtcCoverageResultElement>("a\"b"),
                                                      record<QZCtcCoverageResultElement>("foo")};
  EXPECT_EQ(Coverage::coverage_script(ctc, run_options(), "2022-05-17", "09:05:00").lines(), expected);
  const std::deque<QZGCovCoverageResultElement> gcov = {record<QZGCovCoverageResultElement>("foo"),
                                                        record<QZGCovCoverageResultElement>("a\"b"),
                                                        record<QZGCovCoverageResultElement>("foo")};
  EXPECT_EQ(Coverage::coverage_script(gcov, run_options(), "2022-05-17", "09:05:00").lines(), expected);
  EXPECT_EQ(Coverage::coverage_script(std::deque<QZGCovCoverageResultElement>{}, run_options(), "d", "t").lines(),
            std::deque<std::string>{create_line});
}

}  // namespace
