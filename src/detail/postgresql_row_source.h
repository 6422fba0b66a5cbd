#pragma once
// Stored rows from a PostgreSQL server, read in one REPEATABLE READ, READ
// ONLY transaction: both runs of a comparison come from one snapshot while
// other runs keep loading.

#include <string>

#include "detail/postgresql_connection.h"
#include "detail/row_source.h"

namespace Detail {

class PostgresqlRowSource : public RowSource {
 public:
  /// Throws database_error when the server cannot be reached.
  explicit PostgresqlRowSource(const std::string& uri);

  std::vector<stored_run> runs(const sql_table& table, const std::string& project) override;
  std::vector<stored_row> rows(const sql_table& table, const std::string& project, const std::string& githash,
                               const std::string& platform) override;
  std::vector<stored_row> select(const std::string& statement, std::span<const std::string> parameters) override;
  std::vector<stored_row> rows_with(const sql_table& table, const std::string& project,
                                    const std::string& githash, const std::string& platform,
                                    std::string_view column, std::span<const std::string> values) override;
  std::string text_in(std::string_view column, std::size_t first,
                      std::span<const std::string> values) const override;

 private:
  bool has_table(const sql_table& table);
  PgResult query(const std::string& sql, std::span<const std::string* const> parameters);

  PostgresqlConnection connection_;
};

}  // namespace Detail
