#include "detail/sqlite_row_source.h"

#include <sqlite3.h>

#include <functional>
#include <memory>
#include <optional>

namespace Detail {

namespace {

struct StatementDeleter {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

std::string column_text(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))) : std::string();
}

}  // namespace

SqliteRowSource::SqliteRowSource(const std::string& path) : connection_(path, sqlite_access::read_only) {
  if (!connection_.get()) throw database_error(connection_.problem());
  // A deferred transaction: the first read takes the shared lock and keeps
  // it, so the runs compared are read from one state of the file.
  if (sqlite3_exec(connection_.get(), "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) fail();
  if (sqlite3_exec(connection_.get(), "select count(*) from sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK)
    fail();
}

SqliteRowSource::~SqliteRowSource() {
  if (connection_.get()) sqlite3_exec(connection_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteRowSource::fail() { throw database_error(sqlite3_errmsg(connection_.get())); }

bool SqliteRowSource::has_table(const sql_table& table) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(connection_.get(), "select 1 from sqlite_master where type = 'table' and name = ?", -1, &raw,
                         nullptr) != SQLITE_OK)
    fail();
  const Statement statement(raw);
  sqlite3_bind_text(raw, 1, table.name.data(), static_cast<int>(table.name.size()), SQLITE_STATIC);
  const int stepped = sqlite3_step(raw);
  if (stepped != SQLITE_ROW && stepped != SQLITE_DONE) fail();
  return stepped == SQLITE_ROW;
}

namespace {

// Runs `sql` with its parameters $1, $2, ... bound to `parameters` and
// hands every result row to `each`.
void query(sqlite3* db, const std::string& sql, std::span<const std::string* const> parameters,
           const std::function<void(sqlite3_stmt*)>& each) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) throw database_error(sqlite3_errmsg(db));
  const Statement statement(raw);
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    const std::string name = std::string("$").append(std::to_string(i + 1));
    const int index = sqlite3_bind_parameter_index(raw, name.c_str());
    if (index == 0) continue;
    sqlite3_bind_text(raw, index, parameters[i]->data(), static_cast<int>(parameters[i]->size()), SQLITE_STATIC);
  }
  for (int stepped = sqlite3_step(raw); stepped != SQLITE_DONE; stepped = sqlite3_step(raw)) {
    if (stepped != SQLITE_ROW) throw database_error(sqlite3_errmsg(db));
    each(raw);
  }
}

stored_row row_of(sqlite3_stmt* statement) {
  stored_row row(static_cast<std::size_t>(sqlite3_column_count(statement)));
  for (std::size_t i = 0; i < row.size(); ++i) row[i] = column_text(statement, static_cast<int>(i));
  return row;
}

}  // namespace

namespace {

// A statement prepared once and run again with new values ($1, $2, ...).
class Prepared {
 public:
  Prepared(sqlite3* db, const std::string& sql) : db_(db) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) throw database_error(sqlite3_errmsg(db));
    statement_.reset(raw);
  }

  /// The first column of the first row, none without a row or for a NULL.
  std::optional<std::string> first(std::span<const std::string* const> parameters) {
    sqlite3_stmt* raw = statement_.get();
    sqlite3_reset(raw);
    for (std::size_t i = 0; i < parameters.size(); ++i)
      sqlite3_bind_text(raw, static_cast<int>(i + 1), parameters[i]->data(), static_cast<int>(parameters[i]->size()),
                        SQLITE_STATIC);
    const int stepped = sqlite3_step(raw);
    if (stepped != SQLITE_ROW && stepped != SQLITE_DONE) throw database_error(sqlite3_errmsg(db_));
    if (stepped == SQLITE_DONE || sqlite3_column_type(raw, 0) == SQLITE_NULL) return std::nullopt;
    return column_text(raw, 0);
  }

 private:
  sqlite3* db_;
  Statement statement_;
};

}  // namespace

// A skip scan over the run index, one seek a step: SQLite seeks a row value
// "(githash, platform) > (?, ?)" only by its first column and would then read
// every row of the run it starts in, so each column is stepped on its own.
std::vector<stored_run> SqliteRowSource::runs(const sql_table& table, const std::string& project) {
  std::vector<stored_run> found;
  if (!has_table(table)) return found;
  const bool with_tool = has_column(table, "tool");
  const std::string name(table.name);
  Prepared next_hash(connection_.get(), "select min(githash) from " + name + " where project = ?1 and githash > ?2");
  Prepared next_platform(connection_.get(), "select min(platform) from " + name +
                                                " where project = ?1 and githash = ?2 and platform > ?3");
  std::optional<Prepared> next_tool, first_tool;  // only in the tables that have the column
  if (with_tool) {
    next_tool.emplace(connection_.get(), "select min(tool) from " + name +
                                             " where project = ?1 and githash = ?2 and platform = ?3 and tool > ?4");
    first_tool.emplace(connection_.get(), "select min(tool) from " + name +
                                              " where project = ?1 and githash = ?2 and platform = ?3");
  }
  const std::string run_condition =
      " where project = ?1 and githash = ?2 and platform = ?3" + std::string(with_tool ? " and tool = ?4" : "");
  Prepared earliest(connection_.get(), "select date || ' ' || time from " + name + run_condition +
                                           " order by date, time limit 1");
  Prepared first_hash(connection_.get(), "select min(githash) from " + name + " where project = ?1");
  Prepared first_platform(connection_.get(),
                          "select min(platform) from " + name + " where project = ?1 and githash = ?2");
  const std::string* const by_project[] = {&project};
  for (std::optional<std::string> hash = first_hash.first(by_project); hash;) {
    const std::string* const by_hash[] = {&project, &*hash};
    for (std::optional<std::string> platform = first_platform.first(by_hash); platform;) {
      const std::string* const by_platform[] = {&project, &*hash, &*platform};
      std::optional<std::string> tool = with_tool ? first_tool->first(by_platform) : std::optional<std::string>("");
      while (tool) {
        const std::string* const by_run[] = {&project, &*hash, &*platform, &*tool};
        found.push_back({*hash, *platform, *tool,
                         earliest.first(std::span(by_run).first(with_tool ? 4 : 3)).value_or("")});
        tool = with_tool ? next_tool->first(by_run) : std::nullopt;
      }
      const std::string* const after_platform[] = {&project, &*hash, &*platform};
      platform = next_platform.first(after_platform);
    }
    const std::string* const after_hash[] = {&project, &*hash};
    hash = next_hash.first(after_hash);
  }
  return found;
}

std::vector<stored_row> SqliteRowSource::rows(const sql_table& table, const std::string& project,
                                              const std::string& githash, const std::string& platform) {
  std::vector<stored_row> found;
  if (!has_table(table)) return found;
  const std::string* const parameters[] = {&project, &githash, &platform};
  query(connection_.get(), rows_statement(table), parameters,
        [&](sqlite3_stmt* statement) { found.push_back(row_of(statement)); });
  return found;
}

std::vector<stored_row> SqliteRowSource::select(const std::string& statement,
                                                std::span<const std::string> parameters) {
  std::vector<const std::string*> bound;
  for (const std::string& parameter : parameters) bound.push_back(&parameter);
  std::vector<stored_row> found;
  query(connection_.get(), statement, bound, [&](sqlite3_stmt* row) { found.push_back(row_of(row)); });
  return found;
}

// One statement per value: each is a seek in the table's key index.
std::vector<stored_row> SqliteRowSource::rows_with(const sql_table& table, const std::string& project,
                                                   const std::string& githash, const std::string& platform,
                                                   std::string_view column, std::span<const std::string> values) {
  std::vector<stored_row> found;
  if (!has_table(table)) return found;
  std::string sql = rows_statement(table);
  sql += " and ";
  sql += column;
  sql += " = $4";
  for (const std::string& value : values) {
    const std::string* const parameters[] = {&project, &githash, &platform, &value};
    query(connection_.get(), sql, parameters, [&](sqlite3_stmt* statement) { found.push_back(row_of(statement)); });
  }
  return found;
}

}  // namespace Detail
