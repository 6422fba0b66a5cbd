// The road of the coverage readers that read a whole report into rows and
// may refuse it (coverage_output.h).

#include "coverage/coverage_output.h"

#include "detail/messages.h"
#include "detail/sql_conversion.h"

namespace Coverage {

void convert_rows_to_coverage_script(const Detail::options& options, read_rows_function read_rows,
                                     std::string_view what) {
  std::vector<coverage_row> rows;
  const auto read = [&](std::istream& in, std::vector<coverage_row>& out) {
    const std::string problem = read_rows(in, out);
    if (problem.empty()) return;
    std::string message = "Input is not ";
    message.append(what).append(" (").append(problem).append(")");
    Detail::print_error(message);
  };
  Detail::convert_to_table(options, ut_coverage_table(), rows, read,
                           [](Detail::TableRows& table, const std::vector<coverage_row>& converted) {
                             for (const coverage_row& row : converted) add_coverage_row(table, row);
                           });
}

}  // namespace Coverage
