#include "detail/table_rows.h"

#include <iostream>

#include "detail/messages.h"
#include "detail/output_writer.h"
#include "detail/postgresql_sink.h"
#include "detail/sqlite_sink.h"

namespace Detail {
TableRows::TableRows(const options& opts, const sql_table& table, const std::string& date, const std::string& time)
    : options_(opts), table_(table), run_values_(run_values(table, opts, date, time)) {
  const std::vector<std::string_view> views(run_values_.begin(), run_values_.end());
  script_.begin_table(table, views);
}

TableRows::~TableRows() = default;

void TableRows::add(std::span<const std::string_view> values) {
  script_.add_row(values);
  if (!options_.has_database) return;
  for (std::string_view value : values) {
    values_ += value;
    value_ends_.push_back(values_.size());
  }
  row_ends_.push_back(value_ends_.size());
}

void TableRows::finish() {
  script_.finish();
  const bool written = write_output(options_.output, script_.text());
  std::cout.flush();
  if (options_.has_database && written && std::cout) load_database();
}

void TableRows::load_database() const {
  const std::unique_ptr<RowSink> database = database_sink(options_.database);
  const std::vector<std::string_view> run(run_values_.begin(), run_values_.end());
  database->begin_table(table_, run);
  std::vector<std::string_view> row;
  std::size_t value = 0, start = 0;
  for (const std::size_t row_end : row_ends_) {
    row.clear();
    for (; value < row_end; ++value) {
      row.emplace_back(values_.data() + start, value_ends_[value] - start);
      start = value_ends_[value];
    }
    database->add_row(row);
  }
  const std::string problem = database->finish();
  if (!problem.empty()) fail(exit_status::database_not_loaded, "Could not load database: " + problem);
}

std::unique_ptr<RowSink> database_sink(const std::string& target) {
  if (target.starts_with("postgresql://") || target.starts_with("postgres://"))
    return std::make_unique<PostgresqlSink>(target);
  // SQLite reads a name beginning "file:" as a URI (an in-memory database
  // among them); the value is a file path, and "./" keeps it one.
  return std::make_unique<SqliteSink>(target.starts_with("file:") ? "./" + target : target);
}

}  // namespace Detail
