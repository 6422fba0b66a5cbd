#include "compare/gate.h"

#include "compare/compare.h"
#include "compare/format.h"
#include "compare/row_text.h"

namespace Compare {

const std::vector<rule_definition>& gate_rules() {
  using takes = rule_definition::takes;
  static const std::vector<rule_definition> rules = {
      {"new-failures", takes::nothing, judge_new_failures},
      {"new-warnings", takes::warning_type, judge_new_warnings},
      {"new-qac", takes::nothing, judge_new_qac},
      {"coverage-drop", takes::points, judge_coverage_drop},
      {"size-growth", takes::bytes, judge_size_growth},
  };
  return rules;
}

std::string rule_syntax(const rule_definition& rule) {
  std::string syntax(rule.name);
  switch (rule.value) {
    case rule_definition::takes::nothing: break;
    case rule_definition::takes::warning_type: syntax += "[=TYPE]"; break;
    case rule_definition::takes::points: syntax += "[=POINTS]"; break;
    case rule_definition::takes::bytes: syntax += "[=BYTES]"; break;
  }
  return syntax;
}

std::string first_names(const std::vector<std::string>& names) {
  std::string text;
  // Each name cut: the verdict must fit a comment's size whatever the rows hold.
  for (std::size_t i = 0; i < names.size() && i < 5; ++i) text += (i ? ", " : "") + cut_text(names[i], 200);
  if (names.size() > 5) text += ", and " + grouped(static_cast<std::int64_t>(names.size() - 5)) + " more";
  return text;
}

std::string count_of(std::size_t count, std::string_view one, std::string_view many) {
  return grouped(static_cast<std::int64_t>(count)) + " " + std::string(count == 1 ? one : many);
}

void apply_gate(comparison& found, const std::vector<gate_rule>& rules) {
  for (const gate_rule& rule : rules) found.rules.push_back(rule.text);
  for (const platform_comparison& run : found.runs) {
    for (const gate_rule& rule : rules) {
      std::vector<std::string> details;
      rule.definition->judge(run, rule, details);
      for (std::string& detail : details)
        found.broken.push_back({run.platform, std::string(rule.definition->name), std::move(detail)});
    }
  }
}

}  // namespace Compare
