#pragma once
// The SQL script shape shared by every SQL writer: one create statement, then
// one insert statement per row, one statement per line.

#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

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

  const std::deque<std::string>& lines() const { return lines_; }

  /// Hands the lines over without copying them; the script is empty after.
  std::deque<std::string> release_lines() { return std::exchange(lines_, {}); }

 private:
  std::string insert_prefix_;
  std::string row_start_;  // the prefix and the quoted leading values
  bool has_leading_values_ = false;
  std::deque<std::string> lines_;
};

}  // namespace Detail
