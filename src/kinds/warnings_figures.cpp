#include "kinds/warnings_figures.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "detail/tables.h"
#include "kinds/warning_paths.h"

namespace Kinds {

std::vector<warning> distinct_warnings(const rows& stored, const path_mapping& map_path) {
  const Detail::sql_table& table = Detail::compiler_results_table();
  const std::size_t filename = column_of(table, "filename");
  const std::size_t line = column_of(table, "line");
  const std::size_t type = column_of(table, "type");
  const std::size_t error_id = column_of(table, "error_id");
  std::set<std::tuple<std::string, std::string, std::string, std::string>> seen;
  std::vector<warning> found;
  for (const Detail::stored_row& row : stored) {
    std::string path = map_path ? map_path(row[filename]) : normal_path(row[filename]);
    if (seen.emplace(path, row[line], row[type], row[error_id]).second)
      found.push_back({std::move(path), line_number(row[line]), row[type], row[error_id]});
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

counts_by_type count_warnings(const rows& stored, const path_mapping& map_path) {
  return counts_of(distinct_warnings(stored, map_path));
}

}  // namespace Kinds
