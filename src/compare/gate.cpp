#include <algorithm>

#include "compare/compare.h"
#include "compare/format.h"

namespace Compare {

namespace {

std::string first_names(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < 5; ++i) text += (i ? ", " : "") + names[i];
  if (names.size() > 5) text += ", and " + grouped(static_cast<std::int64_t>(names.size() - 5)) + " more";
  return text;
}

std::string count_of(std::size_t count, std::string_view one, std::string_view many) {
  return grouped(static_cast<std::int64_t>(count)) + " " + std::string(count == 1 ? one : many);
}

void judge_tests(const platform_comparison& run, std::vector<std::string>& details) {
  if (!run.tests || !run.tests->current || !run.tests->base || run.tests->new_failures.empty()) return;
  details.push_back(count_of(run.tests->new_failures.size(), "new failure: ", "new failures: ") +
                    first_names(run.tests->new_failures));
}

void judge_warnings(const platform_comparison& run, const gate_rule& rule, std::vector<std::string>& details) {
  if (!run.warnings || !run.warnings->current || !run.warnings->base) return;
  const auto counted = std::count_if(run.warnings->added.begin(), run.warnings->added.end(), [&](const warning& w) {
    return rule.warning_type.empty() || w.type == rule.warning_type;
  });
  if (counted == 0) return;
  std::string detail = count_of(static_cast<std::size_t>(counted), "new warning", "new warnings");
  if (!rule.warning_type.empty()) detail += " of type " + rule.warning_type;
  details.push_back(detail);
}

void judge_qac(const platform_comparison& run, std::vector<std::string>& details) {
  if (!run.qac || !run.qac->current || !run.qac->base || run.qac->increased.empty()) return;
  const qac_increase& first = run.qac->increased.front();
  details.push_back(count_of(run.qac->increased.size(), "band count rose", "band counts rose") + " (" +
                    first.filename + " " + first.band + " " + grouped(first.previous) + " -> " +
                    grouped(first.current) + (run.qac->increased.size() > 1 ? ", ..." : "") + ")");
}

// Compared unrounded: 99.95% is not 100%.
void judge_coverage(const platform_comparison& run, const gate_rule& rule, std::vector<std::string>& details) {
  for (const coverage_comparison& tool : run.coverage) {
    if (!tool.current || !tool.previous || !tool.base) continue;
    const std::optional<double> now = percent(tool.current->lines_tested, tool.current->lines_testable);
    const std::optional<double> before = percent(tool.previous->lines_tested, tool.previous->lines_testable);
    if (!now || !before || *before - *now <= rule.points) continue;
    details.push_back(tool.tool + " lines " + percent_text(before) + " -> " + percent_text(now) + " (" +
                      points_difference(*now - *before) + ", allowed " + one_decimal(rule.points) + ")");
  }
}

void judge_size(const platform_comparison& run, const gate_rule& rule, std::vector<std::string>& details) {
  if (!run.memory || !run.memory->current || !run.memory->previous || !run.memory->base) return;
  const std::uint64_t now = *run.memory->current;
  const std::uint64_t before = *run.memory->previous;
  if (now <= before || now - before <= rule.bytes) return;
  details.push_back("memory " + grouped(before) + " -> " + grouped(now) + " bytes (" + size_difference(now, before) +
                    ", allowed " + grouped(rule.bytes) + ")");
}

}  // namespace

std::string rule_name(const gate_rule& rule) {
  switch (rule.what) {
    case gate_rule::kind::new_failures: return "new-failures";
    case gate_rule::kind::new_warnings: return "new-warnings";
    case gate_rule::kind::new_qac: return "new-qac";
    case gate_rule::kind::coverage_drop: return "coverage-drop";
    case gate_rule::kind::size_growth: return "size-growth";
  }
  return "";
}

// A rule breaks on what changed against a baseline, never on a kind without
// one, nor on a kind this run did not load.
void apply_gate(comparison& found, const std::vector<gate_rule>& rules) {
  for (const platform_comparison& run : found.runs) {
    for (const gate_rule& rule : rules) {
      std::vector<std::string> details;
      switch (rule.what) {
        case gate_rule::kind::new_failures: judge_tests(run, details); break;
        case gate_rule::kind::new_warnings: judge_warnings(run, rule, details); break;
        case gate_rule::kind::new_qac: judge_qac(run, details); break;
        case gate_rule::kind::coverage_drop: judge_coverage(run, rule, details); break;
        case gate_rule::kind::size_growth: judge_size(run, rule, details); break;
      }
      for (std::string& detail : details) found.broken.push_back({run.platform, rule_name(rule), std::move(detail)});
    }
  }
}

}  // namespace Compare
