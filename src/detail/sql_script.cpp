#include "detail/sql_script.h"

#include "detail/text_helpers.h"

namespace Detail {

void SqlScript::begin_table(const sql_table& table, std::span<const std::string_view> run_values) {
  text_.add_line("BEGIN TRANSACTION;");
  text_.add_line(table.create_statement());
  row_start_ = table.insert_prefix();
  const char* separator = "";
  for (std::string_view value : run_values) {
    row_start_ += separator;
    append_sql_literal(row_start_, value);
    separator = ", ";
  }
  has_run_values_ = !run_values.empty();
}

void SqlScript::add_row(std::span<const std::string_view> values) {
  // At most: every value's quotes doubled, its two quotes and ", ".
  std::size_t most = row_start_.size() + 3;
  for (std::string_view value : values) most += 2 * value.size() + 4;
  std::string& row = text_.block_for(most);
  row += row_start_;
  const char* separator = has_run_values_ ? ", " : "";
  for (std::string_view value : values) {
    row += separator;
    append_sql_literal(row, value);
    separator = ", ";
  }
  row += ");\n";
}

std::string SqlScript::finish() {
  text_.add_line("COMMIT;");
  return {};
}

}  // namespace Detail
