#include "detail/sql_table.h"


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

}  // namespace Detail
