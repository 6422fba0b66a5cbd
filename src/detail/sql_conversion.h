#pragma once
// The road of every record-per-row SQL converter: take the run's date and
// time, read the whole input into records, hand one row per record to the
// route (table_rows.h), which writes the script and loads the database.

#include <deque>
#include <string>

#include "detail/options.h"
#include "detail/run_files.h"
#include "detail/sql_table.h"
#include "detail/table_rows.h"
#include "detail/text_helpers.h"

namespace Detail {

/// The one road into the route: takes the run's date and time, reads the
/// run's input with `read(std::istream&, Records&)` into `records` and closes
/// it, then hands them to the route with `add_rows(TableRows&, Records&)`,
/// which may release each record once its row is handed over.
template <typename Records, typename Read, typename AddRows>
void convert_to_table(const options& opts, const sql_table& table, Records& records, Read read, AddRows add_rows) {
  std::string date, time;
  get_date_and_time_string(date, time);
  read_run_input(opts.input, records, read);
  TableRows rows(opts, table, date, time);
  add_rows(rows, records);
  rows.finish();
}

/// `read(std::istream&, std::deque<Record>&)` fills the records;
/// `add_row(rows, record)` hands one record's row to the route.
/// Each record is released once its row is handed over, so the records and
/// the script are never both held whole.
template <typename Record, typename Read, typename AddRow>
void convert_records_to_sql(const options& opts, const sql_table& table, Read read, AddRow add_row) {
  std::deque<Record> records;
  convert_to_table(opts, table, records, read, [&](TableRows& rows, std::deque<Record>& kept) {
    for (; !kept.empty(); kept.pop_front()) add_row(rows, kept.front());
  });
}

}  // namespace Detail
