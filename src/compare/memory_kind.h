#pragma once
// Memory: the compiler_map rows compared per section group, and per section
// and file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compare/baseline.h"
#include "compare/gate.h"
#include "kinds/memory_figures.h"
#include "kinds/stored_rows.h"

namespace Compare {

struct section_sizes {
  std::string section;  // the group: the section's text before " -> "
  bool target = true;   // takes target memory (not .debug*, .comment, ...)
  std::optional<std::uint64_t> current;
  std::optional<std::uint64_t> previous;
};

struct memory_growth {
  std::string section;
  std::string filename;
  std::uint64_t current = 0;
  std::uint64_t previous = 0;
};

struct memory_comparison {
  std::optional<baseline> base;
  std::optional<std::uint64_t> current;
  std::optional<std::uint64_t> previous;
  std::vector<section_sizes> sections;  // by name
  std::vector<memory_growth> grown;     // largest growth first
};

/// compiler_map rows.
memory_comparison compare_memory(const Kinds::rows& current, const Kinds::rows* previous);

struct platform_comparison;
/// size-growth=BYTES: the target memory grew by more than BYTES.
void judge_size_growth(const platform_comparison& run, const gate_rule& rule, std::vector<std::string>& details);

}  // namespace Compare
