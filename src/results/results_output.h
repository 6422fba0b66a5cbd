#pragma once
// The ut_results table, written alike by every test result reader.

#include <string>
#include <utility>
#include <vector>

#include "detail/options.h"
#include "detail/sql_table.h"

namespace Results {

/// Test name and verdict word.
using result = std::pair<std::string, std::string>;

/// ut_results: the run's values and the test type, then the test name and
/// its verdict; the first row of a project, hash and test name is kept.
const Detail::sql_table& ut_results_table();

/// Hands one row per result, in order, to the route and writes the output
/// (and loads the database of --database).
void write_results(const Detail::options& options, const std::string& date, const std::string& time,
                   const std::vector<result>& results);

}  // namespace Results
