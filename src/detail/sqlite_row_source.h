#pragma once
// Stored rows from a SQLite database file, opened read-only: every read
// after the first sees the snapshot the first one saw, and nothing is ever
// created beside the file (sqlite_read_lock.h says how each file is read).
//
// Other writers than the loads may store a number, a blob or NULL where the
// loads store text: such a value reads as its text form (SQLite's, "" for
// NULL), also in the run columns, and its rows are found by that text.

#include <functional>
#include <string>
#include <vector>

#include "detail/row_source.h"
#include "detail/sqlite_connection.h"
#include "detail/sqlite_read_lock.h"

struct sqlite3_stmt;

namespace Detail {

class SqliteRowSource : public RowSource {
 public:
  /// Throws database_error when the file cannot be opened, is no database,
  /// or cannot be read without creating a file beside it.
  explicit SqliteRowSource(const std::string& path);
  ~SqliteRowSource() override;

  std::vector<stored_run> runs(const sql_table& table, const std::string& project) override;
  std::vector<stored_row> rows(const sql_table& table, const std::string& project, const std::string& githash,
                               const std::string& platform) override;
  std::vector<stored_row> select(const std::string& statement, std::span<const std::string> parameters) override;
  std::vector<stored_row> rows_with(const sql_table& table, const std::string& project,
                                    const std::string& githash, const std::string& platform,
                                    std::string_view column, std::span<const std::string> values) override;
  std::string text_in(std::string_view column, std::size_t first,
                      std::span<const std::string> values) const override;

  /// The statement rows_with() runs for one value (the parameter $4).
  std::string rows_with_statement(const sql_table& table, const std::string& githash, const std::string& platform,
                                  std::string_view column, const std::string& value) const;

  /// Throws database_error with the reason of SQLite's last failure.
  [[noreturn]] void fail() const;

 private:
  bool has_table(const sql_table& table);
  void query(const std::string& sql, std::span<const std::string* const> parameters,
             const std::function<void(sqlite3_stmt*)>& each);
  void run(sqlite3_stmt* statement, std::span<const std::string* const> parameters,
           const std::function<void(sqlite3_stmt*)>& each);
  void check_unchanged() const;

  SqliteReadLock lock_;  // before the connection: released after it closes
  SqliteConnection connection_;
};

/// The statements of runs(): a skip scan over a table's run index, one run
/// column at a time, each statement one seek. For each run column in order:
/// its first value (NULL first) where the columns before it hold given
/// values, the least value after NULL, and the least after a given value;
/// then a run's earliest date and time. ?1 is the project, ?2 ... the values
/// of the columns before, the last parameter of `after` the value to pass.
struct sqlite_run_scan {
  struct column_steps {
    std::string first;
    std::string after_null;
    std::string after;
  };
  std::vector<column_steps> columns;
  std::string earliest;
};
sqlite_run_scan sqlite_run_scan_statements(const sql_table& table);

}  // namespace Detail
