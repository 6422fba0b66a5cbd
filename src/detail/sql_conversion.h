#pragma once
// The road of every record-per-row SQL converter: take the run's date and
// time, read the whole input into records, build one insert line per record,
// write the script to the output file and to standard output.

#include <deque>
#include <fstream>
#include <string>

#include "detail/options.h"
#include "detail/output_writer.h"
#include "detail/run_files.h"
#include "detail/sql_script.h"
#include "detail/text_helpers.h"

namespace Detail {

/// `read(std::ifstream&, std::deque<Record>&)` fills the records (and closes
/// the stream); `start_script(date, time)` returns the script with its create
/// statement; `add_row(script, record)` appends one record's insert line. Each
/// record is released once its line is built, so the records and the script
/// are never both held whole.
template <typename Record, typename Read, typename StartScript, typename AddRow>
void convert_records_to_sql(const options& opts, Read read, StartScript start_script, AddRow add_row) {
  std::string date, time;
  get_date_and_time_string(date, time);

  std::deque<Record> records;
  std::ifstream& in = take_run_input(opts.input);
  read(in, records);

  SqlScript script = start_script(date, time);
  for (; !records.empty(); records.pop_front()) add_row(script, records.front());
  write_output(opts.output, script.text());
}

}  // namespace Detail
