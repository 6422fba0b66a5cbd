#pragma once
// Hand-written matchers for the clang-tidy patterns: the diagnostic line that
// begins a message (tidy_report_regex) and the message text
// (my_single_tidy_msg_regex, all_files_tidy_msg_regex). Each gives exactly
// the match result and the captures of the compiled pattern, in linear time
// and without a limit on any text, so a text the pattern engine would give
// up on still converts. The differential test holds them against the
// patterns.

#include <string_view>

namespace ClangTidyMessages {

/// The captures of tidy_report_regex.
struct DiagnosticGroups {
  std::string_view line;
  std::string_view column;
  std::string_view severity;
};

/// The captures of a message pattern; `extension` is the group of
/// my_single_tidy_msg_regex only (empty for any file name).
struct MessageGroups {
  std::string_view file_name;
  std::string_view extension;
  std::string_view line;
  std::string_view column;
  std::string_view severity;
  std::string_view text;
  std::string_view check;
  std::string_view tail;
};

/// Whether `line` matches tidy_report_regex, with its captures.
bool scan_diagnostic_line(std::string_view line, DiagnosticGroups& groups);

/// Whether `text` matches all_files_tidy_msg_regex (`any_file_name`) or
/// my_single_tidy_msg_regex, with its captures.
bool scan_message(std::string_view text, bool any_file_name, MessageGroups& groups);

}  // namespace ClangTidyMessages
