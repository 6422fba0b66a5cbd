#pragma once
// The figures of a run's ut_coverage rows of one tool: per file or function,
// and in total (the module statistics where the converter wrote them, else
// the sum of the rows).

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "kinds/stored_rows.h"

namespace Kinds {

struct coverage_totals {
  std::int64_t lines_tested = 0;
  std::int64_t lines_testable = 0;
  std::int64_t branches_tested = 0;
  std::int64_t branches_testable = 0;
};

/// The row LCOV-like converters write last with the sums of every file.
inline constexpr std::string_view module_statistics = "*module_statistics";

/// 100 x tested / testable, unrounded; none when nothing is testable.
std::optional<double> percent(std::int64_t tested, std::int64_t testable);

using coverage_by_name = std::map<std::string, coverage_totals>;

coverage_by_name coverage_of(const rows& stored);
coverage_totals totals_of(const coverage_by_name& figures);
coverage_totals count_coverage(const rows& stored);

}  // namespace Kinds
