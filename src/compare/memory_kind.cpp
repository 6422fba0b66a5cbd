#include "compare/memory_kind.h"

#include <algorithm>
#include <set>

#include "compare/comparison.h"
#include "compare/format.h"
#include "compare/json_writer.h"
#include "compare/kind_unit.h"
#include "compare/page_chart.h"
#include "compare/reports.h"
#include "detail/tables.h"

namespace Compare {

using Kinds::is_non_target_section;
using Kinds::section_group;

memory_comparison compare_memory(const Kinds::rows& current, const Kinds::rows* previous) {
  memory_comparison found;
  const Kinds::memory_sizes now = Kinds::sizes_of(current);
  found.current = now.total;
  const Kinds::memory_sizes before = previous ? Kinds::sizes_of(*previous) : Kinds::memory_sizes{};
  if (previous) found.previous = before.total;
  std::set<std::string> groups;
  for (const auto& [group, bytes] : now.groups) groups.insert(group);
  for (const auto& [group, bytes] : before.groups) groups.insert(group);
  for (const std::string& group : groups) {
    section_sizes entry{group, !is_non_target_section(group), std::nullopt, std::nullopt};
    if (auto at = now.groups.find(group); at != now.groups.end()) entry.current = at->second;
    if (auto at = before.groups.find(group); previous && at != before.groups.end()) entry.previous = at->second;
    found.sections.push_back(entry);
  }
  if (!previous) return found;
  for (const auto& [key, bytes] : now.pairs) {
    if (is_non_target_section(section_group(key.first))) continue;  // no target memory grew
    const auto earlier = before.pairs.find(key);
    const std::uint64_t was = earlier == before.pairs.end() ? 0 : earlier->second;
    if (bytes > was) found.grown.push_back({key.first, key.second, bytes, was});
  }
  std::stable_sort(found.grown.begin(), found.grown.end(), [](const memory_growth& a, const memory_growth& b) {
    return a.current - a.previous > b.current - b.previous;
  });
  return found;
}

void judge_size_growth(const platform_comparison& run, const gate_rule& rule, std::vector<std::string>& details) {
  if (!run.memory || !run.memory->current || !run.memory->previous || !run.memory->base) return;
  const std::uint64_t now = *run.memory->current;
  const std::uint64_t before = *run.memory->previous;
  if (now <= before || now - before <= rule.bytes) return;
  details.push_back("memory " + grouped(before) + " -> " + grouped(now) + " bytes (" + size_difference(now, before) +
                    ", allowed " + grouped(rule.bytes) + ")");
}

namespace {

std::uint64_t count_total(const Kinds::rows& stored) { return Kinds::count_memory(stored); }

void compare(PlatformRuns& runs, platform_comparison& found) {
  found.memory = compare_kind<memory_comparison>(runs, Detail::compiler_map_table(), compare_memory, count_total);
}

std::string figures(const memory_comparison& memory) {
  if (!memory.current) {
    memory_comparison last;
    last.current = memory.previous;
    return not_loaded(memory.base, last.current ? figures(last) : "");
  }
  std::string text = grouped(*memory.current) + " bytes";
  if (memory.previous) text.append(" ").append(size_difference(*memory.current, *memory.previous));
  std::uint64_t apart = 0;
  for (const section_sizes& section : memory.sections) {
    if (!section.target) apart += section.current.value_or(0);
  }
  if (apart > 0) text += "   (" + grouped(apart) + " bytes of debugging data and notes apart)";
  return text;
}

void totals(const platform_comparison& run, std::vector<totals_row>& found) {
  if (run.memory) found.push_back({"Memory", figures(*run.memory), baseline_text(run.memory->base)});
}

void lists(const platform_comparison& run, std::vector<named_list>& lists) {
  if (!run.memory) return;
  std::vector<std::string> grown;
  for (const memory_growth& growth : run.memory->grown)
    grown.push_back(growth.section + " " + growth.filename + " " + size_difference(growth.current, growth.previous) +
                    " (" + grouped(growth.previous) + " -> " + grouped(growth.current) + ")");
  add_list(lists, "Memory grown", grown);
}

void json(Json& json, const platform_comparison& run) {
  if (!run.memory) return;
  const memory_comparison& memory = *run.memory;
  json.key("memory").open('{');
  write_baseline(json, memory.base);
  json.key("current").value(memory.current ? number(*memory.current) : "null");
  json.key("previous").value(memory.previous ? number(*memory.previous) : "null");
  json.key("sections").open('[');
  for (const section_sizes& section : memory.sections) {
    json.open('{').key("section").string(section.section).key("target").value(section.target ? "true" : "false");
    json.key("current").value(section.current ? number(*section.current) : "null");
    json.key("previous").value(section.previous ? number(*section.previous) : "null").close('}');
  }
  json.close(']').key("grown").open('[');
  for (const memory_growth& growth : memory.grown) {
    json.open('{').key("section").string(growth.section).key("filename").string(growth.filename);
    json.key("current").value(number(growth.current)).key("previous").value(number(growth.previous)).close('}');
  }
  json.close(']').close('}');
}

void trends(TrendReader& reader) {
  for (const auto& row : reader.select("select githash, section, sum(" + number_of("sizedec", "numeric") +
                                       ") from (select distinct githash, originhex, origindec, sizehex, sizedec, "
                                       "section, filename from compiler_map where " + reader.where() +
                                       ") d group by githash, section")) {
    run_figures& figures = reader.run(row[0]);
    std::uint64_t& total = figures.memory ? *figures.memory : figures.memory.emplace();
    const std::string_view group = section_group(row[1]);
    if (is_non_target_section(group)) continue;
    const std::uint64_t bytes = Kinds::unsigned_number(row[2]);
    total += bytes;
    figures.memory_groups[std::string(group)] += bytes;
  }
}

void charts(const platform_comparison& run, const std::vector<run_figures>& runs, std::vector<chart>& charts) {
  if (std::none_of(runs.begin(), runs.end(), [](const run_figures& figures) { return bool(figures.memory); })) return;
  chart memory{"Target memory per run", "bytes", false, false, {}, run.memory ? run.memory->base : std::nullopt};
  memory.lines.push_back(series_of("total", runs, [](const run_figures& figures) -> std::optional<double> {
    return figures.memory ? std::optional(static_cast<double>(*figures.memory)) : std::nullopt;
  }));
  // The five largest section groups of the newest run that has any.
  std::vector<std::pair<std::uint64_t, std::string>> groups;
  for (auto at = runs.rbegin(); at != runs.rend() && groups.empty(); ++at) {
    for (const auto& [group, bytes] : at->memory_groups) groups.emplace_back(bytes, group);
  }
  std::sort(groups.rbegin(), groups.rend());
  groups.resize(std::min<std::size_t>(groups.size(), 5));
  for (const auto& [bytes, group] : groups) {
    memory.lines.push_back(series_of(group, runs, [&group = group](const run_figures& figures) -> std::optional<double> {
      if (!figures.memory) return std::nullopt;
      const auto at = figures.memory_groups.find(group);
      return at == figures.memory_groups.end() ? 0.0 : static_cast<double>(at->second);
    }));
  }
  charts.push_back(std::move(memory));
}

}  // namespace

const kind_unit memory_kind = {Detail::compiler_map_table, compare, totals, lists, json, trends, charts};

}  // namespace Compare
