#include "detail/sql_script.h"

#include "detail/text_helpers.h"

namespace Detail {

SqlScript::SqlScript(std::string create_statement, std::string insert_prefix)
    : insert_prefix_(std::move(insert_prefix)) {
  text_.add_line(create_statement);
}

void SqlScript::set_leading_values(std::initializer_list<std::string_view> values) {
  row_start_ = insert_prefix_;
  const char* separator = "";
  for (std::string_view value : values) {
    row_start_ += separator;
    append_sql_literal(row_start_, value);
    separator = ", ";
  }
  has_leading_values_ = values.size() > 0;
}

void SqlScript::add_row(std::initializer_list<std::string_view> values) {
  const std::string& start = has_leading_values_ ? row_start_ : insert_prefix_;
  // At most: every value's quotes doubled, its two quotes and ", ".
  std::size_t most = start.size() + 3;
  for (std::string_view value : values) most += 2 * value.size() + 4;
  std::string& row = text_.block_for(most);
  row += start;
  const char* separator = has_leading_values_ ? ", " : "";
  for (std::string_view value : values) {
    row += separator;
    append_sql_literal(row, value);
    separator = ", ";
  }
  row += ");\n";
}

}  // namespace Detail
