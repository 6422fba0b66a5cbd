#include "support/sqlite_db.h"

#include <sqlite3.h>

#include <stdexcept>

namespace test_support {

SqliteDb::SqliteDb(const std::string& path)
    : connection_(std::make_unique<Detail::SqliteConnection>(path, Detail::sqlite_access::read_write)),
      db_(connection_->get()) {
  if (!db_) throw std::runtime_error("cannot open database " + path + ": " + connection_->problem());
  // As strict as SQLite builds made with SQLITE_DQS=0: a double-quoted value
  // is an unknown column there, never a string.
  for (const int option : {SQLITE_DBCONFIG_DQS_DML, SQLITE_DBCONFIG_DQS_DDL}) {
    if (sqlite3_db_config(db_, option, 0, nullptr) != SQLITE_OK)
      throw std::runtime_error("cannot switch off double-quoted strings");
  }
}

SqliteDb::~SqliteDb() = default;

std::string SqliteDb::exec(const std::string& script) {
  char* error = nullptr;
  if (sqlite3_exec(db_, script.c_str(), nullptr, nullptr, &error) == SQLITE_OK) return "";
  std::string text = error != nullptr ? error : "unknown error";
  sqlite3_free(error);
  return text;
}

std::vector<std::vector<std::string>> SqliteDb::rows(const std::string& query) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, query.c_str(), -1, &statement, nullptr) != SQLITE_OK)
    throw std::runtime_error(std::string("bad query: ") + sqlite3_errmsg(db_));
  std::vector<std::vector<std::string>> result;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
      const unsigned char* text = sqlite3_column_text(statement, i);
      row.emplace_back(text != nullptr ? reinterpret_cast<const char*>(text) : "NULL");
    }
    result.push_back(std::move(row));
  }
  sqlite3_finalize(statement);
  return result;
}

std::vector<std::vector<std::string>> SqliteDb::dump(const std::string& table) {
  std::string columns;
  for (const std::vector<std::string>& column : rows("select name from pragma_table_info('" + table + "')"))
    columns += (columns.empty() ? "quote(\"" : ", quote(\"") + column[0] + "\")";
  return rows("select " + columns + " from \"" + table + "\" order by rowid");
}

std::vector<std::string> SqliteDb::tables() {
  std::vector<std::string> names;
  for (const std::vector<std::string>& row : rows("select name from sqlite_master where type = 'table' order by name"))
    names.push_back(row[0]);
  return names;
}

}  // namespace test_support
