#include "compare/warnings_kind.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "compare/comparison.h"
#include "compare/format.h"
#include "compare/json_writer.h"
#include "compare/kind_unit.h"
#include "compare/page_chart.h"
#include "compare/reports.h"
#include "compare/warning_alignment.h"
#include "detail/tables.h"

namespace Compare {

namespace {

using group_key = std::tuple<std::string, std::string, std::string>;  // filename, type, error_id

struct group_lines {
  std::size_t without_line = 0;
  std::vector<std::int64_t> lines;  // ascending
  std::optional<std::string> listed_path;  // the baseline's path of a renamed file
};

std::map<group_key, group_lines> grouped(const std::vector<warning>& warnings) {
  std::map<group_key, group_lines> groups;
  for (const warning& found : warnings) {
    group_lines& group = groups[{found.filename, found.type, found.error_id}];
    if (found.line) group.lines.push_back(*found.line);
    else ++group.without_line;
  }
  for (auto& [key, group] : groups) std::sort(group.lines.begin(), group.lines.end());
  return groups;
}

// Only the lines no pair of `pairs` takes (`side` 0: the first of each pair).
std::vector<std::int64_t> unmatched(const std::vector<std::int64_t>& lines,
                                    const std::vector<std::pair<std::size_t, std::size_t>>& pairs, int side) {
  std::vector<bool> taken(lines.size());
  for (const auto& pair : pairs) taken[side == 0 ? pair.first : pair.second] = true;
  std::vector<std::int64_t> left;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!taken[i]) left.push_back(lines[i]);
  }
  return left;
}

// Lines move with every edit: the warnings of one file, type and identifier
// are aligned as a diff aligns lines (align_lines). What stays unmatched is
// new (in `current`) or fixed (in `previous`); warnings without a line match
// each other by count.
void match(group_lines& current, group_lines& previous) {
  const auto pairs = align_lines(previous.lines, current.lines);
  previous.lines = unmatched(previous.lines, pairs, 0);
  current.lines = unmatched(current.lines, pairs, 1);
  const std::size_t both = std::min(current.without_line, previous.without_line);
  current.without_line -= both;
  previous.without_line -= both;
}

void list(const group_key& key, const group_lines& left, std::vector<warning>& out) {
  const std::string& path = left.listed_path ? *left.listed_path : std::get<0>(key);
  for (std::size_t i = 0; i < left.without_line; ++i)
    out.push_back({path, std::nullopt, std::get<1>(key), std::get<2>(key)});
  for (std::int64_t line : left.lines) out.push_back({path, line, std::get<1>(key), std::get<2>(key)});
}

// The baseline's groups under their files' paths in the current commit.
std::map<group_key, group_lines> renamed(std::map<group_key, group_lines> groups, const LineMoves& moves) {
  std::map<group_key, group_lines> moved;
  for (auto& [key, group] : groups) {
    const std::string path = moves.new_path(std::get<0>(key));
    if (path != std::get<0>(key)) group.listed_path = std::get<0>(key);
    moved.emplace(group_key{path, std::get<1>(key), std::get<2>(key)}, std::move(group));
  }
  return moved;
}

// The baseline warnings whose lines the diff takes to a current warning's
// line are that warning: both are taken out before the alignment.
void match_moved(group_lines& current, group_lines& previous, const std::string& old_path, const LineMoves& moves) {
  std::multiset<std::int64_t> now(current.lines.begin(), current.lines.end());
  std::vector<std::int64_t> left;
  for (std::int64_t line : previous.lines) {
    const std::optional<std::int64_t> moved = moves.new_line(old_path, line);
    const auto at = moved ? now.find(*moved) : now.end();
    if (at == now.end()) left.push_back(line);
    else now.erase(at);
  }
  previous.lines = std::move(left);
  current.lines.assign(now.begin(), now.end());
}

}  // namespace

warnings_comparison compare_warnings(const Kinds::rows& current, const Kinds::rows* previous,
                                     const Kinds::path_mapping& map_path, const LineMoves* moves) {
  warnings_comparison found;
  const std::vector<warning> now = Kinds::distinct_warnings(current, map_path);
  found.current = Kinds::counts_of(now);
  if (!previous) return found;
  const std::vector<warning> before = Kinds::distinct_warnings(*previous, map_path);
  found.previous = Kinds::counts_of(before);
  std::map<group_key, group_lines> now_groups = grouped(now);
  std::map<group_key, group_lines> before_groups = grouped(before);
  if (moves) before_groups = renamed(std::move(before_groups), *moves);
  for (auto& [key, now_lines] : now_groups) {
    const auto earlier = before_groups.find(key);
    if (earlier == before_groups.end()) {
      list(key, now_lines, found.added);
      continue;
    }
    if (moves)
      match_moved(now_lines, earlier->second, earlier->second.listed_path.value_or(std::get<0>(key)), *moves);
    match(now_lines, earlier->second);
    list(key, now_lines, found.added);
  }
  for (const auto& [key, before_lines] : before_groups) list(key, before_lines, found.fixed);
  return found;
}

void judge_new_warnings(const platform_comparison& run, const gate_rule& rule, std::vector<std::string>& details) {
  if (!run.warnings || !run.warnings->current || !run.warnings->base) return;
  const auto counted = std::count_if(run.warnings->added.begin(), run.warnings->added.end(), [&](const warning& w) {
    return rule.warning_type.empty() || w.type == rule.warning_type;
  });
  if (counted == 0) return;
  std::string detail = count_of(static_cast<std::size_t>(counted), "new warning", "new warnings");
  if (!rule.warning_type.empty()) detail += " of type " + rule.warning_type;
  details.push_back(detail);
}

namespace {

void compare(PlatformRuns& runs, platform_comparison& found) {
  const Kinds::path_mapping map_path = [&paths = runs.paths()](const std::string& name) { return paths(name); };
  const std::optional<baseline> base = runs.find(Detail::compiler_results_table()).base;
  const LineMoves* moves = base ? runs.moves().since(base->hash) : nullptr;
  found.warnings = compare_kind<warnings_comparison>(
      runs, Detail::compiler_results_table(),
      [&](const Kinds::rows& current, const Kinds::rows* previous) {
        return compare_warnings(current, previous, map_path, moves);
      },
      [&](const Kinds::rows& stored) { return Kinds::count_warnings(stored, map_path); });
}

std::string figures(const warnings_comparison& warnings) {
  if (!warnings.current) {
    warnings_comparison last;
    last.current = warnings.previous;
    return not_loaded(warnings.base, last.current ? figures(last) : "");
  }
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

void totals(const platform_comparison& run, std::vector<totals_row>& found) {
  if (run.warnings) found.push_back({"Warnings", figures(*run.warnings), baseline_text(run.warnings->base)});
}

std::string line_text(const warning& found) {
  std::string text = found.filename;
  if (found.line) text.append(":").append(std::to_string(*found.line));
  return text.append(" ").append(found.type).append(" [").append(found.error_id).append("]");
}

void lists(const platform_comparison& run, std::vector<named_list>& lists) {
  if (!run.warnings) return;
  std::vector<std::string> added, fixed;
  for (const warning& found : run.warnings->added) added.push_back(line_text(found));
  for (const warning& found : run.warnings->fixed) fixed.push_back(line_text(found));
  add_list(lists, "New warnings", added);
  add_list(lists, "Fixed warnings", fixed);
}

void write_warning_list(Json& json, std::string_view name, const std::vector<warning>& warnings) {
  json.key(name).open('[');
  for (const warning& found : warnings) {
    json.open('{').key("filename").string(found.filename);
    json.key("line").value(found.line ? number(*found.line) : "null");
    json.key("type").string(found.type).key("error_id").string(found.error_id).close('}');
  }
  json.close(']');
}

void json(Json& json, const platform_comparison& run) {
  if (!run.warnings) return;
  const warnings_comparison& warnings = *run.warnings;
  json.key("warnings").open('{');
  write_baseline(json, warnings.base);
  // Types that differ only in bytes that are not UTF-8 are one key once
  // those bytes are replaced: their counts are merged.
  const auto counts = [&](const counts_by_type& types) {
    std::map<std::string, std::int64_t> by_key;
    for (const auto& [type, count] : types) by_key[quoted(type)] += count;
    json.open('{');
    for (const auto& [key, count] : by_key) json.value(key + ":" + number(count));
    json.close('}');
  };
  write_optional(json, "current", warnings.current, counts);
  write_optional(json, "previous", warnings.previous, counts);
  write_warning_list(json, "new", warnings.added);
  write_warning_list(json, "fixed", warnings.fixed);
  json.close('}');
}

// Counted as the comparison counts them: the file names mapped first, so
// two spellings of one file are one warning.
void trends(TrendReader& reader) {
  std::map<std::string, std::set<std::tuple<std::string, std::string, std::string, std::string>>> distinct;
  for (const auto& row : reader.select("select distinct githash, filename, line, type, error_id from compiler_results "
                                       "where " + reader.where()))
    distinct[row[0]].emplace(reader.paths()(row[1]), row[2], row[3], row[4]);
  for (const auto& [hash, warnings] : distinct) {
    counts_by_type& types = reader.run(hash).warnings.emplace();
    for (const auto& warning : warnings) ++types[std::get<2>(warning)];
  }
}

void charts(const platform_comparison& run, const std::vector<run_figures>& runs, std::vector<chart>& charts) {
  std::set<std::string> types;
  bool any = false;
  for (const run_figures& figures : runs) {
    if (!figures.warnings) continue;
    any = true;
    for (const auto& [type, count] : *figures.warnings) types.insert(type);
  }
  if (!any) return;
  chart warnings{"Warnings per run", "warnings", false, false, {}, run.warnings ? run.warnings->base : std::nullopt};
  for (const std::string& type : types) {
    warnings.lines.push_back(series_of(type, runs, [&](const run_figures& figures) -> std::optional<double> {
      if (!figures.warnings) return std::nullopt;
      const auto at = figures.warnings->find(type);
      return at == figures.warnings->end() ? 0.0 : static_cast<double>(at->second);
    }));
  }
  charts.push_back(std::move(warnings));
}

}  // namespace

const kind_unit warnings_kind = {Detail::compiler_results_table, compare, totals, lists, json, trends, charts};

}  // namespace Compare
