#include "results/results_output.h"

#include "detail/sql_conversion.h"

namespace Results {

void convert_results(const Detail::options& options,
                     const std::function<void(std::istream&, std::vector<result>&)>& read) {
  std::vector<result> results;
  Detail::convert_to_table(options, ut_results_table(), results, read,
                           [](Detail::TableRows& rows, const std::vector<result>& verdicts) {
                             for (const result& verdict : verdicts) rows.add({verdict.first, verdict.second});
                           });
}

}  // namespace Results
