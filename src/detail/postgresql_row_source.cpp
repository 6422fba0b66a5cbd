#include "detail/postgresql_row_source.h"

#include <libpq-fe.h>

#include <vector>

namespace Detail {

namespace {

std::vector<stored_row> rows_of(const PGresult* result) {
  std::vector<stored_row> rows(static_cast<std::size_t>(PQntuples(result)));
  const int columns = PQnfields(result);
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    stored_row& values = rows[static_cast<std::size_t>(row)];
    values.reserve(static_cast<std::size_t>(columns));
    // A NULL reads as "", as an empty numeric value reads from SQLite.
    for (int column = 0; column < columns; ++column)
      values.emplace_back(PQgetvalue(result, row, column), static_cast<std::size_t>(PQgetlength(result, row, column)));
  }
  return rows;
}

// A text[] literal: every element quoted, its quotes and backslashes escaped.
std::string array_literal(std::span<const std::string> values) {
  std::string literal = "{";
  for (const std::string& value : values) {
    if (literal.size() > 1) literal += ',';
    literal += '"';
    for (char c : value) {
      if (c == '"' || c == '\\') literal += '\\';
      literal += c;
    }
    literal += '"';
  }
  return literal + "}";
}

}  // namespace

PostgresqlRowSource::PostgresqlRowSource(const std::string& uri) : connection_(uri, "VIViriZovuro-compare") {
  if (!connection_.get()) throw database_error(connection_.problem());
  query("begin transaction isolation level repeatable read, read only", {});
}

PgResult PostgresqlRowSource::query(const std::string& sql, std::span<const std::string* const> parameters) {
  std::vector<const char*> values;
  std::vector<int> lengths;
  for (const std::string* parameter : parameters) {
    values.push_back(parameter->c_str());
    lengths.push_back(static_cast<int>(parameter->size()));
  }
  PgResult result(PQexecParams(connection_.get(), sql.c_str(), static_cast<int>(values.size()), nullptr,
                               values.data(), lengths.data(), nullptr, 0));
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) throw database_error(connection_.failure(result.get()));
  return result;
}

bool PostgresqlRowSource::has_table(const sql_table& table) {
  const std::string name(table.name);
  const std::string* const parameters[] = {&name};
  const PgResult result = query("select to_regclass($1) is not null", parameters);
  return std::string_view(PQgetvalue(result.get(), 0, 0)) == "t";
}

std::vector<stored_run> PostgresqlRowSource::runs(const sql_table& table, const std::string& project) {
  std::vector<stored_run> found;
  if (!has_table(table)) return found;
  const std::string* const parameters[] = {&project};
  const PgResult result = query(runs_statement(table), parameters);
  const bool with_tool = has_column(table, "tool");
  for (const stored_row& row : rows_of(result.get())) {
    stored_run& run = found.emplace_back();
    run.githash = row[0];
    run.platform = row[1];
    if (with_tool) run.tool = row[2];
    run.earliest = row[with_tool ? 3 : 2];
  }
  return found;
}

std::vector<stored_row> PostgresqlRowSource::rows(const sql_table& table, const std::string& project,
                                                  const std::string& githash, const std::string& platform) {
  if (!has_table(table)) return {};
  const std::string* const parameters[] = {&project, &githash, &platform};
  return rows_of(query(rows_statement(table, *this, githash, platform), parameters).get());
}

std::vector<stored_row> PostgresqlRowSource::select(const std::string& statement,
                                                    std::span<const std::string> parameters) {
  std::vector<const std::string*> bound;
  for (const std::string& parameter : parameters) bound.push_back(&parameter);
  return rows_of(query(statement, bound).get());
}

std::vector<stored_row> PostgresqlRowSource::rows_with(const sql_table& table, const std::string& project,
                                                       const std::string& githash, const std::string& platform,
                                                       std::string_view column,
                                                       std::span<const std::string> values) {
  if (!has_table(table) || values.empty()) return {};
  std::string sql = rows_statement(table, *this, githash, platform);
  sql += " and ";
  sql += column;
  sql += " = any($4::text[])";
  const std::string array = array_literal(values);
  const std::string* const parameters[] = {&project, &githash, &platform, &array};
  return rows_of(query(sql, parameters).get());
}

// The tables the loads create hold text in every column: a plain comparison.
std::string PostgresqlRowSource::text_in(std::string_view column, std::size_t first,
                                         std::span<const std::string> values) const {
  if (values.empty()) return "false";
  std::string condition(column);
  condition += " in (";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) condition += ", ";
    condition.append("$").append(std::to_string(first + i));
  }
  return condition + ")";
}

}  // namespace Detail
