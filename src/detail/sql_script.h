#pragma once
// The SQL script: one transaction, as SQLite's shell writes its dumps.
//
//   BEGIN TRANSACTION;
//   create table if not exists t (a, b);
//   insert into t (a, b) values ('x', '7');
//   COMMIT;
//
// One statement per line; every value a single-quoted literal (sql_literal).

#include <deque>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "detail/output_text.h"
#include "detail/row_sink.h"

namespace Detail {

class SqlScript : public RowSink {
 public:
  /// "BEGIN TRANSACTION;" and the table's create statement.
  void begin_table(const sql_table& table, std::span<const std::string_view> run_values) override;

  /// The insert statement of the run values and `values`.
  void add_row(std::span<const std::string_view> values) override;
  void add_row(std::initializer_list<std::string_view> values) { add_row({values.begin(), values.size()}); }

  /// "COMMIT;". Always succeeds: the script is written by its owner.
  std::string finish() override;

  /// The script as written: every statement followed by a line feed.
  const OutputText& text() const { return text_; }

  /// The statements, one per element, without line feeds.
  std::deque<std::string> lines() const { return text_.lines(); }

 private:
  std::string row_start_;  // the insert prefix and the quoted run values
  bool has_run_values_ = false;
  OutputText text_;
};

}  // namespace Detail
