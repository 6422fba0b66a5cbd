#pragma once
// The outputs of a comparison: the summary a person reads in a CI log, the
// Markdown of a job summary or a merge-request comment, and JSON for other
// programs.

#include <cstdint>
#include <string>
#include <vector>

#include "compare/comparison.h"

namespace Compare {

/// At most this many entries of a list in the summary ("and N more").
inline constexpr std::size_t summary_list_limit = 20;

/// The standard output: one block per platform and kind, the lists, the
/// gate's verdict and the baselines used.
std::string text_report(const comparison& found);

/// GitHub-flavoured Markdown, never longer than `limit` bytes: the longest
/// lists are cut first, then the per-kind detail, never the verdict.
std::string markdown_report(const comparison& found, std::uint64_t limit);

/// Everything, nothing cut.
std::string json_report(const comparison& found);

/// One list of a platform's comparison as the summary and Markdown show it.
struct named_list {
  std::string title;  // "New failures"
  std::vector<std::string> entries;
};
std::vector<named_list> lists_of(const platform_comparison& run);
/// Adds the list unless it is empty.
void add_list(std::vector<named_list>& lists, std::string title, std::vector<std::string> entries);

/// "passed", `failed`, or "no rules (nothing checked)" where the gate was
/// given no rule: a gate that checked nothing never reads as passed.
std::string verdict_word(const comparison& found, std::string_view failed);

/// "abc1234 (history)", or "none".
std::string baseline_text(const std::optional<baseline>& base);

/// The rows of a platform's totals: the kind ("Tests", "Coverage GCOV"), its
/// current figures with differences, and its baseline.
struct totals_row {
  std::string kind;
  std::string figures;
  std::string base;
};
std::vector<totals_row> totals_of(const platform_comparison& run);

/// The parts the kinds write their totals from.
/// "1,204 tests +3"; without a previous figure the difference is left out.
std::string figure(std::int64_t current, std::optional<std::int64_t> previous, std::string_view word);
/// Figures side by side.
std::string joined(const std::vector<std::string>& cells);
/// "not loaded in this run (last in HASH: FIGURES)".
std::string not_loaded(const std::optional<baseline>& base, const std::string& last_figures);

}  // namespace Compare
