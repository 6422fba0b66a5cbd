#include "results/results_output.h"

#include "detail/run_files.h"
#include "detail/table_rows.h"
#include "detail/text_helpers.h"

namespace Results {

void convert_results(const Detail::options& options,
                     const std::function<void(std::ifstream&, std::vector<result>&)>& read) {
  std::string date, time;
  Detail::get_date_and_time_string(date, time);
  std::vector<result> results;
  read(Detail::take_run_input(options.input), results);
  Detail::TableRows rows(options, ut_results_table(), date, time);
  for (const result& verdict : results) rows.add({verdict.first, verdict.second});
  rows.finish();
}

}  // namespace Results
