#include "detail/skipped_rows.h"

#include <algorithm>
#include <optional>

namespace Detail {

namespace {

// Names a load can tell apart by: the most held rows first.
constexpr std::size_t sources_named = 3;

bool has_column(const sql_table& table, std::string_view name) {
  return std::any_of(table.columns.begin(), table.columns.end(),
                     [&](const sql_column& column) { return column.name == name; });
}

std::optional<std::string_view> run_value(const sql_table& table, std::span<const std::string_view> run_values,
                                          std::string_view name) {
  for (std::size_t i = 0; i < table.run_column_count && i < run_values.size(); ++i) {
    if (table.columns[i].name == name) return run_values[i];
  }
  return std::nullopt;
}

// "project P, hash H, function_name": the run's own values where the key
// holds a run column, the names of the others; "any project" where the key
// leaves the project out.
std::string key_description(const sql_table& table, std::span<const std::string_view> run_values) {
  std::vector<std::string> parts;
  const auto& key = table.unique_columns;
  if (has_column(table, "project") && std::find(key.begin(), key.end(), "project") == key.end())
    parts.emplace_back("any project");
  for (std::string_view column : key) {
    const std::optional<std::string_view> value = run_value(table, run_values, column);
    if (!value) {
      parts.emplace_back(column);
      continue;
    }
    const std::string_view label = column == "githash" ? "hash" : column;
    parts.push_back(std::string(label) + " " + std::string(*value));
  }
  std::string joined;
  for (const std::string& part : parts) joined += (joined.empty() ? "" : ", ") + part;
  return joined;
}

std::string sources_description(const sql_table& table, std::vector<held_source> sources) {
  std::sort(sources.begin(), sources.end(), [](const held_source& a, const held_source& b) {
    if (a.rows != b.rows) return a.rows > b.rows;
    return a.platform != b.platform ? a.platform < b.platform : a.tool < b.tool;
  });
  const bool with_tool = has_column(table, "tool");
  std::string text;
  for (std::size_t i = 0; i < sources.size() && i < sources_named; ++i) {
    if (i > 0) text += " and ";
    text += "platform " + sources[i].platform;
    if (with_tool) text += ", tool " + sources[i].tool;
  }
  if (sources.size() > sources_named) text.append(" and ").append(std::to_string(sources.size() - sources_named)).append(" more");
  return text;
}

}  // namespace

void add_held_rows(skipped_rows& skipped, std::string_view platform, std::string_view tool, std::size_t rows) {
  skipped.skipped += rows;
  for (held_source& source : skipped.sources) {
    if (source.platform == platform && source.tool == tool) {
      source.rows += rows;
      return;
    }
  }
  skipped.sources.push_back({std::string(platform), std::string(tool), rows});
}

std::string source_columns(const sql_table& table, std::string_view prefix) {
  const std::string platform = std::string(prefix) + "platform, ";
  return platform + (has_column(table, "tool") ? std::string(prefix) + "tool" : std::string("''"));
}

std::string skipped_rows_message(const sql_table& table, std::span<const std::string_view> run_values,
                                 const skipped_rows& skipped) {
  if (skipped.skipped == 0) return "";
  const std::string_view platform = run_value(table, run_values, "platform").value_or("");
  const std::string_view tool = run_value(table, run_values, "tool").value_or("");
  const bool same_run = std::all_of(skipped.sources.begin(), skipped.sources.end(), [&](const held_source& source) {
    return source.platform == platform && source.tool == tool;
  });
  return std::to_string(skipped.skipped) + " of " + std::to_string(skipped.offered) + " rows of " +
         std::string(table.name) + " were not loaded: the table already holds rows with their key (" +
         key_description(table, run_values) + "), loaded for " + sources_description(table, skipped.sources) +
         (same_run ? " (a second load of the same run keeps the first load's rows)"
                   : " (the key has no platform or tool: load each under a project name of its own)");
}

}  // namespace Detail
