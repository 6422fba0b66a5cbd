#include "compare/format.h"
#include "compare/kind_unit.h"
#include "compare/reports.h"

namespace Compare {

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

std::string not_loaded(const std::optional<baseline>& base, const std::string& last_figures) {
  if (!base) return "not loaded in this run";
  return "not loaded in this run (last in " + shown_hash(base->hash) +
         (last_figures.empty() ? "" : ": " + last_figures) + ")";
}

std::string verdict_word(const comparison& found, std::string_view failed) {
  if (!found.passed()) return std::string(failed);
  return found.rules.empty() ? "no rules (nothing checked)" : "passed";
}

std::string baseline_text(const std::optional<baseline>& base) {
  if (!base) return "none";
  return shown_hash(base->hash) + " (" + std::string(chosen_by_name(base->how)) + ")";
}

std::vector<totals_row> totals_of(const platform_comparison& run) {
  std::vector<totals_row> found;
  for (const kind_unit* unit : kind_units()) unit->totals(run, found);
  return found;
}

void add_list(std::vector<named_list>& lists, std::string title, std::vector<std::string> entries) {
  if (!entries.empty()) lists.push_back({std::move(title), std::move(entries)});
}

std::vector<named_list> lists_of(const platform_comparison& run) {
  std::vector<named_list> lists;
  for (const kind_unit* unit : kind_units()) unit->lists(run, lists);
  return lists;
}

}  // namespace Compare
