#include <algorithm>

#include "compare/format.h"
#include "compare/reports.h"
#include "compare/row_text.h"

namespace Compare {

namespace {

std::string padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

void append_verdict(std::string& out, const comparison& found) {
  out += "Gate: " + verdict_word(found, "FAILED") + "\n";
  for (const broken_rule& rule : found.broken)
    out += "  " + rule.rule + " (" + terminal_text(rule.platform) + "): " + terminal_text(rule.detail) + "\n";
}

}  // namespace

std::string text_report(const comparison& found) {
  std::string out = "Project " + terminal_text(found.project) + ", run " + terminal_text(shown_hash(found.current_hash)) + "\n";
  for (const platform_comparison& run : found.runs) {
    out += "\nPlatform " + terminal_text(run.platform) + "\n";
    std::vector<totals_row> rows = totals_of(run);
    std::size_t width = 0;
    for (totals_row& row : rows) {
      row = {terminal_text(row.kind), terminal_text(row.figures), terminal_text(row.base)};
      width = std::max(width, row.kind.size());
    }
    for (const totals_row& row : rows) out += "  " + padded(row.kind, width) + "   " + row.figures + "\n";
    for (const named_list& list : lists_of(run)) {
      out += "  " + terminal_text(list.title) + " (" + grouped(static_cast<std::int64_t>(list.entries.size())) + "):\n";
      const std::size_t shown = std::min(list.entries.size(), summary_list_limit);
      for (std::size_t i = 0; i < shown; ++i) out += "    " + terminal_text(list.entries[i]) + "\n";
      if (shown < list.entries.size())
        out += "    and " + grouped(static_cast<std::int64_t>(list.entries.size() - shown)) + " more\n";
    }
    out += "  Baselines:";
    const char* separator = " ";
    for (const totals_row& row : rows) {
      out += separator + row.kind + " " + row.base;
      separator = ", ";
    }
    out += "\n";
  }
  out += "\n";
  if (!found.notes.empty()) {
    out += "Notes:\n";
    for (const std::string& note : found.notes) out += "  " + terminal_text(note) + "\n";
  }
  append_verdict(out, found);
  return out;
}

}  // namespace Compare
