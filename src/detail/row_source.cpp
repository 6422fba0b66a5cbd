#include "detail/row_source.h"

#include "detail/postgresql_row_source.h"
#include "detail/sqlite_row_source.h"

namespace Detail {

namespace {

std::string selected_columns(const sql_table& table) {
  std::string list;
  for (const sql_column& column : table.columns) {
    if (!list.empty()) list += ", ";
    list += column.name;
  }
  return list;
}

std::string joined(const std::vector<std::string_view>& names, std::string_view prefix = {}) {
  std::string text;
  for (std::string_view name : names) {
    if (!text.empty()) text += ", ";
    text += prefix;
    text += name;
  }
  return text;
}

}  // namespace

std::vector<std::string_view> run_columns(const sql_table& table) {
  std::vector<std::string_view> columns = {"githash", "platform"};
  if (has_column(table, "tool")) columns.push_back("tool");
  return columns;
}

bool has_column(const sql_table& table, std::string_view name) {
  for (const sql_column& column : table.columns) {
    if (column.name == name) return true;
  }
  return false;
}

std::string run_index_name(const sql_table& table) {
  std::string name(table.name);
  name += "_runs";
  return name;
}

std::string run_index_statement(const sql_table& table) {
  std::string statement = "create index if not exists ";
  statement += run_index_name(table);
  statement += " on ";
  statement += table.name;
  statement += " (project, ";
  statement += joined(run_columns(table));
  statement += ", date, time)";
  return statement;
}

// Each step of the recursion seeks the next (hash, platform[, tool]) after
// the last one found; the last step finds none and ends it.
std::string runs_statement(const sql_table& table) {
  const std::vector<std::string_view> columns = run_columns(table);
  const std::string names = joined(columns);
  const std::string table_name(table.name);
  const std::string after = "project = $1 and (" + names + ") > (" + joined(columns, "r.") + ")";
  const std::string order = " order by " + names + " limit 1";
  std::string next;
  for (std::string_view column : columns) {
    if (!next.empty()) next += ", ";
    next += "(select ";
    next += column;
    next += " from " + table_name + " where " + after + order + ")";
  }
  std::string same_run;
  for (std::string_view column : columns) {
    same_run += " and ";
    same_run += column;
    same_run += " = r.";
    same_run += column;
  }
  std::string statement = "with recursive r(" + names + ") as (select * from (select " + names + " from ";
  statement += table_name + " where project = $1" + order + ") f union all select " + next;
  statement += " from r where r.githash is not null) select " + joined(columns, "r.");
  statement += ", (select date || ' ' || time from " + table_name + " where project = $1" + same_run;
  statement += " order by date, time limit 1) from r where r.githash is not null";
  return statement;
}

std::string rows_statement(const sql_table& table, std::string_view condition) {
  std::string statement = "select " + selected_columns(table) + " from ";
  statement += table.name;
  statement += " where project = $1 and ";
  statement += condition;
  return statement;
}

std::string rows_statement(const sql_table& table, const RowSource& source, const std::string& githash,
                           const std::string& platform) {
  return rows_statement(table, source.text_in("githash", 2, std::span(&githash, 1)) + " and " +
                                   source.text_in("platform", 3, std::span(&platform, 1)));
}

std::unique_ptr<RowSource> open_row_source(const std::string& database) {
  if (database.starts_with("postgresql://") || database.starts_with("postgres://"))
    return std::make_unique<PostgresqlRowSource>(database);
  return std::make_unique<SqliteRowSource>(database);
}

}  // namespace Detail
