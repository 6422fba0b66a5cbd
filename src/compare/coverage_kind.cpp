#include "compare/coverage_kind.h"

#include <set>

#include "compare/comparison.h"
#include "compare/format.h"
#include "compare/json_writer.h"
#include "compare/kind_unit.h"
#include "compare/page_chart.h"
#include "compare/reports.h"
#include "detail/tables.h"

namespace Compare {

coverage_comparison compare_coverage(const Kinds::rows& current, const Kinds::rows* previous) {
  coverage_comparison found;
  const Kinds::coverage_by_name now = Kinds::coverage_of(current);
  found.current = Kinds::totals_of(now);
  if (!previous) return found;
  const Kinds::coverage_by_name before = Kinds::coverage_of(*previous);
  found.previous = Kinds::totals_of(before);
  for (const auto& [name, row] : now) {
    if (name == Kinds::module_statistics) continue;
    const auto earlier = before.find(name);
    if (earlier == before.end()) {
      found.added.push_back(name);
      continue;
    }
    const std::optional<double> percent_now = percent(row.lines_tested, row.lines_testable);
    const std::optional<double> percent_before = percent(earlier->second.lines_tested, earlier->second.lines_testable);
    if (percent_now && percent_before && *percent_now < *percent_before)
      found.dropped.push_back({name, *percent_now, *percent_before});
  }
  for (const auto& [name, row] : before) {
    if (name != Kinds::module_statistics && !now.contains(name)) found.removed.push_back(name);
  }
  return found;
}

void judge_coverage_drop(const platform_comparison& run, const gate_rule& rule, std::vector<std::string>& details) {
  for (const coverage_comparison& tool : run.coverage) {
    if (!tool.current || !tool.previous || !tool.base) continue;
    const std::optional<double> now = percent(tool.current->lines_tested, tool.current->lines_testable);
    const std::optional<double> before = percent(tool.previous->lines_tested, tool.previous->lines_testable);
    if (!now || !before || *before - *now <= rule.points) continue;
    details.push_back(tool.tool + " lines " + percent_change(*before, *now) + " (" + points_change(*before, *now) +
                      ", allowed " + one_decimal(rule.points) + ")");
  }
}

namespace {

coverage_comparison compare_tool(PlatformRuns& runs, const std::string& tool) {
  const Detail::sql_table& table = Detail::ut_coverage_table();
  const kind_runs found_runs = runs.find(table, &tool);
  std::optional<Kinds::rows> previous;
  if (found_runs.base) previous = Kinds::rows_where(runs.rows_of(table, found_runs.base->hash), table, "tool", tool);
  coverage_comparison found;
  if (found_runs.current) {
    found = compare_coverage(Kinds::rows_where(runs.rows_of(table, runs.current()), table, "tool", tool),
                             previous ? &*previous : nullptr);
  } else if (previous) {
    found.previous = Kinds::count_coverage(*previous);
  }
  found.tool = tool;
  found.base = found_runs.base;
  return found;
}

// Each tool on its own; with no coverage in this run, the tools of the run
// that would have been its baseline are "not loaded".
void compare(PlatformRuns& runs, platform_comparison& found) {
  std::vector<std::string> tools = runs.history().coverage_tools(runs.current(), runs.platform());
  if (tools.empty()) {
    if (const kind_runs found_runs = runs.find(Detail::ut_coverage_table()); found_runs.base)
      tools = runs.history().coverage_tools(found_runs.base->hash, runs.platform());
  }
  for (const std::string& tool : tools) found.coverage.push_back(compare_tool(runs, tool));
}

std::string coverage_part(std::string_view what, std::int64_t tested, std::int64_t testable,
                          std::optional<std::pair<std::int64_t, std::int64_t>> before) {
  const std::optional<double> now = percent(tested, testable);
  std::string text = std::string(what) + " " + percent_text(now);
  if (before) {
    const std::optional<double> was = percent(before->first, before->second);
    if (now && was) text.append(" ").append(points_change(*was, *now));
  }
  return text + " (" + grouped(tested) + " of " + grouped(testable) + ")";
}

std::string figures(const coverage_comparison& tool) {
  if (!tool.current) {
    coverage_comparison last;
    last.current = tool.previous;
    return not_loaded(tool.base, last.current ? figures(last) : "");
  }
  const coverage_totals& now = *tool.current;
  std::optional<std::pair<std::int64_t, std::int64_t>> lines, branches;
  if (tool.previous) {
    lines = {tool.previous->lines_tested, tool.previous->lines_testable};
    branches = {tool.previous->branches_tested, tool.previous->branches_testable};
  }
  return joined({coverage_part("lines", now.lines_tested, now.lines_testable, lines),
                 coverage_part("branches", now.branches_tested, now.branches_testable, branches)});
}

void totals(const platform_comparison& run, std::vector<totals_row>& found) {
  for (const coverage_comparison& tool : run.coverage)
    found.push_back({"Coverage " + tool.tool, figures(tool), baseline_text(tool.base)});
}

void lists(const platform_comparison& run, std::vector<named_list>& lists) {
  for (const coverage_comparison& tool : run.coverage) {
    std::vector<std::string> dropped;
    for (const coverage_drop& drop : tool.dropped)
      dropped.push_back(drop.name + " " + percent_change(drop.previous_percent, drop.current_percent));
    add_list(lists, "Coverage " + tool.tool + ": lines dropped", dropped);
    add_list(lists, "Coverage " + tool.tool + ": new", tool.added);
    add_list(lists, "Coverage " + tool.tool + ": gone", tool.removed);
  }
}

void json(Json& json, const platform_comparison& run) {
  if (run.coverage.empty()) return;
  json.key("coverage").open('[');
  for (const coverage_comparison& tool : run.coverage) {
    json.open('{').key("tool").string(tool.tool);
    write_baseline(json, tool.base);
    const auto totals = [&](const coverage_totals& t) {
      json.open('{').key("lines_tested").value(number(t.lines_tested));
      json.key("lines_testable").value(number(t.lines_testable));
      json.key("branches_tested").value(number(t.branches_tested));
      json.key("branches_testable").value(number(t.branches_testable)).close('}');
    };
    write_optional(json, "current", tool.current, totals);
    write_optional(json, "previous", tool.previous, totals);
    json.key("dropped").open('[');
    for (const coverage_drop& drop : tool.dropped) {
      json.open('{').key("name").string(drop.name).key("current_percent").value(number(drop.current_percent));
      json.key("previous_percent").value(number(drop.previous_percent)).close('}');
    }
    json.close(']');
    write_names(json, "added", tool.added);
    write_names(json, "removed", tool.removed);
    json.close('}');
  }
  json.close(']');
}

// The module statistics where a run has them, else the sum of its rows.
void trends(TrendReader& reader) {
  const std::string statistics = "case when function_name = '*module_statistics' then 1 else 0 end";
  std::map<std::pair<std::string, std::string>, bool> has_statistics;
  for (const auto& row : reader.select("select githash, tool, " + statistics + ", sum(" +
                                       number_of("C0_tested_lines") + "), sum(" + number_of("C0_testable_lines") +
                                       "), sum(" + number_of("C1_tested_lines") + "), sum(" +
                                       number_of("C1_testable_lines") + ") from ut_coverage where " + reader.where() +
                                       " group by githash, tool, " + statistics + " order by 3")) {
    const bool of_statistics = row[2] == "1";
    bool& has = has_statistics[{row[0], row[1]}];
    if (has && !of_statistics) continue;
    has = has || of_statistics;
    reader.run(row[0]).coverage[row[1]] = {Kinds::whole_number(row[3]), Kinds::whole_number(row[4]),
                                           Kinds::whole_number(row[5]), Kinds::whole_number(row[6])};
  }
}

void charts(const platform_comparison& run, const std::vector<run_figures>& runs, std::vector<chart>& charts) {
  std::set<std::string> tools;
  for (const run_figures& figures : runs) {
    for (const auto& [tool, totals] : figures.coverage) tools.insert(tool);
  }
  if (tools.empty()) return;
  chart coverage{"Coverage per run", "percent covered", false, true, {},
                 run.coverage.empty() ? std::nullopt : run.coverage.front().base};
  for (const std::string& tool : tools) {
    coverage.lines.push_back(series_of(tool + " lines", runs, [&](const run_figures& figures) {
      const auto at = figures.coverage.find(tool);
      return at == figures.coverage.end() ? std::nullopt : percent(at->second.lines_tested, at->second.lines_testable);
    }));
    coverage.lines.push_back(series_of(tool + " branches", runs, [&](const run_figures& figures) {
      const auto at = figures.coverage.find(tool);
      return at == figures.coverage.end() ? std::nullopt
                                          : percent(at->second.branches_tested, at->second.branches_testable);
    }));
  }
  charts.push_back(std::move(coverage));
}

}  // namespace

const kind_unit coverage_kind = {Detail::ut_coverage_table, compare, totals, lists, json, trends, charts};

}  // namespace Compare
