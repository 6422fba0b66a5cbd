#include "kinds/stored_rows.h"

#include <charconv>
#include <stdexcept>
#include <string>

namespace Kinds {

std::size_t column_of(const Detail::sql_table& table, std::string_view name) {
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    if (table.columns[i].name == name) return i;
  }
  // The kinds name only their tables' columns: no input can cause this.
  throw std::logic_error("no column " + std::string(name) + " in " + std::string(table.name));
}

rows rows_where(const rows& all, const Detail::sql_table& table, std::string_view column, std::string_view value) {
  const std::size_t at = column_of(table, column);
  rows kept;
  for (const Detail::stored_row& row : all) {
    if (row[at] == value) kept.push_back(row);
  }
  return kept;
}

std::int64_t whole_number(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::uint64_t unsigned_number(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  std::uint64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::optional<std::int64_t> line_number(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace Kinds
