#include "kinds/memory_figures.h"

#include <algorithm>
#include <iterator>
#include <set>

#include "detail/tables.h"

namespace Kinds {

namespace {

rows distinct_rows(const rows& stored) {
  const Detail::sql_table& table = Detail::compiler_map_table();
  const std::size_t date = column_of(table, "date");
  const std::size_t time = column_of(table, "time");
  std::set<Detail::stored_row> seen;
  rows kept;
  for (Detail::stored_row row : stored) {
    row[date].clear();
    row[time].clear();
    if (seen.insert(row).second) kept.push_back(std::move(row));
  }
  return kept;
}

}  // namespace

std::string_view section_group(std::string_view section) {
  section = section.substr(0, section.find(" -> "));
  if (section == "COMMON") return ".bss";
  for (std::string_view output : {".text", ".rodata", ".data", ".bss", ".tdata", ".tbss"}) {
    if (section.size() > output.size() && section.starts_with(output) && section[output.size()] == '.')
      return output;
  }
  return section;
}

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

memory_sizes sizes_of(const rows& stored) {
  const Detail::sql_table& table = Detail::compiler_map_table();
  const std::size_t section = column_of(table, "section");
  const std::size_t filename = column_of(table, "filename");
  const std::size_t size = column_of(table, "sizedec");
  memory_sizes found;
  for (const Detail::stored_row& row : distinct_rows(stored)) {
    const std::uint64_t bytes = unsigned_number(row[size]);
    const std::string group(section_group(row[section]));
    found.groups[group] += bytes;
    found.pairs[{row[section], row[filename]}] += bytes;
    if (!is_non_target_section(group)) found.total += bytes;
  }
  return found;
}

std::uint64_t count_memory(const rows& stored, std::map<std::string, std::uint64_t>* groups) {
  memory_sizes found = sizes_of(stored);
  if (groups) {
    for (const auto& [group, bytes] : found.groups) {
      if (!is_non_target_section(group)) (*groups)[group] = bytes;
    }
  }
  return found.total;
}

}  // namespace Kinds
