#pragma once
// clang-tidy console output: an HTML page of messages per file.
//
// A run cuts the console output into message texts (a diagnostic line and the
// lines that follow it, such as the quoted source line and the caret line),
// parses each text into one record, sorts the records, drops duplicates,
// groups them per source file and writes the page (html_report.cpp).
//
// Colour sequences (ESC "[" digits and semicolons "m", as --use-color prints
// them) are removed from every line before it is examined.
//
// ClangTidy keeps messages on files whose names end in .cpp, .c or .h;
// ClangTidy_all keeps them on every file (.cc, .cxx, .hpp, headers without an
// extension); the two differ in nothing else.

#include <cstddef>
#include <deque>
#include <istream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "detail/options.h"
#include "detail/pattern.h"

class ZEZudizOzazIdovuvidurElement {
 public:
  /// The records of one source file, named by their common `file_name`.
  using file_group = std::pair<std::string, std::deque<ZEZudizOzazIdovuvidurElement>>;

  bool is_valid = false;
  std::string file_name;  // as written in the diagnostic, extension included
  unsigned int line = 0;
  unsigned int column = 0;
  std::string check_name;  // the text between the last "[" and the last "]"
  std::string tail_text;   // everything after that "]": the joined follow-on lines
  std::string message;     // severity, text, check name and tail, each followed by a blank
  std::string full_text;   // the whole message text

  /// The pattern of a line that begins a new diagnostic, compiled on the first call.
  static const Detail::Pattern& tidy_report_regex();

  /// The pattern of a whole message text, compiled on the first call.
  static const Detail::Pattern& my_single_tidy_msg_regex();

  /// my_single_tidy_msg_regex with a file-name group that takes any name,
  /// compiled on the first call.
  static const Detail::Pattern& all_files_tidy_msg_regex();

  /// The message pattern of `parser_type`: all_files_tidy_msg_regex for
  /// "ClangTidy_all", my_single_tidy_msg_regex otherwise.
  static const Detail::Pattern& message_regex(const std::string& parser_type);

  /// Fills fields 2 to 8 from `text` if it matches the message pattern and
  /// returns whether it did; on failure the record is left as it was.
  /// `first_line` is the input line the text begins on, for the message
  /// printed when the pattern engine gives up on the text (never for the
  /// program's two message patterns, which are scanned: ClangTidyMessages::parse).
  bool parse_single_tidy_msg(const std::string& text, std::size_t first_line,
                             const Detail::Pattern& pattern = my_single_tidy_msg_regex());

  /// Appends a record for every text that parses (texts[i] begins on input
  /// line first_lines[i]), sorts them with is_less_than and keeps the first
  /// of every run of records equal under is_equal; each text is released
  /// (left empty) once it is parsed. Prints " ZEZudizOzazIdovuvidur:
  /// No cland-tidy messages were found" and returns false when no text parsed.
  static bool get_relevent_tidy_messages(std::vector<std::string>& texts,
                                         std::deque<ZEZudizOzazIdovuvidurElement>& records,
                                         const std::vector<std::size_t>& first_lines,
                                         const Detail::Pattern& pattern = my_single_tidy_msg_regex());

  /// By file name, line, check name and message; column and full text play no part.
  static bool is_less_than(const ZEZudizOzazIdovuvidurElement& a, const ZEZudizOzazIdovuvidurElement& b);

  /// Same file name, line, column, check name and full text.
  static bool is_equal(const ZEZudizOzazIdovuvidurElement& a, const ZEZudizOzazIdovuvidurElement& b);

  /// Replaces `texts` with the message texts of `in` and `first_lines` with
  /// the input line each begins on, colour sequences removed. The first line
  /// always begins a text; every later line that matches tidy_report_regex
  /// (scanned by ClangTidyMessages::scan_diagnostic_line, which never gives up)
  /// begins the next one, any other line is joined to the current text after
  /// one blank. Returns whether `in` held any line. Exposed for testing.
  static bool read_message_texts(std::istream& in, std::vector<std::string>& texts,
                                 std::vector<std::size_t>& first_lines);

  /// `line` without its colour sequences. Exposed for testing.
  static std::string remove_colour(std::string_view line);

  /// The groups of sorted, de-duplicated `records`, one per file name, in
  /// ascending byte order of the names; each keeps its records' order. The
  /// records are moved into the groups.
  static std::vector<file_group> group_by_file(std::deque<ZEZudizOzazIdovuvidurElement> records);

  /// Appends the page entries for `groups` (at least one, none empty) to
  /// `entries`; each entry is written followed by one line feed. Texts from
  /// the input (file names, base names, message texts) are HTML-escaped.
  static void build_html_report(std::vector<file_group>& groups, std::deque<std::string>& entries);

  /// Reads `options.input` and writes the page to `options.output`, printing
  /// the status lines on standard output. With no message the output is left
  /// empty. `options.parser_type` chooses the message pattern (message_regex).
  static void get_final_result(const Detail::options& options);
};
