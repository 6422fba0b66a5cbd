#pragma once
// An open SQLite database file, shared by the loader (read-write, created
// when missing) and the comparison (read-only, never created or changed).

#include <string>

struct sqlite3;

namespace Detail {

enum class sqlite_access {
  read_write,
  read_only,
  /// Read-only without SQLite's locks, write-ahead log or shared memory:
  /// the file alone, which the caller keeps from changing (see
  /// sqlite_read_lock.h).
  file_only,
};

class SqliteConnection {
 public:
  /// How long a run waits for other runs that hold the file's lock.
  static constexpr int busy_timeout_ms = 600'000;

  /// Opens the file at `path` (no URI processing: ":memory:" and "file:..."
  /// are names like any other). A failure leaves get() null and problem()
  /// SQLite's reason.
  SqliteConnection(const std::string& path, sqlite_access access);
  ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  sqlite3* get() const { return db_; }
  const std::string& problem() const { return problem_; }

 private:
  sqlite3* db_ = nullptr;
  std::string problem_;
};

}  // namespace Detail
