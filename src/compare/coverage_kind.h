#pragma once
// Coverage: the ut_coverage rows of each tool compared by file or function.

#include <optional>
#include <string>
#include <vector>

#include "compare/baseline.h"
#include "compare/gate.h"
#include "kinds/coverage_figures.h"
#include "kinds/stored_rows.h"

namespace Compare {

using Kinds::coverage_totals;
using Kinds::percent;

struct coverage_drop {
  std::string name;
  double current_percent = 0;
  double previous_percent = 0;
};

struct coverage_comparison {
  std::string tool;
  std::optional<baseline> base;
  std::optional<coverage_totals> current;
  std::optional<coverage_totals> previous;
  std::vector<coverage_drop> dropped;
  std::vector<std::string> added;
  std::vector<std::string> removed;
};

/// ut_coverage rows of one tool.
coverage_comparison compare_coverage(const Kinds::rows& current, const Kinds::rows* previous);

struct platform_comparison;
/// coverage-drop=POINTS: a tool's line percent fell by more than POINTS,
/// compared unrounded (99.95% is not 100%).
void judge_coverage_drop(const platform_comparison& run, const gate_rule& rule, std::vector<std::string>& details);

}  // namespace Compare
