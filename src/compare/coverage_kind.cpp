#include <map>

#include "compare/kinds.h"
#include "compare/numbers.h"
#include "detail/tables.h"

namespace Compare {

namespace {

// The row LCOV-like converters write last with the sums of every file.
constexpr std::string_view module_statistics = "*module_statistics";

using by_name = std::map<std::string, coverage_totals>;

by_name figures_of(const rows& stored) {
  const Detail::sql_table& table = Detail::ut_coverage_table();
  const std::size_t name = column_of(table, "function_name");
  const std::size_t lines_tested = column_of(table, "C0_tested_lines");
  const std::size_t lines_testable = column_of(table, "C0_testable_lines");
  const std::size_t branches_tested = column_of(table, "C1_tested_lines");
  const std::size_t branches_testable = column_of(table, "C1_testable_lines");
  by_name found;
  for (const Detail::stored_row& row : stored) {
    found.emplace(row[name], coverage_totals{whole_number(row[lines_tested]), whole_number(row[lines_testable]),
                                             whole_number(row[branches_tested]),
                                             whole_number(row[branches_testable])});
  }
  return found;
}

coverage_totals totals_of(const by_name& figures) {
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

}  // namespace

coverage_totals count_coverage(const rows& current) { return totals_of(figures_of(current)); }

coverage_comparison compare_coverage(const rows& current, const rows* previous) {
  coverage_comparison found;
  const by_name now = figures_of(current);
  found.current = totals_of(now);
  if (!previous) return found;
  const by_name before = figures_of(*previous);
  found.previous = totals_of(before);
  for (const auto& [name, row] : now) {
    if (name == module_statistics) continue;
    const auto earlier = before.find(name);
    if (earlier == before.end()) {
      found.added.push_back(name);
      continue;
    }
    const std::optional<double> percent_now = percent(row.lines_tested, row.lines_testable);
    const std::optional<double> percent_before = percent(earlier->second.lines_tested, earlier->second.lines_testable);
    if (percent_now && percent_before && *percent_now < *percent_before)
      found.dropped.push_back({name, *percent_now, *percent_before});
  }
  for (const auto& [name, row] : before) {
    if (name != module_statistics && !now.contains(name)) found.removed.push_back(name);
  }
  return found;
}

}  // namespace Compare
