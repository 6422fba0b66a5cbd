#pragma once
// The parsed clang-tidy messages of a whole run, held compactly.
//
// A run holds hundreds of thousands of messages. Their texts are copied into
// large shared blocks, and a message keeps views into its text rather than
// strings of its own. File names are numbered as they are read, so that
// sorting compares small keys first and the file groups of the page are
// index ranges of the sorted messages.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "detail/pattern.h"

namespace ClangTidyMessages {

/// The captures of a message text that matched a message pattern, as views
/// into the text.
struct Parts {
  std::string_view file_name;
  std::string_view line;
  std::string_view column;
  std::string_view severity;
  std::string_view text;   // up to the last "[" that a "]" follows
  std::string_view check;  // between that "[" and the last "]"
  std::string_view tail;   // after the last "]"
  std::string_view full;   // the whole text
};

/// Matches `text` (which begins on input line `first_line`) against one of
/// the message patterns, whose last six groups are line, column, severity,
/// text, check and tail. False when it does not match (or the engine gave
/// up on it, which is reported on standard output). The program's message
/// patterns are matched by scan_message, which never gives up.
bool parse(const Detail::Pattern& pattern, std::string_view text, std::size_t first_line, Detail::Match& groups,
           Parts& parts);

/// Compares a's message with b's as the strings severity, text, check and
/// tail, each followed by one blank, compare (<0, 0, >0); without joining
/// them.
int compare_messages(const Parts& a, const Parts& b);

class Table {
 public:
  explicit Table(const Detail::Pattern& pattern) : pattern_(pattern) {}

  /// Keeps a copy of `text`, a message text that begins on input line
  /// `first_line`.
  void add(std::string_view text, std::size_t first_line);

  /// Parses the texts in the order they were added (so that a text the
  /// pattern engine gives up on is reported in the order of the input) and
  /// keeps the messages among them. Returns whether any text parsed.
  bool parse_all();

  /// Appends the page entries, packed (ClangTidyHtml::PageEntries), of the
  /// messages sorted by file name, line, check name, message, column and
  /// full text, each distinct full text once, grouped by file name.
  void build_page(std::deque<std::string>& entries) const;

 private:
  struct Text {
    std::string_view text;
    std::size_t first_line;
  };
  struct Message {
    Parts parts;
    std::uint32_t file;  // the number of parts.file_name
    std::uint32_t line;
    std::uint32_t column;
  };
  // What is sorted: the file name's rank and the line, then the message.
  struct SortKey {
    std::uint64_t file_and_line;
    std::uint32_t message;
  };

  std::string_view keep(std::string_view text);
  std::uint32_t file_number(std::string_view file_name);
  std::vector<SortKey> sorted_keys() const;
  bool is_before(const SortKey& a, const SortKey& b) const;

  const Detail::Pattern& pattern_;
  Detail::Match groups_;
  std::deque<std::string> blocks_;  // never reallocated once filled
  std::vector<Text> texts_;
  std::vector<Message> messages_;
  std::unordered_map<std::string_view, std::uint32_t> file_numbers_;
  std::vector<std::string_view> file_names_;  // by number
};

}  // namespace ClangTidyMessages
