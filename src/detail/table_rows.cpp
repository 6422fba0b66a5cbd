#include "detail/table_rows.h"

#include <stdexcept>

#include "detail/messages.h"
#include "detail/output_writer.h"
#include "detail/postgresql_sink.h"
#include "detail/sqlite_sink.h"

namespace Detail {
TableRows::TableRows(const options& opts, const sql_table& table, const std::string& date, const std::string& time)
    : options_(opts) {
  const std::vector<std::string> values = run_values(table, opts, date, time);
  const std::vector<std::string_view> views(values.begin(), values.end());
  script_.begin_table(table, views);
  if (opts.has_database) {
    database_ = database_sink(opts.database);
    database_->begin_table(table, views);
  }
}

TableRows::~TableRows() = default;

void TableRows::add(std::span<const std::string_view> values) {
  script_.add_row(values);
  if (database_) database_->add_row(values);
}

void TableRows::finish() {
  script_.finish();
  const bool written = write_output(options_.output, script_.text());
  if (!database_) return;
  if (!written) {
    database_.reset();  // rolls the run's rows back
    return;
  }
  const std::string problem = database_->finish();
  database_.reset();
  if (!problem.empty()) fail(exit_status::database_not_loaded, "Could not load database: " + problem);
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
