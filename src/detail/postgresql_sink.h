#pragma once
// Rows into a PostgreSQL server, through libpq, in one transaction: the table
// created when missing with PostgreSQL types derived from its description,
// the rows streamed with COPY into a temporary table and moved from there by
// one insert in input order, so that a key's first row is the one kept, as
// SQLite's ON CONFLICT IGNORE keeps it.
//
// Readings of the values: a column without a declared type is text, an
// INT/INTEGER column bigint, an unsigned 64-bit column numeric(20,0). A
// numeric column's value that is not a whole number the column can hold (an
// empty value above all) is NULL.

#include <span>
#include <string>
#include <string_view>
#include <vector>

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

  /// Connects, begins the transaction, creates the table when missing and
  /// starts the COPY of the rows.
  void begin_table(const sql_table& table, std::span<const std::string_view> run_values) override;
  void add_row(std::span<const std::string_view> values) override;
  /// Ends the COPY, inserts the rows into the table and commits; on any
  /// failure before or now returns libpq's reason (on one line, without a
  /// password) and nothing of the run is committed.
  std::string finish() override;

 private:
  bool execute(const std::string& statement, int expected_status);
  bool create_table_when_missing();
  bool send_buffer();
  void record_problem(const char* reason);
  void record_failed(const pg_result* result);

  std::string uri_;
  pg_conn* connection_ = nullptr;
  const sql_table* table_ = nullptr;
  std::vector<std::string> run_values_;  // as the insert binds them
  std::string buffer_;                   // COPY data not yet sent
  unsigned long long rows_ = 0;
  std::string problem_;  // the first failure; once set, rows are ignored
};

/// The PostgreSQL type of `column`: "text", "bigint" or "numeric(20,0)".
std::string_view postgresql_type(const sql_column& column);

/// `uri` with every password in it (after "user:" and in "password="
/// parameters) shown as "****".
std::string mask_password(std::string_view uri);

/// `message` without any password of `uri`: the URI itself shown masked,
/// any other appearance of a password as "****".
std::string without_password(std::string message, std::string_view uri);

}  // namespace Detail
