#include "detail/postgresql_sink.h"

#include <libpq-fe.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

#include "detail/postgresql_connection.h"
#include "detail/row_source.h"

namespace Detail {

namespace {

// Every run that finds its table missing takes this lock before creating it,
// and holds it to the end of its transaction: a second run then waits and
// finds the table committed, where two racing "create table if not exists"
// statements could fail on PostgreSQL's catalog.
constexpr const char* create_lock = "select pg_advisory_xact_lock(7305870512633746531)";

// The rows go straight into the table with COPY, its fastest road, inside
// this savepoint. Where a row meets a key an earlier run (or a run loading at
// the same moment) holds, COPY fails; the transaction goes back to the
// savepoint and the rows travel through the staging table instead, from
// which one insert skips the rows whose keys are taken.
constexpr const char* direct_savepoint = "viviri_direct";
constexpr std::string_view staging_table = "viviri_rows";  // goes with the transaction

constexpr std::size_t copy_block = 1 << 20;

// Runs that load rows of the same keys at once (two CI jobs of one commit)
// would each wait for the other's rows in the unique index and deadlock. The
// keys of two runs can meet only where their run values in the key (project
// and hash) are the same, so such runs take this lock, one after the other,
// and the others run side by side. Two such texts that share a number only
// wait for each other.
std::string load_lock(const sql_table& table, std::span<const std::string> run_values) {
  std::uint64_t hash = 14695981039346656037u;  // FNV-1a
  const auto add = [&](std::string_view text) {
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    hash = (hash ^ 0xffu) * 1099511628211u;  // a separator no UTF-8 text holds
  };
  add(table.name);
  for (std::size_t i = 0; i < table.run_column_count && i < run_values.size(); ++i) {
    if (std::find(table.unique_columns.begin(), table.unique_columns.end(), table.columns[i].name) !=
        table.unique_columns.end())
      add(run_values[i]);
  }
  return "select pg_advisory_xact_lock(" + std::to_string(static_cast<std::int64_t>(hash)) + ")";
}

struct ResultDeleter {
  void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;


bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// The whole number in `value`, as PostgreSQL reads it into `column`; nothing
// (NULL) for an empty value and for any value the column cannot hold, which
// SQLite would keep as text or as an inexact real.
std::optional<std::string_view> whole_number(const sql_column& column, std::string_view value) {
  while (!value.empty() && is_space(value.front())) value.remove_prefix(1);
  while (!value.empty() && is_space(value.back())) value.remove_suffix(1);
  std::string_view digits = value;
  const bool negative = !digits.empty() && digits.front() == '-';
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
  if (column.unsigned_64) return digits.size() <= 20 ? std::optional(value) : std::nullopt;
  const std::string_view largest = negative ? "9223372036854775808" : "9223372036854775807";
  if (digits.size() < largest.size() || (digits.size() == largest.size() && digits <= largest)) return value;
  return std::nullopt;
}

// A value in COPY's text format: backslash, tab, line feed and carriage
// return escaped; NUL bytes left out, as the script leaves them out.
void append_copy_text(std::string& out, std::string_view value) {
  std::size_t plain = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    const char* escaped = c == '\\' ? "\\\\" : c == '\t' ? "\\t" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : nullptr;
    if (!escaped && c != '\0') continue;
    out.append(value, plain, i - plain);
    if (escaped) out += escaped;
    plain = i + 1;
  }
  out.append(value, plain);
}

void append_copy_value(std::string& out, const sql_column& column, std::string_view value) {
  if (!column.is_numeric()) return append_copy_text(out, value);
  const std::optional<std::string_view> number = whole_number(column, value);
  out += number ? *number : "\\N";
}

std::string join(const std::vector<std::string_view>& names, const char* separator = ", ") {
  std::string joined;
  for (std::string_view name : names) {
    if (!joined.empty()) joined += separator;
    joined += name;
  }
  return joined;
}

std::string create_statement(const sql_table& table) {
  std::string statement = "create table if not exists " + std::string(table.name) + " (";
  for (const sql_column& column : table.columns) {
    statement += column.name;
    statement += ' ';
    statement += postgresql_type(column);
    statement += ", ";
  }
  statement.resize(statement.size() - 2);
  statement += ")";
  if (table.unique_columns.empty()) return statement;
  // The key as its columns' hashes: a btree index entry holds at most 2,704
  // bytes, less than a long parameterised test name. An insert's "on
  // conflict do nothing" names no target, so that a table an earlier version
  // created with "unique (...)" takes the rows as well.
  std::vector<std::string> hashes;
  for (std::string_view column : table.unique_columns) hashes.push_back("md5(" + std::string(column) + ")");
  statement += "; create unique index if not exists ";
  statement += table.name;
  statement += "_key on ";
  statement += table.name;
  statement += " (";
  statement += join(std::vector<std::string_view>(hashes.begin(), hashes.end()));
  return statement + ")";
}

std::span<const sql_column> row_columns(const sql_table& table) {
  return std::span(table.columns).subspan(table.run_column_count);
}

std::string staging_statement(const sql_table& table) {
  std::string statement = "create temporary table " + std::string(staging_table) + " (";
  for (const sql_column& column : row_columns(table)) {
    statement += column.name;
    statement += ' ';
    statement += postgresql_type(column);
    statement += ", ";
  }
  statement.resize(statement.size() - 2);
  return statement + ") on commit drop";
}

std::string copy_statement(std::string_view table_and_columns) {
  return "copy " + std::string(table_and_columns) + " from stdin";
}

// The run's values as parameters, the rows from the staging table. The
// staging table holds one row per key (the sink dropped the later rows of a
// key), so the rows skipped are exactly those whose key the table holds.
std::string insert_statement(const sql_table& table) {
  std::string statement = "insert into " + table.column_list() + " select ";
  for (std::size_t i = 0; i < table.run_column_count; ++i) {
    statement += '$';
    statement += std::to_string(i + 1);
    statement += "::";
    statement += postgresql_type(table.columns[i]);
    statement += ", ";
  }
  for (const sql_column& column : row_columns(table)) {
    statement += column.name;
    statement += ", ";
  }
  statement.resize(statement.size() - 2);
  statement += " from ";
  statement += staging_table;
  return statement + " on conflict do nothing";
}

// The held rows that have a staged row's key, counted by platform and tool.
// Each column is compared by its hash as well, which lets the key's index
// (on the hashes) find them. The key's run columns are parameters, their
// values appended to `parameters`.
std::string held_keys_statement(const sql_table& table, std::span<const std::string> run_values,
                                std::vector<const char*>& parameters) {
  const auto same = [](const std::string& left, const std::string& right) {
    return "md5(" + left + ") = md5(" + right + ") and " + left + " = " + right;
  };
  std::string on;
  std::string where;
  for (std::string_view key : table.unique_columns) {
    const std::string column(key);
    bool run_column = false;
    for (std::size_t i = 0; i < table.run_column_count && i < run_values.size(); ++i) {
      if (table.columns[i].name != key) continue;
      parameters.push_back(run_values[i].c_str());
      const std::string parameter = std::string("$").append(std::to_string(parameters.size())).append("::text");
      where += (where.empty() ? " where " : " and ") + same("t." + column, parameter);
      run_column = true;
    }
    if (!run_column) on += (on.empty() ? " on " : " and ") + same("t." + column, "s." + column);
  }
  return "select " + source_columns(table, "t.") + ", count(*) from " + std::string(table.name) + " t join " +
         std::string(staging_table) + " s" + on + where + " group by 1, 2";
}

// Field `index` of a row in COPY's text format (tab-separated, no raw tab
// inside a field).
std::string_view copy_field(std::string_view row, std::size_t index) {
  for (; index > 0; --index) row.remove_prefix(std::min(row.find('\t') + 1, row.size()));
  return row.substr(0, row.find('\t'));
}

}  // namespace

std::string_view postgresql_type(const sql_column& column) {
  if (!column.is_numeric()) return "text";
  return column.unsigned_64 ? "numeric(20,0)" : "bigint";
}

PostgresqlSink::PostgresqlSink(std::string uri) : uri_(std::move(uri)) {}

// Closing the connection (link_) before the commit rolls the transaction back.
PostgresqlSink::~PostgresqlSink() = default;

void PostgresqlSink::record_problem(const char* reason) {
  if (!problem_.empty()) return;
  problem_ = without_password(one_line(reason && *reason ? reason : "unknown failure"), uri_);
}

// The server's own message where it sent one, else libpq's (a lost
// connection, memory).
void PostgresqlSink::record_failed(const PGresult* result) {
  const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  record_problem(primary ? primary : PQerrorMessage(connection_));
}

bool PostgresqlSink::execute(const std::string& statement, int expected_status) {
  const Result result(PQexec(connection_, statement.c_str()));
  if (result && PQresultStatus(result.get()) == expected_status) return true;
  record_failed(result.get());
  return false;
}

bool PostgresqlSink::create_table_when_missing() {
  const std::string missing = "select to_regclass('" + std::string(table_->name) + "') is null";
  // Asked again once the lock is held: a run that waited for it mostly finds
  // the table another run created, and leaves it alone.
  for (bool locked = false;; locked = true) {
    const Result result(PQexec(connection_, missing.c_str()));
    if (!result || PQresultStatus(result.get()) != PGRES_TUPLES_OK || PQntuples(result.get()) != 1) {
      record_problem(PQerrorMessage(connection_));
      return false;
    }
    if (std::string_view(PQgetvalue(result.get(), 0, 0)) != "t") return true;
    if (locked) return execute(create_statement(*table_), PGRES_COMMAND_OK);
    if (!execute(create_lock, PGRES_TUPLES_OK)) return false;
  }
}

// Whether the table exists without its run index.
static bool run_index_missing(pg_conn* connection, const sql_table& table) {
  const std::string missing = "select to_regclass('" + std::string(table.name) + "') is not null and to_regclass('" +
                              run_index_name(table) + "') is null";
  const Result result(PQexec(connection, missing.c_str()));
  return result && PQresultStatus(result.get()) == PGRES_TUPLES_OK && PQntuples(result.get()) == 1 &&
         std::string_view(PQgetvalue(result.get(), 0, 0)) == "t";
}

// The index the comparison finds a run's rows with, made after the load has
// committed, in a transaction of its own, for a new table and for one an
// earlier version created without it: "create index" (even "if not exists"
// on an existing index) inside a load takes a lock that deadlocks the loads
// of other runs. It waits only for the loads running at that moment, once
// per table. A failure (a table without the columns) keeps the rows loaded.
static void create_run_index_when_missing(pg_conn* connection, const sql_table& table) {
  if (!run_index_missing(connection, table)) return;
  const auto run = [&](const std::string& statement) {
    const Result done(PQexec(connection, statement.c_str()));
    const ExecStatusType status = done ? PQresultStatus(done.get()) : PGRES_FATAL_ERROR;
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
  };
  // Under the lock, again: another run may have made it meanwhile.
  const bool made = run("begin") && run(create_lock) &&
                    (!run_index_missing(connection, table) || run(run_index_statement(table))) && run("commit");
  if (!made) run("rollback");
}

void PostgresqlSink::begin_table(const sql_table& table, std::span<const std::string_view> run_values) {
  table_ = &table;
  for (std::size_t i = 0; i < run_values.size(); ++i) {
    std::string& kept = run_values_.emplace_back(run_values[i]);
    kept.erase(std::remove(kept.begin(), kept.end(), '\0'), kept.end());  // as the script leaves NUL out
    append_copy_value(run_prefix_, table.columns[i], kept);
    run_prefix_ += '\t';
  }
  // Every key column is a text column: two rows' keys are equal exactly when
  // their COPY texts are, which lets the sink find a run's repeated keys.
  const std::span<const sql_column> columns = row_columns(table);
  for (std::string_view key : table.unique_columns) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (columns[i].name == key) key_fields_.push_back(i);
    }
  }
  link_.emplace(uri_, "VIViriZovuro");
  connection_ = link_->get();
  if (!connection_) return record_problem(link_->problem().c_str());
  // A keyed table's load lock comes before the table's creation: a run
  // holding it never waits for a run that waits for it.
  if (!execute("begin", PGRES_COMMAND_OK) || (keyed() && !execute(load_lock(table, run_values_), PGRES_TUPLES_OK)) ||
      !create_table_when_missing())
    return;
  buffer_.reserve(copy_block + copy_block / 4);
  // A table without a key takes every row: they stream in as they come.
  if (!keyed()) execute(copy_statement(table.column_list()), PGRES_COPY_IN);
}

bool PostgresqlSink::keyed() const { return !table_->unique_columns.empty(); }

void PostgresqlSink::add_row(std::span<const std::string_view> values) {
  if (!problem_.empty()) return;
  const std::span<const sql_column> columns = row_columns(*table_);
  std::string& out = keyed() ? rows_ : buffer_;
  if (keyed()) {
    row_starts_.push_back(rows_.size());
  } else {
    out += run_prefix_;
  }
  for (std::size_t i = 0; i < values.size() && i < columns.size(); ++i) {
    if (i > 0) out += '\t';
    append_copy_value(out, columns[i], values[i]);
  }
  out += '\n';
  if (!keyed() && buffer_.size() >= copy_block) send_buffer();
}

std::string_view PostgresqlSink::row(std::size_t index) const {
  const std::size_t start = row_starts_[index];
  const std::size_t end = index + 1 < row_starts_.size() ? row_starts_[index + 1] : rows_.size();
  return std::string_view(rows_).substr(start, end - start - 1);
}

// Of the rows of one key, the table keeps the first: the later ones are
// dropped here, so that the rows sent hold every key once.
void PostgresqlSink::drop_repeated_keys() {
  std::vector<std::pair<std::size_t, std::size_t>> by_key;  // hash of the key, row
  by_key.reserve(row_starts_.size());
  for (std::size_t i = 0; i < row_starts_.size(); ++i) {
    std::size_t hash = 0;
    for (std::size_t field : key_fields_)
      hash = hash * 1000003 ^ std::hash<std::string_view>{}(copy_field(row(i), field));
    by_key.emplace_back(hash, i);
  }
  std::sort(by_key.begin(), by_key.end());
  const auto same_key = [&](std::size_t a, std::size_t b) {
    return std::all_of(key_fields_.begin(), key_fields_.end(),
                       [&](std::size_t field) { return copy_field(row(a), field) == copy_field(row(b), field); });
  };
  dropped_.assign(row_starts_.size(), false);
  for (auto group = by_key.begin(); group != by_key.end();) {
    const std::size_t hash = group->first;
    const auto group_end = std::find_if(group, by_key.end(), [&](const auto& entry) { return entry.first != hash; });
    for (auto later = group + 1; later != group_end; ++later) {
      dropped_[later->second] = std::any_of(group, later, [&](const auto& earlier) {
        return !dropped_[earlier.second] && same_key(earlier.second, later->second);
      });
    }
    group = group_end;
  }
}

void PostgresqlSink::send_row(std::size_t index) {
  buffer_ += row(index);
  buffer_ += '\n';
  if (buffer_.size() >= copy_block) send_buffer();
}

bool PostgresqlSink::send_buffer() {
  if (buffer_.empty()) return true;
  if (buffer_.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    record_problem("a row is too large for libpq");
    return false;
  }
  const bool sent = PQputCopyData(connection_, buffer_.data(), static_cast<int>(buffer_.size())) == 1;
  buffer_.clear();
  if (!sent) record_problem(PQerrorMessage(connection_));
  return sent;
}

// Ends the COPY in progress. Returns the SQLSTATE of its failure ("" when it
// succeeded); the failure is recorded unless its code is `tolerated`.
std::string PostgresqlSink::end_copy(std::span<const std::string_view> tolerated) {
  if (!send_buffer()) return "connection";
  if (PQputCopyEnd(connection_, nullptr) != 1) {
    record_problem(PQerrorMessage(connection_));
    return "connection";
  }
  std::string failed;
  for (Result result(PQgetResult(connection_)); result; result.reset(PQgetResult(connection_))) {
    if (PQresultStatus(result.get()) == PGRES_COMMAND_OK || !failed.empty()) continue;
    const char* state = PQresultErrorField(result.get(), PG_DIAG_SQLSTATE);
    failed = state ? state : "unknown";
    if (std::find(tolerated.begin(), tolerated.end(), failed) == tolerated.end()) record_failed(result.get());
  }
  return failed;
}

// The rows, each after the run's values, straight into the table. False when
// a row met a key the table holds or waited for one in a deadlock: the
// transaction is then back at the savepoint, with none of the rows.
bool PostgresqlSink::copy_into_table() {
  if (!execute(std::string("savepoint ") + direct_savepoint, PGRES_COMMAND_OK) ||
      !execute(copy_statement(table_->column_list()), PGRES_COPY_IN))
    return true;
  for (std::size_t i = 0; i < row_starts_.size() && problem_.empty(); ++i) {
    if (dropped_[i]) continue;
    buffer_ += run_prefix_;
    send_row(i);
  }
  if (!problem_.empty()) return true;
  constexpr std::string_view key_taken[] = {"23505", "40P01"};  // unique_violation, deadlock_detected
  const std::string failed = end_copy(key_taken);
  if (failed.empty() || !problem_.empty()) return true;
  execute(std::string("rollback to savepoint ") + direct_savepoint, PGRES_COMMAND_OK);
  return false;
}

// The rows into the staging table, then those whose key the table does not
// hold into the table, with the run's values as bound parameters.
void PostgresqlSink::insert_through_staging() {
  if (!execute(staging_statement(*table_), PGRES_COMMAND_OK) ||
      !execute(copy_statement(staging_table), PGRES_COPY_IN))
    return;
  for (std::size_t i = 0; i < row_starts_.size() && problem_.empty(); ++i) {
    if (!dropped_[i]) send_row(i);
  }
  if (!problem_.empty() || !end_copy({}).empty()) return;
  count_held_keys();
  std::vector<const char*> parameters;
  for (std::size_t i = 0; i < run_values_.size(); ++i) {
    const sql_column& column = table_->columns[i];
    const bool null = column.is_numeric() && !whole_number(column, run_values_[i]);
    parameters.push_back(null ? nullptr : run_values_[i].c_str());
  }
  const Result inserted(PQexecParams(connection_, insert_statement(*table_).c_str(),
                                     static_cast<int>(parameters.size()), nullptr, parameters.data(), nullptr,
                                     nullptr, 0));
  if (!inserted || PQresultStatus(inserted.get()) != PGRES_COMMAND_OK) record_failed(inserted.get());
}

// Before the insert, the table holds only rows loaded before this run (the
// load lock keeps out the runs that could add rows of its keys). Every
// staged row has a key of its own, so the rows counted are the run's rows
// the insert will leave out.
void PostgresqlSink::count_held_keys() {
  std::vector<const char*> parameters;
  const std::string statement = held_keys_statement(*table_, run_values_, parameters);
  const Result held(PQexecParams(connection_, statement.c_str(), static_cast<int>(parameters.size()), nullptr,
                                 parameters.data(), nullptr, nullptr, 0));
  if (!held || PQresultStatus(held.get()) != PGRES_TUPLES_OK) return record_failed(held.get());
  for (int row = 0; row < PQntuples(held.get()); ++row) {
    std::size_t rows = 0;
    const std::string_view count = PQgetvalue(held.get(), row, 2);
    std::from_chars(count.data(), count.data() + count.size(), rows);
    add_held_rows(skipped_, PQgetvalue(held.get(), row, 0), PQgetvalue(held.get(), row, 1), rows);
  }
  skipped_.offered = static_cast<std::size_t>(std::count(dropped_.begin(), dropped_.end(), false));
}

std::string PostgresqlSink::finish() {
  if (!problem_.empty()) return problem_;
  if (!keyed()) {
    end_copy({});
  } else {
    drop_repeated_keys();
    if (!copy_into_table() && problem_.empty()) insert_through_staging();
  }
  if (problem_.empty() && execute("commit", PGRES_COMMAND_OK)) create_run_index_when_missing(connection_, *table_);
  return problem_;
}

}  // namespace Detail
