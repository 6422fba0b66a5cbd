#pragma once
// Rows a database load left out because the table already held rows with
// their key before the load began (the key keeps the first row). Each
// loader counts them its own way; the warning about them is built here.
//
//   VIViriZovuro warning: 12 of 20 rows of ut_coverage were not loaded: the table already holds rows with
//   their key (project P, hash H, function_name), loaded for platform Ruxi, tool LCOV (the key has no
//   platform or tool: load each under a project name of its own)
//
// Rows of one run that repeat each other's key are not counted: the first of
// them is kept, as documented for every keyed table.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "detail/sql_table.h"

namespace Detail {

/// The platform and tool of the held rows that kept out some of the run's
/// rows, and how many of them did.
struct held_source {
  std::string platform;
  std::string tool;  // empty where the table has no tool column
  std::size_t rows = 0;
};

struct skipped_rows {
  std::size_t skipped = 0;  // the run's rows left out for a key held before the load
  std::size_t offered = 0;  // the run's rows, one per key
  std::vector<held_source> sources;
};

/// Counts `rows` more rows left out for keys that held rows of `platform`
/// and `tool` have.
void add_held_rows(skipped_rows& skipped, std::string_view platform, std::string_view tool, std::size_t rows = 1);

/// The columns a held row's origin is read from: "platform" and "tool", or
/// "''" for a table without a tool column, each after `prefix` ("t.").
std::string source_columns(const sql_table& table, std::string_view prefix = "");

/// The warning about `skipped` for a load of `run_values` into `table`; empty
/// when no row was left out.
std::string skipped_rows_message(const sql_table& table, std::span<const std::string_view> run_values,
                                 const skipped_rows& skipped);

}  // namespace Detail
