#pragma once
// The one route of every SQL converter's rows: the converter names its table
// and hands over its rows as values, in order; the route gives them to the
// script and, with --database, to the database loader (row_sink.h).
//
//   Detail::TableRows rows(options, Results::ut_results_table(), date, time);
//   rows.add({"Calc.Adds", "passed"});
//   rows.finish();  // the script to the output and standard output, then the database

#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "detail/options.h"
#include "detail/row_sink.h"
#include "detail/sql_script.h"
#include "detail/sql_table.h"

namespace Detail {

class TableRows {
 public:
  /// Starts the script of `table`. Every row begins with the run's values
  /// from `opts`, `date` and `time` (run_values).
  TableRows(const options& opts, const sql_table& table, const std::string& date, const std::string& time);
  ~TableRows();
  TableRows(const TableRows&) = delete;
  TableRows& operator=(const TableRows&) = delete;

  /// One row: the values after the run's own, in column order.
  void add(std::span<const std::string_view> values);
  void add(std::initializer_list<std::string_view> values) { add({values.begin(), values.size()}); }

  /// Writes the script to the output file and to standard output, then, when
  /// both succeeded, loads the rows into the database in one short
  /// transaction: the database is opened only now, so that no lock is held
  /// while a slow reader takes the echo. An output or an echo that failed
  /// leaves nothing of the run in the database (its failure is the run's); a
  /// database that fails keeps nothing of the run and gives the message
  /// "Could not load database: REASON" and exit_status::database_not_loaded.
  /// Rows a load left out because the table already held their key give a
  /// warning on standard error (skipped_rows.h); the run's status stays.
  void finish();

  /// The script so far. Exposed for testing.
  const SqlScript& script() const { return script_; }

 private:
  void load_database() const;

  const options& options_;
  const sql_table& table_;
  std::vector<std::string> run_values_;
  SqlScript script_;
  // The rows kept for the database: their values one after another, where
  // each value ends, and where each row's values end.
  std::string values_;
  std::vector<std::size_t> value_ends_;
  std::vector<std::size_t> row_ends_;
};

/// The values of the table's run columns, in column order: platform,
/// project_name, tool_name, hash_value and test_type from the options for the
/// columns platform, project, tool, githash and type, and `date` and `time`.
std::vector<std::string> run_values(const sql_table& table, const options& opts, const std::string& date,
                                    const std::string& time);

/// The loader of the database `target` names: a PostgreSQL server for a
/// libpq URI ("postgresql://..." or "postgres://..."), else a SQLite database
/// file at that path.
std::unique_ptr<RowSink> database_sink(const std::string& target);

}  // namespace Detail
