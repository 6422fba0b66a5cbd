#pragma once
// QAC: the band counts of q_results rows compared per file.

#include <optional>
#include <string>
#include <vector>

#include "compare/baseline.h"
#include "compare/gate.h"
#include "kinds/qac_figures.h"
#include "kinds/stored_rows.h"

namespace Compare {

using Kinds::band_count;
using Kinds::band_counts;
using Kinds::band_name;

struct qac_increase {
  std::string filename;
  std::string band;
  std::int64_t current = 0;
  std::int64_t previous = 0;
};

struct qac_comparison {
  std::optional<baseline> base;
  std::optional<band_counts> current;
  std::optional<band_counts> previous;
  std::vector<qac_increase> increased;
};

/// q_results rows.
qac_comparison compare_qac(const Kinds::rows& current, const Kinds::rows* previous);

struct platform_comparison;
/// new-qac: a file's count in a band rose.
void judge_new_qac(const platform_comparison& run, const gate_rule& rule, std::vector<std::string>& details);

}  // namespace Compare
