#include "results/results_output.h"

#include "detail/output_writer.h"

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

void write_results(const Detail::options& options, const std::string& date, const std::string& time,
                   const std::vector<std::pair<std::string, std::string>>& results) {
  Detail::SqlScript script = results_script_start(options, date, time);
  for (const auto& [name, verdict] : results) script.add_row({name, verdict});
  Detail::write_output(options.output, script.text());
}

}  // namespace Results
