#include "detail/table_rows.h"

#include <iostream>
#include <stdexcept>

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
  if (!problem.empty()) return fail(exit_status::database_not_loaded, "Could not load database: " + problem);
  // On standard error: standard output is the script's echo, which a reader
  // may take as the script.
  const std::string skipped = skipped_rows_message(table_, run, database->skipped());
  if (!skipped.empty()) print_warning(std::cerr, skipped);
}

std::vector<std::string> run_values(const sql_table& table, const options& opts, const std::string& date,
                                    const std::string& time) {
  const std::pair<std::string_view, const std::string*> sources[] = {
      {"platform", &opts.platform}, {"project", &opts.project_name}, {"tool", &opts.tool_name},
      {"githash", &opts.hash_value}, {"date", &date},                {"time", &time},
      {"type", &opts.test_type}};
  std::vector<std::string> values;
  for (std::size_t i = 0; i < table.run_column_count; ++i) {
    const std::string* value = nullptr;
    for (const auto& [column, source] : sources) {
      if (column == table.columns[i].name) value = source;
    }
    // A table description names only these columns first; anything else is a
    // programming error that no input can cause.
    if (!value) throw std::logic_error("no run value for column " + std::string(table.columns[i].name));
    values.push_back(*value);
  }
  return values;
}

std::unique_ptr<RowSink> database_sink(const std::string& target) {
  if (target.starts_with("postgresql://") || target.starts_with("postgres://"))
    return std::make_unique<PostgresqlSink>(target);
  return std::make_unique<SqliteSink>(target);
}

}  // namespace Detail
