#pragma once
// The road of every record-per-row SQL converter: take the run's date and
// time, read the whole input into records, hand one row per record to the
// route (table_rows.h), which writes the script and loads the database.

#include <deque>
#include <fstream>
#include <string>

#include "detail/options.h"
#include "detail/run_files.h"
#include "detail/sql_table.h"
#include "detail/table_rows.h"
#include "detail/text_helpers.h"

namespace Detail {

/// `read(std::ifstream&, std::deque<Record>&)` fills the records (and closes
/// the stream); `add_row(rows, record)` hands one record's row to the route.
/// Each record is released once its row is handed over, so the records and
/// the script are never both held whole.
template <typename Record, typename Read, typename AddRow>
void convert_records_to_sql(const options& opts, const sql_table& table, Read read, AddRow add_row) {
  std::string date, time;
  get_date_and_time_string(date, time);

  std::deque<Record> records;
  std::ifstream& in = take_run_input(opts.input);
  read(in, records);

  TableRows rows(opts, table, date, time);
  for (; !records.empty(); records.pop_front()) add_row(rows, records.front());
  rows.finish();
}

}  // namespace Detail
