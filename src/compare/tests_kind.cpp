#include <algorithm>
#include <map>

#include "compare/kinds.h"
#include "detail/tables.h"

namespace Compare {

namespace {

using verdicts = std::map<std::string, std::string>;  // test name -> result, by name

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

}  // namespace

test_totals count_tests(const rows& current) { return totals_of(verdicts_of(current)); }

tests_comparison compare_tests(const rows& current, const rows* previous) {
  tests_comparison found;
  const verdicts now = verdicts_of(current);
  found.current = totals_of(now);
  if (!previous) return found;
  const verdicts before = verdicts_of(*previous);
  found.previous = totals_of(before);
  for (const auto& [name, result] : now) {
    const auto earlier = before.find(name);
    const bool failed_before = earlier != before.end() && earlier->second == "FAILED";
    if (earlier == before.end()) found.added.push_back(name);
    if (result == "FAILED") {
      if (failed_before) found.still_failing.push_back({name, {}});
      else found.new_failures.push_back(name);
    } else if (result == "passed" && failed_before) {
      found.fixed.push_back(name);
    }
  }
  for (const auto& [name, result] : before) {
    if (!now.contains(name)) found.removed.push_back(name);
  }
  return found;
}

}  // namespace Compare
