#include "detail/sqlite_sink.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "detail/row_source.h"

namespace Detail {

SqliteSink::SqliteSink(std::string path) : path_(std::move(path)) {}

SqliteSink::~SqliteSink() {
  sqlite3_finalize(insert_);
  if (in_transaction_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db_);
}

bool SqliteSink::check(int result) {
  if (result == SQLITE_OK || result == SQLITE_DONE || result == SQLITE_ROW) return true;
  if (problem_.empty()) problem_ = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(result);
  return false;
}

bool SqliteSink::execute(const char* statement) {
  return check(sqlite3_exec(db_, statement, nullptr, nullptr, nullptr));
}

void SqliteSink::begin_table(const sql_table& table, std::span<const std::string_view> run_values) {
  const int opened = sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (!check(opened)) return;
  sqlite3_busy_timeout(db_, busy_timeout_ms);
  if (!execute("BEGIN IMMEDIATE")) return;
  in_transaction_ = true;
  if (!execute(table.create_statement().c_str())) return;
  // The index the comparison finds a run's rows with. A table it cannot be
  // made on (one without the columns) is left to the insert, which says why;
  // SQLite undoes only the failed statement.
  sqlite3_exec(db_, run_index_statement(table).c_str(), nullptr, nullptr, nullptr);

  std::string insert = table.insert_prefix();
  for (std::size_t i = 0; i < table.columns.size(); ++i) insert += i == 0 ? "?" : ", ?";
  insert += ")";
  if (!check(sqlite3_prepare_v3(db_, insert.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &insert_, nullptr))) return;
  without_nul_.resize(table.columns.size());
  // Bound once: a statement keeps its bindings from row to row.
  for (std::size_t i = 0; i < run_values.size(); ++i) bind_text(static_cast<int>(i + 1), run_values[i], true);
  first_row_parameter_ = static_cast<int>(run_values.size()) + 1;
}

// The script can carry no NUL byte and leaves it out of its literal; so
// does the database.
void SqliteSink::bind_text(int parameter, std::string_view value, bool copy) {
  if (std::memchr(value.data(), '\0', value.size()) != nullptr) {
    std::string& kept = without_nul_[static_cast<std::size_t>(parameter - 1)];
    kept.assign(value);
    kept.erase(std::remove(kept.begin(), kept.end(), '\0'), kept.end());
    value = kept;
  }
  if (value.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    if (problem_.empty()) problem_ = "a value is too large for SQLite";
    return;
  }
  check(sqlite3_bind_text(insert_, parameter, value.data(), static_cast<int>(value.size()),
                          copy ? SQLITE_TRANSIENT : SQLITE_STATIC));
}

void SqliteSink::add_row(std::span<const std::string_view> values) {
  if (!problem_.empty()) return;
  for (std::size_t i = 0; i < values.size(); ++i)
    bind_text(first_row_parameter_ + static_cast<int>(i), values[i], false);
  if (!problem_.empty()) return;
  check(sqlite3_step(insert_));
  sqlite3_reset(insert_);
}

std::string SqliteSink::finish() {
  if (problem_.empty() && execute("COMMIT")) {
    in_transaction_ = false;
    return {};
  }
  // A failed COMMIT may leave the transaction open; the destructor rolls it back.
  return problem_;
}

}  // namespace Detail
