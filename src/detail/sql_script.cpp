#include "detail/sql_script.h"

#include "detail/text_helpers.h"

namespace Detail {

SqlScript::SqlScript(std::string create_statement, std::string insert_prefix)
    : insert_prefix_(std::move(insert_prefix)) {
  lines_.push_back(std::move(create_statement));
}

void SqlScript::add_row(std::initializer_list<std::string_view> values) {
  std::size_t size = insert_prefix_.size() + 2;
  for (std::string_view value : values) size += value.size() + 4;
  std::string row;
  row.reserve(size);
  row += insert_prefix_;
  const char* separator = "";
  for (std::string_view value : values) {
    row += separator;
    append_quoted(row, value);
    separator = ", ";
  }
  row += ");";
  lines_.push_back(std::move(row));
}

}  // namespace Detail
