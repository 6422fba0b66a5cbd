// The road of the coverage readers that read a whole report into rows and
// may refuse it (coverage_output.h).

#include "coverage/coverage_output.h"

#include "detail/messages.h"
#include "detail/run_files.h"
#include "detail/text_helpers.h"

namespace Coverage {

void convert_rows_to_coverage_script(const Detail::options& options, read_rows_function read_rows,
                                     std::string_view what) {
  std::string date, time;
  Detail::get_date_and_time_string(date, time);

  std::vector<coverage_row> rows;
  const std::string problem = read_rows(Detail::take_run_input(options.input), rows);
  if (!problem.empty()) {
    std::string message = "Input is not ";
    message.append(what).append(" (").append(problem).append(")");
    Detail::print_error(message);
  }

  Detail::TableRows table(options, ut_coverage_table(), date, time);
  for (const coverage_row& row : rows) add_coverage_row(table, row);
  table.finish();
}

}  // namespace Coverage
