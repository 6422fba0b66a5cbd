#pragma once
// The five tables of the results database, each described once: the
// converters write them, the comparison reads them, the database loaders
// create them from these descriptions.

#include <array>
#include <span>

#include "detail/sql_table.h"

namespace Detail {

/// ut_results: the run's values and the test type, then the test name and
/// its verdict ("passed", "FAILED", "skipped"); the first row of a project,
/// hash and test name is kept.
const sql_table& ut_results_table();

/// ut_coverage: the run's values, the C0 and C1 figures and the name of the
/// function or file; the first row of a project, hash and name is kept.
const sql_table& ut_coverage_table();

/// q_results: the run's values, then per file its name (the platform, a
/// backslash and the file's path) and its counts per band; the first row of
/// a hash and file name is kept.
const sql_table& q_results_table();

/// compiler_results: the run's values, then the file, line, type and
/// identifier of one diagnostic; every row is kept.
const sql_table& compiler_results_table();

/// compiler_map: the run's values, then one section's origin and size (in
/// hexadecimal as read and in decimal), its name and its file; every row is
/// kept.
const sql_table& compiler_map_table();

/// The five tables, in the order above.
std::span<const sql_table* const> results_tables();

}  // namespace Detail
