#include "detail/sqlite_sink.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_set>

#include "detail/row_source.h"

namespace Detail {

namespace {

std::string without_nul(std::string_view value) {
  std::string kept(value);
  kept.erase(std::remove(kept.begin(), kept.end(), '\0'), kept.end());
  return kept;
}

}  // namespace

SqliteSink::SqliteSink(std::string path) : path_(std::move(path)) {}

SqliteSink::~SqliteSink() {
  sqlite3_finalize(insert_);
  if (in_transaction_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}  // link_ closes the file

bool SqliteSink::check(int result) {
  if (result == SQLITE_OK || result == SQLITE_DONE || result == SQLITE_ROW) return true;
  if (problem_.empty()) problem_ = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(result);
  return false;
}

bool SqliteSink::execute(const char* statement) {
  return check(sqlite3_exec(db_, statement, nullptr, nullptr, nullptr));
}

void SqliteSink::begin_table(const sql_table& table, std::span<const std::string_view> run_values) {
  link_.emplace(path_, sqlite_access::read_write);
  db_ = link_->get();
  if (!db_) {
    problem_ = link_->problem();
    return;
  }
  if (!execute("BEGIN IMMEDIATE")) return;
  in_transaction_ = true;
  if (!execute(table.create_statement().c_str())) return;
  // The index the comparison finds a run's rows with. A table it cannot be
  // made on (one without the columns) is left to the insert, which says why;
  // SQLite undoes only the failed statement.
  sqlite3_exec(db_, run_index_statement(table).c_str(), nullptr, nullptr, nullptr);
  table_ = &table;
  for (std::string_view value : run_values) run_values_.push_back(without_nul(value));
  for (std::string_view key : table.unique_columns) {
    for (std::size_t i = table.run_column_count; i < table.columns.size(); ++i) {
      if (table.columns[i].name == key) key_fields_.push_back(i - table.run_column_count);
    }
  }
  if (!table.unique_columns.empty()) note_last_row_before();

  std::string insert = table.insert_prefix();
  for (std::size_t i = 0; i < table.columns.size(); ++i) insert += i == 0 ? "?" : ", ?";
  insert += ")";
  if (!check(sqlite3_prepare_v3(db_, insert.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &insert_, nullptr))) return;
  without_nul_.resize(table.columns.size());
  // Bound once: a statement keeps its bindings from row to row.
  for (std::size_t i = 0; i < run_values.size(); ++i) bind_text(static_cast<int>(i + 1), run_values[i], true);
  first_row_parameter_ = static_cast<int>(run_values.size()) + 1;
}

// The rows a load adds get larger rowids than every row the table held
// before it: a held row is one whose rowid is not larger. A table without
// rowids leaves it unknown, and its left-out rows uncounted.
void SqliteSink::note_last_row_before() {
  const std::string query = std::string("select max(rowid) from ").append(table_->name);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, query.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW)
    last_row_before_ = sqlite3_column_int64(statement, 0);  // 0 for an empty table
  sqlite3_finalize(statement);
}

// The key's values of a row, without NUL bytes as they are stored, each
// ended by a NUL byte.
std::string SqliteSink::key_text(std::span<const std::string_view> values) const {
  std::string key;
  for (std::size_t field : key_fields_) {
    if (field < values.size()) key += without_nul(values[field]);
    key += '\0';
  }
  return key;
}

// A query over the rows held before the load with the run's values of the
// key (project and hash), its parameters bound; null when it cannot be
// prepared (a table of that name without the columns).
sqlite3_stmt* SqliteSink::held_rows_query(const std::string& columns, const char* rest) const {
  std::string query = "select " + columns + " from " + std::string(table_->name) + " where rowid <= ?";
  std::vector<const std::string*> values;
  for (std::string_view key : table_->unique_columns) {
    for (std::size_t i = 0; i < table_->run_column_count && i < run_values_.size(); ++i) {
      if (table_->columns[i].name != key) continue;
      query.append(" and ").append(key).append(" = ?");
      values.push_back(&run_values_[i]);
    }
  }
  query += rest;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, query.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    return nullptr;
  }
  sqlite3_bind_int64(statement, 1, *last_row_before_);
  for (std::size_t i = 0; i < values.size(); ++i) {
    sqlite3_bind_text(statement, static_cast<int>(i + 2), values[i]->data(), static_cast<int>(values[i]->size()),
                      SQLITE_STATIC);
  }
  return statement;
}

// Of the rows that changed nothing, those whose key a held row has; the
// others repeat a row of this run. The held rows' keys come from the key's
// index alone; their platform and tool from the run index, and only where
// the held rows have several are they read row by row with the keys.
void SqliteSink::count_skipped_rows() {
  const auto text = [](sqlite3_stmt* statement, int column) {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return data ? std::string_view(data, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
                : std::string_view();
  };
  std::vector<std::pair<std::string, std::string>> origins;
  sqlite3_stmt* statement = held_rows_query(source_columns(*table_), " group by 1, 2 limit 2");
  while (statement && sqlite3_step(statement) == SQLITE_ROW)
    origins.emplace_back(text(statement, 0), text(statement, 1));
  sqlite3_finalize(statement);
  if (origins.empty()) return;

  const bool one_origin = origins.size() == 1;
  std::string columns = one_origin ? "" : source_columns(*table_);
  for (std::size_t field : key_fields_) {
    if (!columns.empty()) columns += ", ";
    columns += table_->columns[table_->run_column_count + field].name;
  }
  const int first_key_column = one_origin ? 0 : 2;
  std::unordered_set<std::string_view> waiting(ignored_keys_.begin(), ignored_keys_.end());
  statement = held_rows_query(columns, "");
  std::string key;
  while (statement && sqlite3_step(statement) == SQLITE_ROW) {
    key.clear();
    for (std::size_t i = 0; i < key_fields_.size(); ++i) {
      key += text(statement, first_key_column + static_cast<int>(i));
      key += '\0';
    }
    if (waiting.erase(key) == 0) continue;
    if (one_origin) {
      add_held_rows(skipped_, origins[0].first, origins[0].second);
    } else {
      add_held_rows(skipped_, text(statement, 0), text(statement, 1));
    }
  }
  sqlite3_finalize(statement);
  skipped_.offered = inserted_ + skipped_.skipped;
}

// The script can carry no NUL byte and leaves it out of its literal; so
// does the database.
void SqliteSink::bind_text(int parameter, std::string_view value, bool copy) {
  if (std::memchr(value.data(), '\0', value.size()) != nullptr) {
    std::string& kept = without_nul_[static_cast<std::size_t>(parameter - 1)];
    kept = without_nul(value);
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
  if (check(sqlite3_step(insert_))) {
    if (sqlite3_changes64(db_) > 0) {
      ++inserted_;
    } else if (!key_fields_.empty()) {
      ignored_keys_.push_back(key_text(values));
    }
  }
  sqlite3_reset(insert_);
}

std::string SqliteSink::finish() {
  // Before the commit: the write lock, held since the load began, keeps out
  // every other run's rows.
  if (problem_.empty() && !ignored_keys_.empty() && last_row_before_) count_skipped_rows();
  if (problem_.empty() && execute("COMMIT")) {
    in_transaction_ = false;
    return {};
  }
  // A failed COMMIT may leave the transaction open; the destructor rolls it back.
  return problem_;
}

}  // namespace Detail
