#include <algorithm>
#include <limits>

#include "compare/format.h"
#include "compare/reports.h"
#include "compare/row_text.h"

namespace Compare {

namespace {

// The most characters of a stored name in the heading: the verdict must fit
// whatever the rows hold.
constexpr std::size_t heading_characters = 200;

std::string verdict_line(const broken_rule& rule, std::size_t detail_characters) {
  std::string line = "- `" + rule.rule + "` (" + markdown_text(cut_text(rule.platform, heading_characters)) + ")";
  if (detail_characters > 0) line += ": " + markdown_text(cut_text(rule.detail, detail_characters));
  return line + "\n";
}

// The verdict with each rule's detail cut at `detail_characters` (none at
// 0), and only as many rules as fit in `room` bytes, the rest counted.
std::string verdict(const comparison& found, std::size_t detail_characters, std::size_t room) {
  std::string out = "**Gate: " + verdict_word(found, "failed") + "**\n" + (found.passed() ? "" : "\n");
  for (std::size_t i = 0; i < found.broken.size(); ++i) {
    const std::string line = verdict_line(found.broken[i], detail_characters);
    const std::string rest =
        "- and " + grouped(static_cast<std::int64_t>(found.broken.size() - i)) + " more broken rules\n";
    const bool last = i + 1 == found.broken.size();
    if (out.size() + line.size() + (last ? 0 : rest.size()) > room) return out + rest;
    out += line;
  }
  return out;
}

// The parts that may be cut: the per-kind detail and the lists, of which at
// most `shown` entries each are written (none at all without `with_lists`).
std::string details(const comparison& found, std::size_t shown, bool with_lists) {
  std::string out;
  for (const platform_comparison& run : found.runs) {
    out += "\n### " + markdown_text(run.platform) + "\n\n";
    out += "| Kind | Figures | Baseline |\n|---|---|---|\n";
    for (const totals_row& row : totals_of(run))
      out += "| " + markdown_text(row.kind) + " | " + markdown_text(row.figures) + " | " + markdown_text(row.base) +
             " |\n";
    if (!with_lists) continue;
    for (const named_list& list : lists_of(run)) {
      const std::size_t count = std::min(list.entries.size(), shown);
      out += "\n<details><summary>" + markdown_text(list.title) + " (" +
             grouped(static_cast<std::int64_t>(list.entries.size())) + ")</summary>\n\n";
      for (std::size_t i = 0; i < count; ++i) out += "- <code>" + markdown_text(list.entries[i]) + "</code>\n";
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

// The notes, never cut, each at most 200 characters.
std::string notes_list(const comparison& found) {
  std::string out;
  for (const std::string& note : found.notes) out += "- " + markdown_text(cut_text(note, 200)) + "\n";
  return out.empty() ? out : "\n" + out;
}

// The heading, the verdict and the notes, within `limit`: the rules' details are cut
// shorter, then left out, then the rules that do not fit are counted.
std::string head_within(const comparison& found, std::uint64_t limit) {
  const std::string heading = "## " + markdown_text(cut_text(found.project, heading_characters)) + " at <code>" +
                              markdown_text(cut_text(shown_hash(found.current_hash), heading_characters)) + "</code>\n\n";
  std::size_t room = limit > heading.size() ? static_cast<std::size_t>(limit - heading.size()) : 0;
  const std::string notes = notes_list(found);
  room = room > notes.size() ? room - notes.size() : 0;
  for (std::size_t characters : {std::numeric_limits<std::size_t>::max(), std::size_t{100}, std::size_t{0}}) {
    const std::string all = verdict(found, characters, std::numeric_limits<std::size_t>::max());
    if (all.size() <= room) return heading + all + notes;
  }
  return heading + verdict(found, 0, room) + notes;
}

}  // namespace

std::string markdown_report(const comparison& found, std::uint64_t limit) {
  const std::string head = head_within(found, limit);
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
