#pragma once
// The tables the SQL converters fill, each described once. The script's
// create and insert statements and every database loader's statements are
// derived from the description.
//
//   const Detail::sql_table ut_results{
//       "ut_results",
//       {{"platform"}, {"project"}, ..., {"name"}, {"result"}},
//       7,                               // platform ... type come from the run
//       {"project", "githash", "name"}};  // UNIQUE (...) ON CONFLICT IGNORE
//   ut_results.create_statement();  // "create table if not exists ut_results (platform, ...);"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>


namespace Detail {

struct sql_column {
  std::string_view name;
  /// As the create statement declares it: "" (no type), "INT" or "INTEGER".
  std::string_view declared_type = {};
  /// The values are unsigned 64-bit numbers (addresses, sizes), which a signed
  /// 64-bit integer column cannot hold exactly above 2^63 - 1.
  bool unsigned_64 = false;

  bool is_numeric() const { return !declared_type.empty(); }
};

struct sql_table {
  std::string_view name;
  std::vector<sql_column> columns;
  /// The first columns hold the run's own values (platform, project, tool,
  /// githash, date, time, type: run_values), the same in every row of a run.
  std::size_t run_column_count = 0;
  /// The key of the table's UNIQUE ... ON CONFLICT IGNORE clause, which keeps
  /// the first row of a key; empty when the table keeps every row.
  std::vector<std::string_view> unique_columns;

  /// "create table if not exists NAME (COLUMN [TYPE], ..., UNIQUE (...) ON CONFLICT IGNORE);"
  std::string create_statement() const;

  /// "insert into NAME (COLUMN, ...) values (": the insert statement up to
  /// its values.
  std::string insert_prefix() const;

  /// "NAME (COLUMN, ...)": the table and its column names.
  std::string column_list() const;
};

}  // namespace Detail
