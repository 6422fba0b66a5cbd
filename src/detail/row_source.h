#pragma once
// Where the comparison reads stored rows from: a SQLite database file or a
// PostgreSQL server, both read in one snapshot and never changed. Mirrors
// the loaders (row_sink.h): the rows of one table for one run, every value
// as text, an empty numeric value alike from both databases ("": '' in
// SQLite, NULL in PostgreSQL).
//
//   auto source = Detail::open_row_source("results.db");
//   for (const Detail::stored_run& run : source->runs(Detail::ut_results_table(), "App")) ...
//   auto rows = source->rows(Detail::ut_results_table(), "App", run.githash, run.platform);

#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "detail/sql_table.h"

namespace Detail {

/// A database that cannot be opened or read; what() is the reason.
class database_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// One run of a project in one table: a hash on a platform (and, in the
/// tables that have the column, a tool), and its earliest row's date and
/// time ("2026-12-09 18:04:21", as the rows hold them).
struct stored_run {
  std::string githash;
  std::string platform;
  std::string tool;
  std::string earliest;
};

using stored_row = std::vector<std::string>;

class RowSource {
 public:
  virtual ~RowSource() = default;

  /// Every run of `project` in `table`, ordered by hash, platform and tool;
  /// none when the database has no such table.
  virtual std::vector<stored_run> runs(const sql_table& table, const std::string& project) = 0;

  /// The rows of `table` for `project`, `githash` and `platform`, each with
  /// every column of the table in order.
  virtual std::vector<stored_row> rows(const sql_table& table, const std::string& project,
                                       const std::string& githash, const std::string& platform) = 0;

  /// The rows of any select statement written for both databases, its
  /// parameters $1, $2, ... bound to `parameters` as texts.
  virtual std::vector<stored_row> select(const std::string& statement, std::span<const std::string> parameters) = 0;

  /// A condition for this database's statements: `column` holds one of
  /// `values`, which are bound as the parameters $first, $first + 1, ...
  /// A value stored with another type than text (a number, a blob) counts
  /// as its text form, NULL as "", as runs() reads them; the condition
  /// still seeks an index on the column.
  virtual std::string text_in(std::string_view column, std::size_t first,
                              std::span<const std::string> values) const = 0;

  /// As rows(), only those whose `column` holds one of `values`.
  virtual std::vector<stored_row> rows_with(const sql_table& table, const std::string& project,
                                            const std::string& githash, const std::string& platform,
                                            std::string_view column, std::span<const std::string> values) = 0;
};

/// The source `database` names: a PostgreSQL server for a libpq URI
/// ("postgresql://..." or "postgres://..."), else the SQLite database file at
/// that path, opened read-only. Throws database_error.
std::unique_ptr<RowSource> open_row_source(const std::string& database);

/// The statements the sources run (parameters $1, $2, ...).
/// The runs of a project, by a skip scan over the table's run index, so that
/// finding them reads one index entry per run rather than the history's rows.
/// PostgreSQL's: it seeks the row value in one step, where SQLite's seek takes
/// only its first column (the SQLite source steps each column on its own).
std::string runs_statement(const sql_table& table);
/// The rows of a project, hash and platform (the parameters $1, $2 and $3),
/// the hash and the platform compared by `source`'s text_in().
std::string rows_statement(const sql_table& table, const RowSource& source, const std::string& githash,
                           const std::string& platform);
/// The rows of a project (the parameter $1) where `condition` holds.
std::string rows_statement(const sql_table& table, std::string_view condition);
/// The index that finds a run's rows ("create index if not exists ...").
std::string run_index_statement(const sql_table& table);
/// Its name.
std::string run_index_name(const sql_table& table);

/// The columns that tell one run from another within a project: githash,
/// platform and, in the tables that have it, tool.
std::vector<std::string_view> run_columns(const sql_table& table);

/// Whether the table has a column called `name`.
bool has_column(const sql_table& table, std::string_view name);

}  // namespace Detail
