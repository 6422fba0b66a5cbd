#pragma once
// Rows into a PostgreSQL server, through libpq, in one transaction: the table
// created when missing with PostgreSQL types derived from its description,
// the rows sent with COPY. Of the rows of one key the first is kept, as
// SQLite's ON CONFLICT IGNORE keeps it: the sink drops a run's later rows of
// a key itself, and where the table already holds a key (an earlier run with
// the same hash) the rows go through a temporary table, from which one insert
// skips the taken keys; before it, one query counts the rows whose keys the
// table holds, by the held rows' platform and tool (skipped()).
//
// Readings of the values: a column without a declared type is text, an
// INT/INTEGER column bigint, an unsigned 64-bit column numeric(20,0). A
// numeric column's value that is not a whole number the column can hold (an
// empty value above all) is NULL.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "detail/postgresql_connection.h"
#include "detail/row_sink.h"

struct pg_conn;
struct pg_result;

namespace Detail {

class PostgresqlSink : public RowSink {
 public:
  /// Nothing is connected before begin_table. `uri` is a libpq connection
  /// URI ("postgresql://..." or "postgres://...").
  explicit PostgresqlSink(std::string uri);
  ~PostgresqlSink() override;
  PostgresqlSink(const PostgresqlSink&) = delete;
  PostgresqlSink& operator=(const PostgresqlSink&) = delete;

  /// Connects, begins the transaction and creates the table when missing. A
  /// table without a key has its rows streamed in as they come; a keyed
  /// table's rows are kept until finish.
  void begin_table(const sql_table& table, std::span<const std::string_view> run_values) override;
  void add_row(std::span<const std::string_view> values) override;
  /// Sends the rest of the rows and commits; on any
  /// failure before or now returns libpq's reason (on one line, without a
  /// password) and nothing of the run is committed.
  std::string finish() override;
  skipped_rows skipped() const override { return skipped_; }

 private:
  bool execute(const std::string& statement, int expected_status);
  bool create_table_when_missing();
  bool keyed() const;
  std::string_view row(std::size_t index) const;
  void drop_repeated_keys();
  void send_row(std::size_t index);
  bool send_buffer();
  std::string end_copy(std::span<const std::string_view> tolerated);
  bool copy_into_table();
  void insert_through_staging();
  void count_held_keys();
  void record_problem(const char* reason);
  void record_failed(const pg_result* result);

  std::string uri_;
  std::optional<PostgresqlConnection> link_;  // owns the connection
  pg_conn* connection_ = nullptr;
  const sql_table* table_ = nullptr;
  std::vector<std::string> run_values_;  // as the staging insert binds them
  std::string run_prefix_;               // the run's values in COPY text, each with its tab
  std::vector<std::size_t> key_fields_;  // the key's columns among a row's
  std::string rows_;                     // a keyed table's rows in COPY text, a line each
  std::vector<std::size_t> row_starts_;  // where each of them starts in rows_
  std::vector<bool> dropped_;            // rows whose key an earlier row of the run has
  std::string buffer_;                   // COPY data not yet sent
  std::string problem_;  // the first failure; once set, rows are ignored
  skipped_rows skipped_;
};

/// The PostgreSQL type of `column`: "text", "bigint" or "numeric(20,0)".
std::string_view postgresql_type(const sql_column& column);

}  // namespace Detail
