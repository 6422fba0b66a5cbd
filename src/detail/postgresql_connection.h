#pragma once
// A connection to a PostgreSQL server, shared by the loader and the
// comparison: UTF-8 values whatever the environment says, the server's
// notices silenced, every message on one line without a password.

#include <memory>
#include <string>
#include <string_view>

struct pg_conn;
struct pg_result;

namespace Detail {

struct PgResultDeleter {
  void operator()(pg_result* result) const;
};
using PgResult = std::unique_ptr<pg_result, PgResultDeleter>;

class PostgresqlConnection {
 public:
  /// Connects to the libpq URI `uri` ("postgresql://..." or "postgres://...";
  /// PGPASSWORD, ~/.pgpass and the other libpq variables apply). A failure
  /// leaves get() null and problem() the reason.
  PostgresqlConnection(const std::string& uri, const char* application_name);
  ~PostgresqlConnection();
  PostgresqlConnection(const PostgresqlConnection&) = delete;
  PostgresqlConnection& operator=(const PostgresqlConnection&) = delete;

  pg_conn* get() const { return connection_; }
  const std::string& problem() const { return problem_; }

  /// `reason` as a message: on one line, every password of the URI masked.
  std::string message(std::string_view reason) const;
  /// The server's message for a failed `result` where it sent one, else
  /// libpq's (a lost connection, memory), as message() words it.
  std::string failure(const pg_result* result) const;

 private:
  std::string uri_;
  pg_conn* connection_ = nullptr;
  std::string problem_;
};

/// libpq's messages end in a line feed and may span lines, the later ones
/// indented hints: one line, the hints joined with a space, other lines with
/// "; ". The quoted statement and its caret tell a user nothing and are left
/// out.
std::string one_line(std::string_view text);

}  // namespace Detail
