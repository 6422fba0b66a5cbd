#pragma once
// Rows into a SQLite database file, through the SQLite library: the table
// created with the script's create statement when missing, one prepared
// insert statement with bound values, one transaction. The database then
// holds what loading the script with SQLite's shell gives: values are bound
// as the same texts the script quotes, so each column's affinity turns them
// into the same types. Rows the table's key leaves out are counted: a row
// that changes nothing meets a key the table holds, from this run or from
// before it (skipped()).

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
  skipped_rows skipped() const override { return skipped_; }

 private:
  bool execute(const char* statement);
  bool check(int result);
  void bind_text(int parameter, std::string_view value, bool copy);
  void note_last_row_before();
  std::string key_text(std::span<const std::string_view> values) const;
  void count_skipped_rows();

  std::string path_;
  std::optional<SqliteConnection> link_;  // owns the file's connection
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
  int first_row_parameter_ = 1;
  bool in_transaction_ = false;
  std::string problem_;               // the first failure; once set, rows are ignored
  std::vector<std::string> without_nul_;  // values whose NUL bytes are left out, as the script leaves them out

  const sql_table* table_ = nullptr;
  std::vector<std::string> run_values_;     // without NUL bytes, as bound
  std::vector<std::size_t> key_fields_;     // the key's columns among a row's values
  std::optional<long long> last_row_before_;  // the largest rowid before the load; none when unknown
  std::size_t inserted_ = 0;
  std::vector<std::string> ignored_keys_;  // of the rows that changed nothing, as key_text gives them
  skipped_rows skipped_;
};

}  // namespace Detail
