#include "clang_tidy/message_table.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "clang_tidy/clang_tidy_element.h"
#include "clang_tidy/html_report.h"
#include "clang_tidy/message_scanner.h"
#include "detail/text_helpers.h"

namespace ClangTidyMessages {

namespace {

constexpr std::size_t block_size = 4 << 20;

unsigned int to_number(std::string_view digits) { return Detail::my_lexical_cast<unsigned int>(std::string(digits)); }

using Pieces = std::array<std::string_view, 8>;

Pieces message_pieces(const Parts& parts) {
  return {parts.severity, " ", parts.text, " ", parts.check, " ", parts.tail, " "};
}

// Compares the concatenations of `a` and `b` byte-wise.
int compare_joined(const Pieces& a, const Pieces& b) {
  std::size_t ia = 0, ib = 0, at_a = 0, at_b = 0;
  for (;;) {
    while (ia < a.size() && at_a == a[ia].size()) ++ia, at_a = 0;
    while (ib < b.size() && at_b == b[ib].size()) ++ib, at_b = 0;
    if (ia == a.size() || ib == b.size()) return (ia == a.size() ? 0 : 1) - (ib == b.size() ? 0 : 1);
    const std::size_t size = std::min(a[ia].size() - at_a, b[ib].size() - at_b);
    if (const int order = std::memcmp(a[ia].data() + at_a, b[ib].data() + at_b, size); order != 0) return order;
    at_a += size;
    at_b += size;
  }
}

}  // namespace

bool parse(const Detail::Pattern& pattern, std::string_view text, std::size_t first_line, Detail::Match& groups,
           Parts& parts) {
  // The program's own message patterns are matched by their scanners.
  const bool any_file_name = &pattern == &ZEZudizOzazIdovuvidurElement::all_files_tidy_msg_regex();
  if (any_file_name || &pattern == &ZEZudizOzazIdovuvidurElement::my_single_tidy_msg_regex()) {
    MessageGroups scanned;
    if (!scan_message(text, any_file_name, scanned)) return false;
    parts = {scanned.file_name, scanned.line, scanned.column, scanned.severity,
             scanned.text,      scanned.check, scanned.tail,  text};
    return true;
  }
  if (!Detail::match_input_line(pattern, text, first_line, groups)) return false;
  // The message patterns end alike in the groups line, column, severity,
  // text, check name and tail; they differ in the groups of the file name.
  const std::size_t at = pattern.group_count() - 5;
  parts = {groups[1],     groups[at],     groups[at + 1], groups[at + 2],
           groups[at + 3], groups[at + 4], groups[at + 5], groups[0]};
  return true;
}

int compare_messages(const Parts& a, const Parts& b) { return compare_joined(message_pieces(a), message_pieces(b)); }

std::string_view Table::keep(std::string_view text) {
  if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < text.size()) {
    blocks_.emplace_back();
    blocks_.back().reserve(std::max(block_size, text.size()));
  }
  // Within its capacity the block is never reallocated, so views stay valid.
  std::string& block = blocks_.back();
  const std::size_t begin = block.size();
  block.append(text);
  return std::string_view(block).substr(begin);
}

std::uint32_t Table::file_number(std::string_view file_name) {
  const auto [found, inserted] = file_numbers_.try_emplace(file_name, static_cast<std::uint32_t>(file_names_.size()));
  if (inserted) file_names_.push_back(file_name);
  return found->second;
}

void Table::add(std::string_view text, std::size_t first_line) { texts_.push_back({keep(text), first_line}); }

bool Table::parse_all() {
  Parts parts;
  for (const Text& text : texts_) {
    if (!parse(pattern_, text.text, text.first_line, groups_, parts)) continue;
    messages_.push_back({parts, file_number(parts.file_name), to_number(parts.line), to_number(parts.column)});
  }
  std::vector<Text>().swap(texts_);
  return !messages_.empty();
}

bool Table::is_before(const SortKey& a, const SortKey& b) const {
  if (a.file_and_line != b.file_and_line) return a.file_and_line < b.file_and_line;
  const Message& x = messages_[a.message];
  const Message& y = messages_[b.message];
  if (const int order = x.parts.check.compare(y.parts.check); order != 0) return order < 0;
  if (const int order = compare_messages(x.parts, y.parts); order != 0) return order < 0;
  if (x.column != y.column) return x.column < y.column;
  return x.parts.full < y.parts.full;
}

std::vector<Table::SortKey> Table::sorted_keys() const {
  // File numbers in order of their names.
  std::vector<std::uint32_t> by_name(file_names_.size());
  for (std::uint32_t i = 0; i < by_name.size(); ++i) by_name[i] = i;
  std::sort(by_name.begin(), by_name.end(), [&](std::uint32_t a, std::uint32_t b) { return file_names_[a] < file_names_[b]; });
  std::vector<std::uint64_t> rank(file_names_.size());
  for (std::size_t i = 0; i < by_name.size(); ++i) rank[by_name[i]] = i;

  std::vector<SortKey> keys(messages_.size());
  for (std::uint32_t i = 0; i < keys.size(); ++i) keys[i] = {rank[messages_[i].file] << 32 | messages_[i].line, i};
  // Keys equal under is_before belong to copies of one full text, which
  // cannot be told apart: an unstable sort gives the same page.
  std::sort(keys.begin(), keys.end(), [this](const SortKey& a, const SortKey& b) { return is_before(a, b); });
  const auto same_text = [this](const SortKey& a, const SortKey& b) {
    return messages_[a.message].parts.full == messages_[b.message].parts.full;
  };
  keys.erase(std::unique(keys.begin(), keys.end(), same_text), keys.end());
  return keys;
}

void Table::build_page(std::deque<std::string>& entries) const {
  const std::vector<SortKey> keys = sorted_keys();
  // Each group begins at the first key of its file.
  std::vector<std::size_t> group_starts;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (i == 0 || keys[i].file_and_line >> 32 != keys[i - 1].file_and_line >> 32) group_starts.push_back(i);
  }
  const auto file_name = [&](std::size_t group) { return messages_[keys[group_starts[group]].message].parts.file_name; };

  ClangTidyHtml::PageEntries page_entries(entries, true);
  ClangTidyHtml::PageBuilder page(page_entries, group_starts.size());
  for (std::size_t group = 0; group < group_starts.size(); ++group) page.sidebar_entry(group, file_name(group));
  page.end_sidebar();
  for (std::size_t group = 0; group < group_starts.size(); ++group) {
    page.begin_block(group, file_name(group));
    const std::size_t end = group + 1 < group_starts.size() ? group_starts[group + 1] : keys.size();
    for (std::size_t i = group_starts[group]; i < end; ++i) page.message(messages_[keys[i].message].parts.full);
    page.end_block();
  }
  page.end_page();
}

}  // namespace ClangTidyMessages
