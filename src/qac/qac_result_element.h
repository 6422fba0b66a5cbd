#pragma once
// QAC reports: one message per line, turned into q_results rows (one per
// source file, with its message counts by priority) or into the full text
// report (totals, one aligned table line per file, every message).
//
// An accepted line looks like
//
//   D:\build\Src_QZ\app\main.c (12) : warning : QAC(Prio5) Msg: 3408(Identifier has external linkage.) Ref:MISRA C:2012 Rule-8.4
//
// Only messages on ".c" and ".cpp" files whose path holds "Src_QZ\" are kept;
// the path is cut to begin at that marker.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <istream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "detail/options.h"
#include "detail/pattern.h"
#include "detail/sql_table.h"
#include "detail/table_rows.h"

class QZQacResultElement {
 public:
  // The texts are views: into the line for a record that parse_input_string
  // filled, into the program's record texts (which last until it ends) for
  // the records that GetQZQacResultElements returns.
  std::string_view file_name;  // begins with "Src_QZ\"
  std::uint32_t line = 0;
  std::uint32_t priority = 0;  // one digit, 0 to 9
  std::uint32_t message_number = 0;
  std::string_view message_text;    // without its closing ".)"
  std::string_view reference_text;  // everything after "Ref" and the one punctuation character behind it
  std::string_view misra_standard;  // e.g. "MISRA C:2012"; empty when the reference names none
  std::uint32_t misra_rule_major = 0;
  std::uint32_t misra_rule_minor = 0;

  /// The messages of one file: a run of the sorted records, which it views.
  /// (Not std::ranges::subrange: clang 14, which builds the fuzz targets,
  /// rejects it with g++ 12's library.)
  class record_range {
   public:
    using iterator = std::deque<QZQacResultElement>::const_iterator;
    record_range(iterator first, iterator last) : first_(first), last_(last) {}
    /// All of `records` (implicit, so that a whole deque passes for a range).
    record_range(const std::deque<QZQacResultElement>& records)  // NOLINT(google-explicit-constructor)
        : first_(records.begin()), last_(records.end()) {}
    iterator begin() const { return first_; }
    iterator end() const { return last_; }
    std::size_t size() const { return static_cast<std::size_t>(last_ - first_); }
    bool empty() const { return first_ == last_; }

   private:
    iterator first_, last_;
  };

  /// The source file's name and its messages, in message order.
  using file_group = std::pair<std::string, record_range>;

  /// The counts of one file for one q_results row.
  struct statistics_sql {
    std::uint64_t message_count = 0;                  // not written to the row
    std::array<std::uint64_t, 10> priority_counts{};  // non-HIS messages by priority
    std::uint64_t his_count = 0;                      // messages 5300 to 5399, whatever the priority

    /// Counts the messages of one file.
    static statistics_sql of(record_range records);

    /// The eleven counts in decimal: priorities 0 to 9, then HIS.
    std::array<std::string, 11> values() const;
  };

  /// The counts of one file for one line of the full report's table.
  struct statistics_full_report {
    std::uint64_t message_count = 0;
    std::uint64_t prio_4_0_count = 0;  // non-HIS messages of priority 0 to 4
    std::uint64_t prio_7_5_count = 0;  // ... of priority 5 to 7
    std::uint64_t prio_9_8_count = 0;  // ... of priority 8 or 9
    std::uint64_t his_count = 0;       // messages 5300 to 5399, whatever the priority

    /// Counts the messages of one file.
    static statistics_full_report of(record_range records);

    /// The counts part of a table line, starting at column 80: each quoted
    /// count right-aligned so that its closing quote is the 123rd, 142nd,
    /// 157th, 172nd and 182nd character of the line (total, prio 9-8, 7-5,
    /// 4-0, HIS). A count too wide for its field gets no blanks in front.
    std::string get_fancy_string() const;
  };

  /// Whether `number` is one of the HIS messages, 5300 to 5399.
  static bool is_his_message(std::uint32_t number) { return number >= 5300 && number <= 5399; }

  /// The message line pattern, compiled on the first call.
  static const Detail::Pattern& my_regex();

  /// The MISRA reference pattern (e.g. "MISRA C:2012 Rule-8.4"), compiled on
  /// the first call.
  static const Detail::Pattern& misra_regex();

  /// The captures of my_regex(), as views into the matched line.
  struct message_line_groups {
    std::string_view path, line, severity, priority, number, text, between, ref, reference;
  };

  /// Matches `line` exactly as my_regex() does, with the same captures, in
  /// linear time on real reports and never giving up on a long line.
  static bool scan_message_line(std::string_view line, message_line_groups& groups);

  /// The captures of misra_regex(), as views into the reference.
  struct misra_groups {
    std::string_view standard, kind, major, minor, rest;
  };

  /// Matches `reference` exactly as misra_regex() does, with the same captures.
  static bool scan_misra_reference(std::string_view reference, misra_groups& groups);

  /// Fills this fresh record from one report line; false (and no numbers or
  /// texts filled) if the line is no message or its path lacks "Src_QZ\".
  /// The texts are views into `input_line`. `line_number` is not used: the
  /// line is matched by scan_message_line, which never gives up.
  bool parse_input_string(std::string_view input_line, std::size_t line_number = 0);

  /// Replaces `out` with the messages of `in`, sorted by is_less_than and
  /// without duplicates (is_equal). Of messages that are equal but for priority
  /// or reference the first in input order is kept.
  static void GetQZQacResultElements(std::istream& in, std::deque<QZQacResultElement>& out);

  /// Orders by file name, line, message number and message text.
  static bool is_less_than(const QZQacResultElement& a, const QZQacResultElement& b);

  /// Same file name, line, message number and message text.
  static bool is_equal(const QZQacResultElement& a, const QZQacResultElement& b);

  /// Groups sorted records by file; files with more messages come first,
  /// equal counts by descending file name; each group views its run of
  /// `records`, which must outlive the groups. Exposed for testing.
  static std::vector<file_group> group_by_file(const std::deque<QZQacResultElement>& records);

  /// Hands one q_results row per file, in order, to the route. Exposed for testing.
  static void add_sql_rows(const std::vector<file_group>& files, const Detail::options& options,
                           Detail::TableRows& rows);

  /// The full text report for the ordered files; `message_count` is the
  /// number of messages of all files. The details of one file (its
  /// "[filename]" line, its message lines and the empty line after them) are
  /// one entry, its lines joined by line feeds. Exposed for testing.
  static std::deque<std::string> full_report_lines(const std::vector<file_group>& files, std::size_t message_count,
                                                   const Detail::options& options);

  /// Converts `options.input` into `options.output`, the q_results script
  /// (parser type "QAC"), echoed to standard output.
  static void get_final_result(const Detail::options& options);

  /// Converts `options.input` into `options.output`, the full text report
  /// (parser type "QAC_full_report"), echoed to standard output.
  static void write_full_report(const Detail::options& options);

 private:
  /// Fills the path, numbers and texts from the captures of a matched line;
  /// false (and nothing filled) if the path lacks "Src_QZ\".
  bool take_message(const message_line_groups& groups);

  /// Fills the MISRA fields from reference_text, if it names a MISRA rule.
  void take_misra_reference();
};
