#include "detail/sql_table.h"

#include <stdexcept>

namespace Detail {

std::string sql_table::column_list() const {
  std::string list = std::string(name) + " (";
  const char* separator = "";
  for (const sql_column& column : columns) {
    list += separator;
    list += column.name;
    separator = ", ";
  }
  return list + ")";
}

std::string sql_table::create_statement() const {
  std::string statement = "create table if not exists " + std::string(name) + " (";
  const char* separator = "";
  for (const sql_column& column : columns) {
    statement += separator;
    statement += column.name;
    if (column.is_numeric()) {
      statement += ' ';
      statement += column.declared_type;
    }
    separator = ", ";
  }
  if (!unique_columns.empty()) {
    statement += ", UNIQUE (";
    separator = "";
    for (std::string_view key : unique_columns) {
      statement += separator;
      statement += key;
      separator = ", ";
    }
    statement += ") ON CONFLICT IGNORE";
  }
  return statement + ");";
}

std::string sql_table::insert_prefix() const { return "insert into " + column_list() + " values ("; }

std::vector<std::string> run_values(const sql_table& table, const options& opts, const std::string& date,
                                    const std::string& time) {
  const std::pair<std::string_view, const std::string*> sources[] = {
      {"platform", &opts.platform}, {"project", &opts.project_name}, {"tool", &opts.tool_name},
      {"githash", &opts.hash_value}, {"date", &date},                {"time", &time},
      {"type", &opts.test_type}};
  std::vector<std::string> values;
  for (std::size_t i = 0; i < table.run_column_count; ++i) {
    const std::string* value = nullptr;
    for (const auto& [column, source] : sources) {
      if (column == table.columns[i].name) value = source;
    }
    // A table description names only these columns first; anything else is a
    // programming error that no input can cause.
    if (!value) throw std::logic_error("no run value for column " + std::string(table.columns[i].name));
    values.push_back(*value);
  }
  return values;
}

}  // namespace Detail
