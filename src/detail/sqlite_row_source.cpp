#include "detail/sqlite_row_source.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <tuple>

namespace Detail {

namespace {

struct StatementDeleter {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

struct ValueDeleter {
  void operator()(sqlite3_value* value) const { sqlite3_value_free(value); }
};

// A stored value with the type it is stored with, and its text.
struct Value {
  std::unique_ptr<sqlite3_value, ValueDeleter> typed;
  std::string text;
};

// A value as text: SQLite's text form of a number, a blob's bytes, "" for NULL.
std::string column_text(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))) : std::string();
}

stored_row row_of(sqlite3_stmt* statement) {
  stored_row row(static_cast<std::size_t>(sqlite3_column_count(statement)));
  for (std::size_t i = 0; i < row.size(); ++i) row[i] = column_text(statement, static_cast<int>(i));
  return row;
}

// The folder SQLite writes its temporary files to (sorting, grouping), found
// as SQLite finds it on Unix.
std::string temporary_folder() {
  const char* const candidates[] = {sqlite3_temp_directory, std::getenv("SQLITE_TMPDIR"), std::getenv("TMPDIR"),
                                    "/var/tmp", "/usr/tmp", "/tmp"};
  for (const char* folder : candidates) {
    struct stat status = {};
    if (folder && stat(folder, &status) == 0 && S_ISDIR(status.st_mode) && access(folder, W_OK | X_OK) == 0)
      return folder;
  }
  return ".";
}

sqlite_access access_for(const SqliteReadLock& lock) {
  if (lock.is_directory()) throw database_error("it is a directory");
  switch (lock.reading()) {
    case sqlite_reading::shared: return sqlite_access::read_only;
    case sqlite_reading::file_only: return sqlite_access::file_only;
    case sqlite_reading::refused: break;
  }
  throw database_error("its write-ahead log (-wal) has no -shm file beside it, which reading would create: "
                       "the next load restores it");
}

}  // namespace

SqliteRowSource::SqliteRowSource(const std::string& path) : lock_(path), connection_(path, access_for(lock_)) {
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

void SqliteRowSource::fail() const {
  check_unchanged();  // a file read while a load wrote into it may look damaged
  sqlite3* db = connection_.get();
  const int code = sqlite3_extended_errcode(db);
  if (code == SQLITE_READONLY_ROLLBACK) throw database_error("a load was interrupted: the next load rolls it back");
  // A reader writes nothing but temporary files.
  if ((code & 0xff) == SQLITE_FULL)
    throw database_error(std::string(sqlite3_errmsg(db)) + ": the temporary folder " + temporary_folder() +
                         " is full (SQLITE_TMPDIR names another)");
  throw database_error(sqlite3_errmsg(db));
}

// The file read alone is kept from changing by the lock but for a
// checkpoint, which only this tells.
void SqliteRowSource::check_unchanged() const {
  if (lock_.reading() == sqlite_reading::file_only && lock_.changed())
    throw database_error("a load wrote into it while it was read: compare again");
}

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

// Runs `sql` with its parameters $1, $2, ... bound to `parameters` and
// hands every result row to `each`.
void SqliteRowSource::query(const std::string& sql, std::span<const std::string* const> parameters,
                            const std::function<void(sqlite3_stmt*)>& each) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(connection_.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) fail();
  const Statement statement(raw);
  run(raw, parameters, each);
}

// As query(), for a statement prepared once and run again.
void SqliteRowSource::run(sqlite3_stmt* statement, std::span<const std::string* const> parameters,
                          const std::function<void(sqlite3_stmt*)>& each) {
  sqlite3_reset(statement);
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    const std::string name = std::string("$").append(std::to_string(i + 1));
    const int index = sqlite3_bind_parameter_index(statement, name.c_str());
    if (index == 0) continue;
    sqlite3_bind_text(statement, index, parameters[i]->data(), static_cast<int>(parameters[i]->size()),
                      SQLITE_STATIC);
  }
  for (int stepped = sqlite3_step(statement); stepped != SQLITE_DONE; stepped = sqlite3_step(statement)) {
    if (stepped != SQLITE_ROW) fail();
    each(statement);
  }
  check_unchanged();
}

namespace {

// One statement of the skip scan, prepared once and run again with new
// values, each bound with the type it is stored with: a number or a blob
// bound as text would find its own value again, or none.
class ScanStep {
 public:
  ScanStep(sqlite3* db, const SqliteRowSource& source, const std::string& sql) : source_(source) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) source.fail();
    statement_.reset(raw);
  }

  /// The first column of the first row for `project` (?1) and `values`
  /// (?2, ...): none without a row, nor for NULL when `null_is_none`.
  std::optional<Value> first(const std::string& project, std::span<sqlite3_value* const> values,
                             bool null_is_none) {
    sqlite3_stmt* raw = statement_.get();
    sqlite3_reset(raw);
    sqlite3_bind_text(raw, 1, project.data(), static_cast<int>(project.size()), SQLITE_STATIC);
    for (std::size_t i = 0; i < values.size(); ++i) sqlite3_bind_value(raw, static_cast<int>(i + 2), values[i]);
    const int stepped = sqlite3_step(raw);
    if (stepped != SQLITE_ROW && stepped != SQLITE_DONE) source_.fail();
    if (stepped == SQLITE_DONE || (null_is_none && sqlite3_column_type(raw, 0) == SQLITE_NULL)) return std::nullopt;
    // Copied before the text is asked for: that turns the column into text.
    Value found{std::unique_ptr<sqlite3_value, ValueDeleter>(sqlite3_value_dup(sqlite3_column_value(raw, 0))), ""};
    if (!found.typed) throw database_error("out of memory");
    found.text = column_text(raw, 0);
    return found;
  }

 private:
  const SqliteRowSource& source_;
  Statement statement_;
};

// The runs of one project in one table, found a run column at a time: each
// next value is the least one after the last in SQLite's order of values
// (NULL, numbers, texts, blobs), so that every step moves on.
class RunScanner {
 public:
  RunScanner(sqlite3* db, const SqliteRowSource& source, const sqlite_run_scan& statements, const std::string& project)
      : project_(project), earliest_(db, source, statements.earliest) {
    for (const sqlite_run_scan::column_steps& steps : statements.columns)
      columns_.push_back({{db, source, steps.first}, {db, source, steps.after_null}, {db, source, steps.after}});
  }

  std::vector<stored_run> runs() {
    scan(0);
    return std::move(found_);
  }

 private:
  struct Column {
    ScanStep first;
    ScanStep after_null;
    ScanStep after;
  };

  void scan(std::size_t depth) {
    Column& column = columns_[depth];
    for (std::optional<Value> value = column.first.first(project_, fixed_, false); value;) {
      fixed_.push_back(value->typed.get());
      texts_.push_back(value->text);
      if (depth + 1 < columns_.size()) scan(depth + 1);
      else add_run();
      std::optional<Value> next = sqlite3_value_type(value->typed.get()) == SQLITE_NULL
                                      ? column.after_null.first(project_, std::span(fixed_).first(depth), true)
                                      : column.after.first(project_, fixed_, true);
      fixed_.pop_back();
      texts_.pop_back();
      value = std::move(next);
    }
  }

  void add_run() {
    stored_run& run = found_.emplace_back();
    run.githash = texts_[0];
    run.platform = texts_[1];
    if (texts_.size() > 2) run.tool = texts_[2];
    if (std::optional<Value> earliest = earliest_.first(project_, fixed_, true)) run.earliest = earliest->text;
  }

  const std::string& project_;
  std::vector<Column> columns_;
  ScanStep earliest_;
  std::vector<sqlite3_value*> fixed_;  // the values of the run columns scanned so far
  std::vector<std::string> texts_;     // and their texts
  std::vector<stored_run> found_;
};

}  // namespace

sqlite_run_scan sqlite_run_scan_statements(const sql_table& table) {
  sqlite_run_scan scan;
  const std::string name(table.name);
  // SQLite seeks a row value "(githash, platform) > (?, ?)" only by its
  // first column and would then read every row of the run it starts in;
  // "is" compares NULL too.
  std::string where = " where project = ?1";
  int parameter = 2;
  for (std::string_view column_name : run_columns(table)) {
    const std::string column(column_name);
    const std::string from = " from " + name + where;
    scan.columns.push_back({"select " + column + from + " order by " + column + " limit 1",
                            "select min(" + column + ")" + from,
                            "select min(" + column + ")" + from + " and " + column + " > ?" +
                                std::to_string(parameter)});
    where += " and " + column + " is ?" + std::to_string(parameter++);
  }
  scan.earliest = "select date || ' ' || time from " + name + where + " order by date, time limit 1";
  return scan;
}

std::vector<stored_run> SqliteRowSource::runs(const sql_table& table, const std::string& project) {
  if (!has_table(table)) return {};
  std::vector<stored_run> found =
      RunScanner(connection_.get(), *this, sqlite_run_scan_statements(table), project).runs();
  check_unchanged();
  // Values of other types with one text form ("3333333" and 3333333) are
  // one run, dated by its earliest row.
  const auto key = [](const stored_run& run) { return std::tie(run.githash, run.platform, run.tool); };
  std::sort(found.begin(), found.end(), [&](const stored_run& a, const stored_run& b) {
    return key(a) != key(b) ? key(a) < key(b) : a.earliest < b.earliest;
  });
  found.erase(std::unique(found.begin(), found.end(), [&](const stored_run& a, const stored_run& b) {
                return key(a) == key(b);
              }),
              found.end());
  return found;
}

std::vector<stored_row> SqliteRowSource::rows(const sql_table& table, const std::string& project,
                                              const std::string& githash, const std::string& platform) {
  std::vector<stored_row> found;
  if (!has_table(table)) return found;
  const std::string* const parameters[] = {&project, &githash, &platform};
  query(rows_statement(table, *this, githash, platform), parameters,
        [&](sqlite3_stmt* statement) { found.push_back(row_of(statement)); });
  return found;
}

std::vector<stored_row> SqliteRowSource::select(const std::string& statement,
                                                std::span<const std::string> parameters) {
  std::vector<const std::string*> bound;
  for (const std::string& parameter : parameters) bound.push_back(&parameter);
  std::vector<stored_row> found;
  query(statement, bound, [&](sqlite3_stmt* row) { found.push_back(row_of(row)); });
  return found;
}

// One run of a statement per value, each a seek in the table's key index.
// The statement for "" matches NULL too, and is prepared apart.
std::vector<stored_row> SqliteRowSource::rows_with(const sql_table& table, const std::string& project,
                                                   const std::string& githash, const std::string& platform,
                                                   std::string_view column, std::span<const std::string> values) {
  std::vector<stored_row> found;
  if (!has_table(table)) return found;
  Statement prepared[2];
  for (const std::string& value : values) {
    Statement& statement = prepared[value.empty() ? 1 : 0];
    if (!statement) {
      sqlite3_stmt* raw = nullptr;
      const std::string sql = rows_with_statement(table, githash, platform, column, value);
      if (sqlite3_prepare_v2(connection_.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) fail();
      statement.reset(raw);
    }
    const std::string* const parameters[] = {&project, &githash, &platform, &value};
    run(statement.get(), parameters, [&](sqlite3_stmt* row) { found.push_back(row_of(row)); });
  }
  return found;
}

// The key index (project, githash, name) finds the row; SQLite would rather
// seek the platform too, in the run index, and read the run's every row: a
// unary plus keeps it from that.
std::string SqliteRowSource::rows_with_statement(const sql_table& table, const std::string& githash,
                                                 const std::string& platform, std::string_view column,
                                                 const std::string& value) const {
  return rows_statement(table, text_in("githash", 2, std::span(&githash, 1)) + " and " +
                                   text_in("+platform", 3, std::span(&platform, 1)) + " and " +
                                   text_in(column, 4, std::span(&value, 1)));
}

// The column holds what the loads store, or a value another writer stored
// as a number or a blob: each value is sought as the text, the blob, the
// integer and the real it may be stored as (an index seek each), then the
// stored value's text form must be the value.
std::string SqliteRowSource::text_in(std::string_view column, std::size_t first,
                                     std::span<const std::string> values) const {
  if (values.empty()) return "0";
  const std::string name(column);
  std::string seek;
  std::string texts;
  bool with_empty = false;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::string parameter = std::string("$").append(std::to_string(first + i));
    if (i > 0) {
      seek += ", ";
      texts += ", ";
    }
    seek += parameter + ", cast(" + parameter + " as blob), cast(" + parameter + " as integer), cast(" + parameter +
            " as real)";
    texts += parameter;
    with_empty = with_empty || values[i].empty();
  }
  // NULL reads as "": sought apart, at the cost of the index's later columns.
  std::string condition = "(" + name + " in (" + seek + ")";
  if (with_empty) condition += " or " + name + " is null";
  return condition + ") and coalesce(cast(" + name + " as text), '') in (" + texts + ")";
}

}  // namespace Detail
