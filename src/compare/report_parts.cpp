#include <algorithm>

#include "compare/format.h"
#include "compare/reports.h"

namespace Compare {

namespace {

// "1,204 tests +3"; without a previous figure the difference is left out.
std::string figure(std::int64_t current, std::optional<std::int64_t> previous, std::string_view word) {
  std::string text = grouped(current) + " " + std::string(word);
  if (previous) text.append(" ").append(signed_difference(current - *previous));
  return text;
}

std::string joined(const std::vector<std::string>& cells) {
  std::string text;
  for (const std::string& cell : cells) text += (text.empty() ? "" : "   ") + cell;
  return text;
}

std::string not_loaded(const std::optional<baseline>& base) {
  return "not loaded in this run" + (base ? " (last in " + base->hash + ")" : std::string());
}

std::string tests_figures(const tests_comparison& tests) {
  if (!tests.current) return not_loaded(tests.base);
  const test_totals& now = *tests.current;
  const std::optional<test_totals>& before = tests.previous;
  auto previous = [&](std::int64_t test_totals::*field) {
    return before ? std::optional((*before).*field) : std::nullopt;
  };
  return joined({figure(now.total, previous(&test_totals::total), "tests"),
                 figure(now.passed, previous(&test_totals::passed), "passed"),
                 figure(now.failed, previous(&test_totals::failed), "failed"),
                 figure(now.skipped, previous(&test_totals::skipped), "skipped")});
}

std::string coverage_part(std::string_view what, std::int64_t tested, std::int64_t testable,
                          std::optional<std::pair<std::int64_t, std::int64_t>> before) {
  const std::optional<double> now = percent(tested, testable);
  std::string text = std::string(what) + " " + percent_text(now);
  if (before) {
    const std::optional<double> was = percent(before->first, before->second);
    if (now && was) text.append(" ").append(points_difference(*now - *was));
  }
  return text + " (" + grouped(tested) + " of " + grouped(testable) + ")";
}

std::string coverage_figures(const coverage_comparison& tool) {
  if (!tool.current) return not_loaded(tool.base);
  const coverage_totals& now = *tool.current;
  std::optional<std::pair<std::int64_t, std::int64_t>> lines, branches;
  if (tool.previous) {
    lines = {tool.previous->lines_tested, tool.previous->lines_testable};
    branches = {tool.previous->branches_tested, tool.previous->branches_testable};
  }
  return joined({coverage_part("lines", now.lines_tested, now.lines_testable, lines),
                 coverage_part("branches", now.branches_tested, now.branches_testable, branches)});
}

std::string warnings_figures(const warnings_comparison& warnings) {
  if (!warnings.current) return not_loaded(warnings.base);
  counts_by_type types = *warnings.current;
  if (warnings.previous) {
    for (const auto& [type, count] : *warnings.previous) types.try_emplace(type, 0);
  }
  std::vector<std::string> cells;
  std::int64_t total = 0, previous_total = 0;
  for (const auto& [type, count] : types) {
    total += count;
    std::optional<std::int64_t> before;
    if (warnings.previous) {
      const auto at = warnings.previous->find(type);
      before = at == warnings.previous->end() ? 0 : at->second;
      previous_total += *before;
    }
    cells.push_back(figure(count, before, type));
  }
  cells.insert(cells.begin(), figure(total, warnings.previous ? std::optional(previous_total) : std::nullopt,
                                     "warnings"));
  return joined(cells);
}

std::string qac_figures(const qac_comparison& qac) {
  if (!qac.current) return not_loaded(qac.base);
  std::vector<std::string> cells;
  for (std::size_t band = 0; band < band_count; ++band) {
    cells.push_back(figure((*qac.current)[band], qac.previous ? std::optional((*qac.previous)[band]) : std::nullopt,
                           band_name(band)));
  }
  return joined(cells);
}

std::string memory_figures(const memory_comparison& memory) {
  if (!memory.current) return not_loaded(memory.base);
  std::string text = grouped(*memory.current) + " bytes";
  if (memory.previous) text.append(" ").append(size_difference(*memory.current, *memory.previous));
  std::uint64_t apart = 0;
  for (const section_sizes& section : memory.sections) {
    if (!section.target) apart += section.current.value_or(0);
  }
  if (apart > 0) text += "   (" + grouped(apart) + " bytes of debugging data and notes apart)";
  return text;
}

std::string line_text(const warning& found) {
  std::string text = found.filename;
  if (found.line) text.append(":").append(std::to_string(*found.line));
  return text.append(" ").append(found.type).append(" [").append(found.error_id).append("]");
}

}  // namespace

std::string baseline_text(const std::optional<baseline>& base) {
  if (!base) return "none";
  return base->hash + " (" + std::string(chosen_by_name(base->how)) + ")";
}

std::vector<totals_row> totals_of(const platform_comparison& run) {
  std::vector<totals_row> rows;
  if (run.tests) rows.push_back({"Tests", tests_figures(*run.tests), baseline_text(run.tests->base)});
  for (const coverage_comparison& tool : run.coverage)
    rows.push_back({"Coverage " + tool.tool, coverage_figures(tool), baseline_text(tool.base)});
  if (run.warnings) rows.push_back({"Warnings", warnings_figures(*run.warnings), baseline_text(run.warnings->base)});
  if (run.qac) rows.push_back({"QAC", qac_figures(*run.qac), baseline_text(run.qac->base)});
  if (run.memory) rows.push_back({"Memory", memory_figures(*run.memory), baseline_text(run.memory->base)});
  return rows;
}

std::vector<named_list> lists_of(const platform_comparison& run) {
  std::vector<named_list> lists;
  auto add = [&](std::string title, std::vector<std::string> entries) {
    if (!entries.empty()) lists.push_back({std::move(title), std::move(entries)});
  };
  if (run.tests) {
    const tests_comparison& tests = *run.tests;
    add("New failures", tests.new_failures);
    std::vector<std::string> still;
    for (const failing_test& test : tests.still_failing) still.push_back(test.name + " (failing since " + test.since + ")");
    add("Still failing", still);
    add("Fixed", tests.fixed);
    add("Added tests", tests.added);
    add("Removed tests", tests.removed);
  }
  for (const coverage_comparison& tool : run.coverage) {
    std::vector<std::string> dropped;
    for (const coverage_drop& drop : tool.dropped)
      dropped.push_back(drop.name + " " + percent_text(drop.previous_percent) + " -> " + percent_text(drop.current_percent));
    add("Coverage " + tool.tool + ": lines dropped", dropped);
    add("Coverage " + tool.tool + ": new", tool.added);
    add("Coverage " + tool.tool + ": gone", tool.removed);
  }
  if (run.warnings) {
    std::vector<std::string> added, fixed;
    for (const warning& found : run.warnings->added) added.push_back(line_text(found));
    for (const warning& found : run.warnings->fixed) fixed.push_back(line_text(found));
    add("New warnings", added);
    add("Fixed warnings", fixed);
  }
  if (run.qac) {
    std::vector<std::string> increased;
    for (const qac_increase& rise : run.qac->increased)
      increased.push_back(rise.filename + " " + rise.band + " " + grouped(rise.previous) + " -> " + grouped(rise.current));
    add("QAC counts that rose", increased);
  }
  if (run.memory) {
    std::vector<std::string> grown;
    for (const memory_growth& growth : run.memory->grown)
      grown.push_back(growth.section + " " + growth.filename + " " + size_difference(growth.current, growth.previous) +
                      " (" + grouped(growth.previous) + " -> " + grouped(growth.current) + ")");
    add("Memory grown", grown);
  }
  return lists;
}

}  // namespace Compare
