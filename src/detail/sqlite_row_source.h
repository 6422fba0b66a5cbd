#pragma once
// Stored rows from a SQLite database file, opened read-only; every read
// after the first sees the snapshot the first one saw.

#include <string>

#include "detail/row_source.h"
#include "detail/sqlite_connection.h"

struct sqlite3_stmt;

namespace Detail {

class SqliteRowSource : public RowSource {
 public:
  /// Throws database_error when the file cannot be opened or is no database.
  explicit SqliteRowSource(const std::string& path);
  ~SqliteRowSource() override;

  std::vector<stored_run> runs(const sql_table& table, const std::string& project) override;
  std::vector<stored_row> rows(const sql_table& table, const std::string& project, const std::string& githash,
                               const std::string& platform) override;
  std::vector<stored_row> select(const std::string& statement, std::span<const std::string> parameters) override;
  std::vector<stored_row> rows_with(const sql_table& table, const std::string& project,
                                    const std::string& githash, const std::string& platform,
                                    std::string_view column, std::span<const std::string> values) override;

 private:
  bool has_table(const sql_table& table);
  [[noreturn]] void fail();

  SqliteConnection connection_;
};

}  // namespace Detail
