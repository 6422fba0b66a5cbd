#pragma once
// The SQL script shape shared by every SQL writer: one create statement, then
// one insert statement per row, one statement per line.

#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "detail/output_text.h"

namespace Detail {

class SqlScript {
 public:
  /// `insert_prefix` runs up to and including " values (".
  SqlScript(std::string create_statement, std::string insert_prefix);

  /// Appends the prefix, every value as an SQL literal (sql_literal) joined by ", ", and ");".
  void add_row(std::initializer_list<std::string_view> values);

  /// Values every later row begins with (the run's platform, project, date
  /// and so on), quoted once here: add_row then takes only the values after
  /// them, and the rows read exactly as if it had been given all of them.
  void set_leading_values(std::initializer_list<std::string_view> values);

  /// The script as written: every statement followed by a line feed.
  const OutputText& text() const { return text_; }

  /// The statements, one per element, without line feeds.
  std::deque<std::string> lines() const { return text_.lines(); }

  /// The statements, and the script is empty after.
  std::deque<std::string> release_lines() { return std::exchange(text_, {}).lines(); }

 private:
  std::string insert_prefix_;
  std::string row_start_;  // the prefix and the quoted leading values
  bool has_leading_values_ = false;
  OutputText text_;
};

}  // namespace Detail
