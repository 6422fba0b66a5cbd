#pragma once
// A real SQLite database for loading the scripts the program writes.

#include <memory>
#include <string>
#include <vector>

#include "detail/sqlite_connection.h"

struct sqlite3;

namespace test_support {

class SqliteDb {
 public:
  /// An in-memory database, or the file at `path`.
  explicit SqliteDb(const std::string& path = ":memory:");
  ~SqliteDb();
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  /// Runs a whole script; returns SQLite's error text, empty on success.
  std::string exec(const std::string& script);

  /// Every row of `query`, each value as text ("NULL" for a null).
  std::vector<std::vector<std::string>> rows(const std::string& query);

  /// Every row of `table` in insertion order, each value as SQLite's quote()
  /// gives it: 12 for an integer, '12' for a text, NULL, so that equal dumps
  /// mean equal values of equal types.
  std::vector<std::vector<std::string>> dump(const std::string& table);

  /// The tables of the database, by name.
  std::vector<std::string> tables();

 private:
  std::unique_ptr<Detail::SqliteConnection> connection_;
  sqlite3* db_ = nullptr;
};

}  // namespace test_support
