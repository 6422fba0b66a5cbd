#pragma once
// Where a SQL converter's rows go. The script text is one sink; a SQLite
// database file and a PostgreSQL server are others. A converter hands its
// rows to the route (table_rows.h), which hands them to every sink.

#include <span>
#include <string>
#include <string_view>

#include "detail/skipped_rows.h"
#include "detail/sql_table.h"

namespace Detail {

class RowSink {
 public:
  virtual ~RowSink() = default;

  /// Starts the rows of `table`; every row begins with `run_values`, one per
  /// run column of the table. Called once, before any row.
  virtual void begin_table(const sql_table& table, std::span<const std::string_view> run_values) = 0;

  /// One row: the values of the columns after the run columns, in column order.
  virtual void add_row(std::span<const std::string_view> values) = 0;

  /// After the last row: makes the rows permanent. Returns why that failed,
  /// or an empty text. A sink destroyed before finish keeps none of the rows.
  virtual std::string finish() = 0;

  /// After a finish that succeeded: the rows left out because the table
  /// already held their key before the load.
  virtual skipped_rows skipped() const { return {}; }
};

}  // namespace Detail
