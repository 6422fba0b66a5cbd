#include "results/results_output.h"

namespace Results {

Detail::SqlScript results_script_start(const Detail::options& options, const std::string& date,
                                       const std::string& time) {
  Detail::SqlScript script(
      "create table if not exists ut_results (platform, project, tool, githash, date, time, type, name, result, "
      "UNIQUE (project, githash, name) ON CONFLICT IGNORE);",
      "insert into ut_results (platform, project, tool, githash, date, time, type, name, result) values (");
  script.set_leading_values(
      {options.platform, options.project_name, options.tool_name, options.hash_value, date, time, options.test_type});
  return script;
}

}  // namespace Results
