#pragma once
// The ut_results script, written alike by every test result reader.

#include <string>
#include <utility>
#include <vector>

#include "detail/options.h"
#include "detail/sql_script.h"

namespace Results {

/// The create statement alone, its rows set to begin with the run's values and
/// the test type, so that each row takes only the test name and its verdict.
Detail::SqlScript results_script_start(const Detail::options& options, const std::string& date,
                                       const std::string& time);

/// Writes the ut_results script with one row per result (test name and
/// verdict), in their order, to `options.output` and to standard output.
void write_results(const Detail::options& options, const std::string& date, const std::string& time,
                   const std::vector<std::pair<std::string, std::string>>& results);

}  // namespace Results
