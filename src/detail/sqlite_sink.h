#pragma once
// Rows into a SQLite database file, through the SQLite library: the table
// created with the script's create statement when missing, one prepared
// insert statement with bound values, one transaction. The database then
// holds what loading the script with SQLite's shell gives: values are bound
// as the same texts the script quotes, so each column's affinity turns them
// into the same types.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "detail/row_sink.h"
#include "detail/sqlite_connection.h"

struct sqlite3;
struct sqlite3_stmt;

namespace Detail {

class SqliteSink : public RowSink {
 public:
  /// Nothing is opened before begin_table.
  explicit SqliteSink(std::string path);
  ~SqliteSink() override;
  SqliteSink(const SqliteSink&) = delete;
  SqliteSink& operator=(const SqliteSink&) = delete;

  /// Opens (or creates) the file, waits for its write lock (BEGIN IMMEDIATE),
  /// creates the table when missing and prepares the insert statement.
  void begin_table(const sql_table& table, std::span<const std::string_view> run_values) override;
  void add_row(std::span<const std::string_view> values) override;
  /// Commits; on any failure before or now, rolls back and returns SQLite's reason.
  std::string finish() override;

 private:
  bool execute(const char* statement);
  bool check(int result);
  void bind_text(int parameter, std::string_view value, bool copy);

  std::string path_;
  std::optional<SqliteConnection> link_;  // owns the file's connection
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
  int first_row_parameter_ = 1;
  bool in_transaction_ = false;
  std::string problem_;               // the first failure; once set, rows are ignored
  std::vector<std::string> without_nul_;  // values whose NUL bytes are left out, as the script leaves them out
};

}  // namespace Detail
