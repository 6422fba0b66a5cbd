#include "results/results_output.h"

#include "detail/table_rows.h"

namespace Results {

const Detail::sql_table& ut_results_table() {
  static const Detail::sql_table table{
      "ut_results",
      {{"platform"}, {"project"}, {"tool"}, {"githash"}, {"date"}, {"time"}, {"type"}, {"name"}, {"result"}},
      7,
      {"project", "githash", "name"}};
  return table;
}

void write_results(const Detail::options& options, const std::string& date, const std::string& time,
                   const std::vector<result>& results) {
  Detail::TableRows rows(options, ut_results_table(), date, time);
  for (const result& verdict : results) rows.add({verdict.first, verdict.second});
  rows.finish();
}

}  // namespace Results
