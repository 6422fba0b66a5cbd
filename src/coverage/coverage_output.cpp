#include "coverage/coverage_output.h"

namespace Coverage {

Detail::SqlScript empty_coverage_script() {
  return Detail::SqlScript(
      "create table if not exists ut_coverage (platform, project, tool, githash, date, time, C0_percent INTEGER, "
      "C0_tested_lines INTEGER, C0_testable_lines INTEGER, C1_percent INTEGER, C1_tested_lines INTEGER, "
      "C1_testable_lines INTEGER, function_name, UNIQUE (project, githash, function_name) ON CONFLICT IGNORE);",
      "insert into ut_coverage (platform, project, tool, githash, date, time, C0_percent, C0_tested_lines, "
      "C0_testable_lines, C1_percent, C1_tested_lines, C1_testable_lines, function_name) values (");
}

}  // namespace Coverage
