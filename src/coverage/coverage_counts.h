#pragma once
// Counting coverage for the readers that compute their rows from the report's
// details (lcov, Cobertura) instead of copying the percents a tool printed:
// 64-bit counts, sums that notice when they no longer fit, the percent, the
// row of a file and the "*module_statistics" row over all of them.
//
//   Coverage::ModuleTotals totals;
//   rows.push_back(Coverage::counted_row("src/calc.c", {1, 2}, Coverage::Tally{1, 2}));
//   totals.add({1, 2}, Coverage::Tally{1, 2});
//   if (auto module = totals.module_row()) rows.push_back(*module);

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "coverage/coverage_output.h"

namespace Coverage {

using count = std::uint64_t;

enum class Number { ok, malformed, too_large };

/// Reads `text` whole as a decimal count: digits only, no sign or blank;
/// too_large beyond 2^64 - 1.
Number parse_number(std::string_view text, count& value);

/// Lines or branches: how many were hit of how many were found.
struct Tally {
  count hit = 0;
  count found = 0;

  /// Adds `other`; false, leaving this tally unusable, when a sum no longer
  /// fits in 64 bits.
  bool add(const Tally& other);
};

/// 100 x hit / found rounded down; empty when found is 0.
std::string percent(count hit, count found);

/// The row of `name`: C0 from `lines`, C1 from `branches`, the three C1
/// columns empty without them.
coverage_row counted_row(std::string name, const Tally& lines, const std::optional<Tally>& branches);

/// Prints the message for a row dropped for a number too large for 64 bits
/// on input line `line_number`.
void report_number_too_large(std::size_t line_number);

/// The sums over the rows of one report.
class ModuleTotals {
 public:
  /// Adds the counts of one row; `branches` only for a row with branch data.
  void add(const Tally& lines, const std::optional<Tally>& branches);

  /// The "*module_statistics" row: none when no row was added; none, after a
  /// message, when a sum did not fit in 64 bits. Its C1 columns are empty
  /// when no row had branch data.
  std::optional<coverage_row> module_row() const;

 private:
  Tally lines_;
  std::optional<Tally> branches_;
  bool any_row_ = false;
  bool overflow_ = false;
};

}  // namespace Coverage
