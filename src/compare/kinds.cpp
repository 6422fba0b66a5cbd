#include "compare/kinds.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

#include "compare/numbers.h"

namespace Compare {

std::optional<double> percent(std::int64_t tested, std::int64_t testable) {
  if (testable <= 0) return std::nullopt;
  return 100.0 * static_cast<double>(tested) / static_cast<double>(testable);
}

std::string band_name(std::size_t band) { return band + 1 < band_count ? "misra_" + std::to_string(band) : "his"; }

std::string_view chosen_by_name(chosen_by how) {
  switch (how) {
    case chosen_by::baseline: return "baseline";
    case chosen_by::ancestors: return "ancestors";
    case chosen_by::history: return "history";
  }
  return "";
}

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

}  // namespace Compare
