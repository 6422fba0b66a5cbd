#pragma once
// Tests: the verdicts of ut_results rows compared by test name.

#include <optional>
#include <string>
#include <vector>

#include "compare/baseline.h"
#include "compare/compare_options.h"
#include "kinds/stored_rows.h"
#include "kinds/tests_figures.h"

namespace Compare {

using Kinds::test_totals;

struct failing_test {
  std::string name;
  std::string since;  // the hash of the oldest run of its unbroken run of failures
};

/// Every comparison of a kind has its baseline (none: the current figures
/// stand alone) and its current figures (none: not loaded in this run).
struct tests_comparison {
  std::optional<baseline> base;
  std::optional<test_totals> current;
  std::optional<test_totals> previous;
  std::vector<std::string> new_failures;
  std::vector<failing_test> still_failing;
  std::vector<std::string> fixed;
  std::vector<std::string> added;
  std::vector<std::string> removed;
};

/// Totals and lists of ut_results rows; every still failing test "since"
/// the baseline (the history walk fills in older runs).
tests_comparison compare_tests(const Kinds::rows& current, const Kinds::rows* previous);

/// How many runs, the current one among them, the "failing since" of a
/// still failing test looks back.
inline constexpr std::size_t failing_since_window = 100;

struct platform_comparison;
/// new-failures: a test that passed in the baseline, or was not in it, failed.
void judge_new_failures(const platform_comparison& run, const gate_rule& rule, std::vector<std::string>& details);

}  // namespace Compare
