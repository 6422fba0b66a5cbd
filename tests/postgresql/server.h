#pragma once
// One throwaway PostgreSQL cluster for the whole test binary (the script
// `cluster` beside this file), and a small client for the tests' queries.

#include <memory>
#include <string>
#include <vector>

#include "detail/postgresql_connection.h"

struct pg_conn;

namespace test_support {

/// A database of the cluster, created empty (dropped first if it exists).
/// Returns its URI for the superuser, who needs no password.
std::string fresh_database(const std::string& name);

/// The URI of `database` for `user` with `password` (percent-encoded as
/// given), or without a password when `password` is empty.
std::string database_uri(const std::string& database, const std::string& user = "viviri",
                         const std::string& password = "");

/// A role that logs in with the password "Right/pw" only.
inline constexpr const char* password_user = "writer";

class PgConnection {
 public:
  explicit PgConnection(const std::string& uri);
  ~PgConnection();
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  /// Runs `sql`; returns the server's error text, empty on success.
  std::string exec(const std::string& sql);

  /// Every row of `query`, each value as text ("NULL" for a null).
  std::vector<std::vector<std::string>> rows(const std::string& query);

  /// The single value of `query`.
  std::string value(const std::string& query);

 private:
  std::unique_ptr<Detail::PostgresqlConnection> link_;
  pg_conn* connection_ = nullptr;
};

}  // namespace test_support
