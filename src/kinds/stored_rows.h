#pragma once
// A run's rows as the database holds them (every column of the table in
// order, every value as text), and the numbers read from them: an empty or
// unreadable value counts as 0 (an empty numeric value is how both databases
// give a missing figure).

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "detail/row_source.h"
#include "detail/sql_table.h"

namespace Kinds {

using rows = std::vector<Detail::stored_row>;

/// The column's position in `table` (the table descriptions name it).
std::size_t column_of(const Detail::sql_table& table, std::string_view name);

/// Only the rows whose `column` of `table` holds `value`.
rows rows_where(const rows& all, const Detail::sql_table& table, std::string_view column, std::string_view value);

std::int64_t whole_number(std::string_view text);
std::uint64_t unsigned_number(std::string_view text);
/// A line number, none where the text is not one (a diagnostic without a line).
std::optional<std::int64_t> line_number(std::string_view text);

}  // namespace Kinds
