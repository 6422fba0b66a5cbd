#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "compare/kinds.h"
#include "compare/numbers.h"
#include "detail/tables.h"

namespace Compare {

namespace {

// A diagnostic printed twice (a header included by two files) is one warning.
std::vector<warning> distinct_warnings(const rows& stored) {
  const Detail::sql_table& table = Detail::compiler_results_table();
  const std::size_t filename = column_of(table, "filename");
  const std::size_t line = column_of(table, "line");
  const std::size_t type = column_of(table, "type");
  const std::size_t error_id = column_of(table, "error_id");
  std::set<std::tuple<std::string, std::string, std::string, std::string>> seen;
  std::vector<warning> found;
  for (const Detail::stored_row& row : stored) {
    if (seen.emplace(row[filename], row[line], row[type], row[error_id]).second)
      found.push_back({row[filename], line_number(row[line]), row[type], row[error_id]});
  }
  std::sort(found.begin(), found.end(), [](const warning& a, const warning& b) {
    return std::tie(a.filename, a.line, a.type, a.error_id) < std::tie(b.filename, b.line, b.type, b.error_id);
  });
  return found;
}

counts_by_type counts_of(const std::vector<warning>& warnings) {
  counts_by_type counts;
  for (const warning& found : warnings) ++counts[found.type];
  return counts;
}

using group_key = std::tuple<std::string, std::string, std::string>;  // filename, type, error_id
using lines = std::multiset<std::int64_t>;                              // none (no line) as -1

std::map<group_key, lines> grouped(const std::vector<warning>& warnings) {
  std::map<group_key, lines> groups;
  for (const warning& found : warnings)
    groups[{found.filename, found.type, found.error_id}].insert(found.line.value_or(-1));
  return groups;
}

// Lines move with every edit: the warnings of one file, type and identifier
// are matched on the same line first, then each remaining current one with
// the nearest remaining line of the baseline. What stays unmatched is new
// (in `current`) or fixed (in `previous`).
void match(lines& current, lines& previous) {
  for (auto at = current.begin(); at != current.end();) {
    const auto same = previous.find(*at);
    if (same == previous.end()) {
      ++at;
      continue;
    }
    previous.erase(same);
    at = current.erase(at);
  }
  for (auto at = current.begin(); at != current.end() && !previous.empty();) {
    auto nearest = previous.lower_bound(*at);
    if (nearest == previous.end() || (nearest != previous.begin() && *at - *std::prev(nearest) <= *nearest - *at))
      nearest = std::prev(nearest);
    previous.erase(nearest);
    at = current.erase(at);
  }
}

void list(const group_key& key, const lines& left, std::vector<warning>& out) {
  for (std::int64_t line : left) {
    out.push_back({std::get<0>(key), line < 0 ? std::nullopt : std::optional(line), std::get<1>(key),
                   std::get<2>(key)});
  }
}

}  // namespace

counts_by_type count_warnings(const rows& current) { return counts_of(distinct_warnings(current)); }

warnings_comparison compare_warnings(const rows& current, const rows* previous) {
  warnings_comparison found;
  const std::vector<warning> now = distinct_warnings(current);
  found.current = counts_of(now);
  if (!previous) return found;
  const std::vector<warning> before = distinct_warnings(*previous);
  found.previous = counts_of(before);
  std::map<group_key, lines> now_groups = grouped(now);
  std::map<group_key, lines> before_groups = grouped(before);
  for (auto& [key, now_lines] : now_groups) {
    if (auto earlier = before_groups.find(key); earlier != before_groups.end()) match(now_lines, earlier->second);
    list(key, now_lines, found.added);
  }
  for (const auto& [key, before_lines] : before_groups) list(key, before_lines, found.fixed);
  return found;
}

}  // namespace Compare
