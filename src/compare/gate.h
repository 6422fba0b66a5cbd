#pragma once
// The gate's rules: each one a line of gate_rules(), which --fail-on, the
// usage text and the tests read; each judged by the kind it is about.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Compare {

struct platform_comparison;
struct gate_rule;

struct rule_definition {
  enum class takes { nothing, warning_type, points, bytes };
  std::string_view name;  // as --fail-on spells it: "coverage-drop"
  takes value = takes::nothing;
  /// Adds a detail per way `run` breaks `rule`: a rule breaks on what changed
  /// against a baseline, never on a kind without one, nor on a kind this run
  /// did not load.
  void (*judge)(const platform_comparison& run, const gate_rule& rule, std::vector<std::string>& details);
};

/// One rule of --fail-on.
struct gate_rule {
  const rule_definition* definition = nullptr;
  std::string text;          // as given: "coverage-drop=0.5"
  std::string warning_type;  // new-warnings=TYPE; empty: every type
  double points = 0;         // coverage-drop=POINTS
  std::uint64_t bytes = 0;   // size-growth=BYTES
};

/// Every rule, in the order the usage lists them.
const std::vector<rule_definition>& gate_rules();

/// "new-warnings[=TYPE]"
std::string rule_syntax(const rule_definition& rule);

/// "3 new failures: " / "1 new failure: " (`one` or `many` after the count).
std::string count_of(std::size_t count, std::string_view one, std::string_view many);
/// The first five names, then "and N more".
std::string first_names(const std::vector<std::string>& names);

}  // namespace Compare
