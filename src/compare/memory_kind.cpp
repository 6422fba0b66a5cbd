#include <algorithm>
#include <map>
#include <set>

#include "compare/kinds.h"
#include "compare/numbers.h"
#include "detail/tables.h"

namespace Compare {

namespace {

// A report loaded twice for one hash counts once: rows equal in every column
// but the date and time are one.
std::vector<Detail::stored_row> distinct_rows(const rows& stored) {
  const Detail::sql_table& table = Detail::compiler_map_table();
  const std::size_t date = column_of(table, "date");
  const std::size_t time = column_of(table, "time");
  std::set<Detail::stored_row> seen;
  std::vector<Detail::stored_row> kept;
  for (Detail::stored_row row : stored) {
    row[date].clear();
    row[time].clear();
    if (seen.insert(row).second) kept.push_back(std::move(row));
  }
  return kept;
}

using pair_key = std::pair<std::string, std::string>;  // section, filename

struct sizes {
  std::map<std::string, std::uint64_t> groups;
  std::map<pair_key, std::uint64_t> pairs;
  std::uint64_t total = 0;
};

sizes sizes_of(const rows& stored) {
  const Detail::sql_table& table = Detail::compiler_map_table();
  const std::size_t section = column_of(table, "section");
  const std::size_t filename = column_of(table, "filename");
  const std::size_t size = column_of(table, "sizedec");
  sizes found;
  for (const Detail::stored_row& row : distinct_rows(stored)) {
    const std::uint64_t bytes = unsigned_number(row[size]);
    const std::string group(section_group(row[section]));
    found.groups[group] += bytes;
    found.pairs[{row[section], row[filename]}] += bytes;
    if (!is_non_target_section(group)) found.total += bytes;
  }
  return found;
}

}  // namespace

std::string_view section_group(std::string_view section) { return section.substr(0, section.find(" -> ")); }

bool is_non_target_section(std::string_view section) {
  constexpr std::string_view prefixes[] = {".debug", ".zdebug", ".comment", ".note", ".stab", ".gnu_debug",
                                           ".GCC.command.line"};
  constexpr std::string_view names[] = {".ARM.attributes", ".gnu.attributes", ".riscv.attributes",
                                        ".mdebug", ".pdr", ".ident"};
  for (std::string_view prefix : prefixes) {
    if (section.starts_with(prefix)) return true;
  }
  return std::find(std::begin(names), std::end(names), section) != std::end(names);
}

std::uint64_t count_memory(const rows& current, std::map<std::string, std::uint64_t>* groups) {
  sizes found = sizes_of(current);
  if (groups) {
    for (const auto& [group, bytes] : found.groups) {
      if (!is_non_target_section(group)) (*groups)[group] = bytes;
    }
  }
  return found.total;
}

memory_comparison compare_memory(const rows& current, const rows* previous) {
  memory_comparison found;
  const sizes now = sizes_of(current);
  found.current = now.total;
  const sizes before = previous ? sizes_of(*previous) : sizes{};
  if (previous) found.previous = before.total;
  std::set<std::string> groups;
  for (const auto& [group, bytes] : now.groups) groups.insert(group);
  for (const auto& [group, bytes] : before.groups) groups.insert(group);
  for (const std::string& group : groups) {
    section_sizes entry{group, !is_non_target_section(group), std::nullopt, std::nullopt};
    if (auto at = now.groups.find(group); at != now.groups.end()) entry.current = at->second;
    if (auto at = before.groups.find(group); previous && at != before.groups.end()) entry.previous = at->second;
    found.sections.push_back(entry);
  }
  if (!previous) return found;
  for (const auto& [key, bytes] : now.pairs) {
    if (is_non_target_section(section_group(key.first))) continue;  // no target memory grew
    const auto earlier = before.pairs.find(key);
    const std::uint64_t was = earlier == before.pairs.end() ? 0 : earlier->second;
    if (bytes > was) found.grown.push_back({key.first, key.second, bytes, was});
  }
  std::stable_sort(found.grown.begin(), found.grown.end(), [](const memory_growth& a, const memory_growth& b) {
    return a.current - a.previous > b.current - b.previous;
  });
  return found;
}

}  // namespace Compare
