#pragma once
// Warnings: the distinct compiler_results rows compared per file, type and
// identifier, matched across line moves.

#include <optional>
#include <string>
#include <vector>

#include "compare/baseline.h"
#include "compare/gate.h"
#include "compare/line_moves.h"
#include "kinds/stored_rows.h"
#include "kinds/warnings_figures.h"

namespace Compare {

using Kinds::counts_by_type;
using Kinds::warning;

struct warnings_comparison {
  std::optional<baseline> base;
  std::optional<counts_by_type> current;
  std::optional<counts_by_type> previous;
  std::vector<warning> added;  // "new"
  std::vector<warning> fixed;
};

/// compiler_results rows.
/// With `moves`, a baseline warning whose line the diff takes to a current
/// warning's line is that warning; the rest are aligned by line.
warnings_comparison compare_warnings(const Kinds::rows& current, const Kinds::rows* previous,
                                     const Kinds::path_mapping& map_path = {}, const LineMoves* moves = nullptr);

struct platform_comparison;
/// new-warnings[=TYPE]: a warning (of TYPE) the baseline did not have.
void judge_new_warnings(const platform_comparison& run, const gate_rule& rule, std::vector<std::string>& details);

}  // namespace Compare
