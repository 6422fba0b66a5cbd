#include <algorithm>
#include <limits>

#include "compare/format.h"
#include "compare/reports.h"
#include "detail/html_escape.h"

namespace Compare {

namespace {

// A table cell: Markdown's own "|" escaped, markup shown as text.
std::string cell(std::string_view text) {
  std::string escaped;
  for (char c : Detail::escape(text)) {
    if (c == '|') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string verdict(const comparison& found) {
  std::string out = found.passed() ? "**Gate: passed**\n" : "**Gate: failed**\n\n";
  for (const broken_rule& rule : found.broken)
    out += "- `" + rule.rule + "` (" + cell(rule.platform) + "): " + cell(rule.detail) + "\n";
  return out;
}

// The parts that may be cut: the per-kind detail and the lists, of which at
// most `shown` entries each are written (none at all without `with_lists`).
std::string details(const comparison& found, std::size_t shown, bool with_lists) {
  std::string out;
  for (const platform_comparison& run : found.runs) {
    out += "\n### " + cell(run.platform) + "\n\n";
    out += "| Kind | Figures | Baseline |\n|---|---|---|\n";
    for (const totals_row& row : totals_of(run))
      out += "| " + cell(row.kind) + " | " + cell(row.figures) + " | " + cell(row.base) + " |\n";
    if (!with_lists) continue;
    for (const named_list& list : lists_of(run)) {
      const std::size_t count = std::min(list.entries.size(), shown);
      out += "\n<details><summary>" + Detail::escape(list.title) + " (" +
             grouped(static_cast<std::int64_t>(list.entries.size())) + ")</summary>\n\n";
      for (std::size_t i = 0; i < count; ++i) out += "- <code>" + Detail::escape(list.entries[i]) + "</code>\n";
      if (count < list.entries.size())
        out += "- and " + grouped(static_cast<std::int64_t>(list.entries.size() - count)) + " more\n";
      out += "\n</details>\n";
    }
  }
  return out;
}

std::size_t longest_list(const comparison& found) {
  std::size_t longest = 0;
  for (const platform_comparison& run : found.runs) {
    for (const named_list& list : lists_of(run)) longest = std::max(longest, list.entries.size());
  }
  return longest;
}

}  // namespace

std::string markdown_report(const comparison& found, std::uint64_t limit) {
  const std::string head = "## " + cell(found.project) + " at `" + cell(found.current_hash) + "`\n\n" + verdict(found);
  const auto fits = [&](const std::string& rest) { return head.size() + rest.size() <= limit; };
  std::size_t high = longest_list(found);
  if (std::string all = details(found, high, true); fits(all)) return head + all;
  if (fits(details(found, 0, true))) {
    // The most entries per list that fit: the longest lists are cut first.
    std::size_t low = 0;
    while (low + 1 < high) {
      const std::size_t middle = low + (high - low) / 2;
      (fits(details(found, middle, true)) ? low : high) = middle;
    }
    return head + details(found, low, true);
  }
  if (std::string totals = details(found, 0, false); fits(totals)) return head + totals;
  const std::string note = "\nThe figures of each kind do not fit in " + grouped(limit) + " bytes.\n";
  return head + (fits(note) ? note : "");
}

}  // namespace Compare
