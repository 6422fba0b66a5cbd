#include "kinds/tests_figures.h"

#include "detail/tables.h"

namespace Kinds {

verdicts verdicts_of(const rows& stored) {
  const Detail::sql_table& table = Detail::ut_results_table();
  const std::size_t name = column_of(table, "name");
  const std::size_t result = column_of(table, "result");
  verdicts found;
  for (const Detail::stored_row& row : stored) found.emplace(row[name], row[result]);
  return found;
}

test_totals totals_of(const verdicts& tests) {
  test_totals totals;
  for (const auto& [name, result] : tests) {
    ++totals.total;
    if (result == "passed") ++totals.passed;
    else if (result == "FAILED") ++totals.failed;
    else if (result == "skipped") ++totals.skipped;
  }
  return totals;
}

test_totals count_tests(const rows& stored) { return totals_of(verdicts_of(stored)); }

}  // namespace Kinds
