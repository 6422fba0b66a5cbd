#pragma once
// The ut_results table, written alike by every test result reader.

#include <istream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "detail/options.h"
#include "detail/tables.h"

namespace Results {

/// Test name and verdict word.
using result = std::pair<std::string, std::string>;

using Detail::ut_results_table;

/// Reads the run's input with `read`, then hands one row per result, in
/// order, to the route, which writes the output (and loads the database of
/// --database). The run's date and time are taken before the input is read.
void convert_results(const Detail::options& options,
                     const std::function<void(std::istream&, std::vector<result>&)>& read);

}  // namespace Results
