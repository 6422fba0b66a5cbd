#include "detail/sqlite_connection.h"

#include <sqlite3.h>

#include <filesystem>

namespace Detail {

namespace {

// The URI of the file at `path` that SQLite reads as the file alone: its
// "immutable" parameter can only be given in a URI. Every byte but the
// unreserved ones is percent-encoded, so that no name can add a parameter.
std::string file_only_uri(const std::string& path) {
  std::error_code failed;
  std::string absolute = std::filesystem::absolute(path, failed).string();
  if (failed) absolute = path;
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (const char c : absolute) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                            c == '/' || c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved) {
      uri += c;
    } else {
      uri += '%';
      uri += digits[byte >> 4];
      uri += digits[byte & 0xF];
    }
  }
  return uri + "?immutable=1";
}

}  // namespace

SqliteConnection::SqliteConnection(const std::string& path, sqlite_access access) {
  int flags = SQLITE_OPEN_READONLY;
  if (access == sqlite_access::read_write) flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  // SQLite reads a name beginning "file:" as a URI (an in-memory database
  // among them); the value is a file path, and "./" keeps it one.
  std::string name = path.starts_with("file:") ? "./" + path : path;
  if (access == sqlite_access::file_only) {
    name = file_only_uri(path);
    flags |= SQLITE_OPEN_URI;
  }
  const int opened = sqlite3_open_v2(name.c_str(), &db_, flags, nullptr);
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
