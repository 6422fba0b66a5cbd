#include "kinds/coverage_figures.h"

#include "detail/tables.h"

namespace Kinds {

std::optional<double> percent(std::int64_t tested, std::int64_t testable) {
  if (testable <= 0) return std::nullopt;
  return 100.0 * static_cast<double>(tested) / static_cast<double>(testable);
}

coverage_by_name coverage_of(const rows& stored) {
  const Detail::sql_table& table = Detail::ut_coverage_table();
  const std::size_t name = column_of(table, "function_name");
  const std::size_t lines_tested = column_of(table, "C0_tested_lines");
  const std::size_t lines_testable = column_of(table, "C0_testable_lines");
  const std::size_t branches_tested = column_of(table, "C1_tested_lines");
  const std::size_t branches_testable = column_of(table, "C1_testable_lines");
  coverage_by_name found;
  for (const Detail::stored_row& row : stored) {
    found.emplace(row[name], coverage_totals{whole_number(row[lines_tested]), whole_number(row[lines_testable]),
                                             whole_number(row[branches_tested]),
                                             whole_number(row[branches_testable])});
  }
  return found;
}

coverage_totals totals_of(const coverage_by_name& figures) {
  if (const auto statistics = figures.find(std::string(module_statistics)); statistics != figures.end())
    return statistics->second;
  coverage_totals sum;
  for (const auto& [name, row] : figures) {
    sum.lines_tested += row.lines_tested;
    sum.lines_testable += row.lines_testable;
    sum.branches_tested += row.branches_tested;
    sum.branches_testable += row.branches_testable;
  }
  return sum;
}

coverage_totals count_coverage(const rows& stored) { return totals_of(coverage_of(stored)); }

}  // namespace Kinds
