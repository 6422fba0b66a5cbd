#include "detail/sqlite_connection.h"

#include <sqlite3.h>

namespace Detail {

SqliteConnection::SqliteConnection(const std::string& path, sqlite_access access) {
  const int flags =
      access == sqlite_access::read_only ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  const int opened = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (opened != SQLITE_OK) {
    problem_ = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(opened);
    sqlite3_close(db_);
    db_ = nullptr;
    return;
  }
  sqlite3_busy_timeout(db_, busy_timeout_ms);
}

SqliteConnection::~SqliteConnection() { sqlite3_close(db_); }

}  // namespace Detail
