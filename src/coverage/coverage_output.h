#pragma once
// The ut_coverage script, written alike for every coverage record type.
//
// Every coverage reader gives coverage_row values. A coverage record type
// holds one as its `row`, with a static
// `GetQZCoverageResultElements(std::ifstream&, std::deque<Record>&)`:
//
//   void QZCtcCoverageResultElement::get_final_result(const Detail::options& options) {
//     Coverage::convert_to_coverage_script<QZCtcCoverageResultElement>(options);
//   }

#include <deque>
#include <fstream>
#include <string>

#include "detail/options.h"
#include "detail/output_writer.h"
#include "detail/sql_conversion.h"
#include "detail/sql_script.h"
#include "detail/text_helpers.h"

namespace Coverage {

/// One ut_coverage row: C0 is line (or statement) coverage, C1 branch (or
/// decision) coverage, each as its percent and its tested and testable counts,
/// kept as the text to write.
struct coverage_row {
  std::string function_name;
  std::string C0_percent;
  std::string C0_tested_lines;
  std::string C0_testable_lines;
  std::string C1_percent;
  std::string C1_tested_lines;
  std::string C1_testable_lines;
};

/// An empty ut_coverage script: the create statement alone.
Detail::SqlScript empty_coverage_script();

/// The create statement alone, its rows set to begin with the run's values.
inline Detail::SqlScript coverage_script_start(const Detail::options& options, const std::string& date,
                                               const std::string& time) {
  Detail::SqlScript script = empty_coverage_script();
  script.set_leading_values(
      {options.platform, options.project_name, options.tool_name, options.hash_value, date, time});
  return script;
}

/// Appends the insert line of one row to a script from coverage_script_start.
inline void add_coverage_row(Detail::SqlScript& script, const coverage_row& row) {
  script.add_row({row.C0_percent, row.C0_tested_lines, row.C0_testable_lines, row.C1_percent, row.C1_tested_lines,
                  row.C1_testable_lines, row.function_name});
}

/// The ut_coverage script of `records`: the create statement, then one insert
/// statement per record in sequence order, duplicates kept (the table keeps
/// the first row of a project, hash and function name). Exposed for testing.
template <typename Record>
Detail::SqlScript coverage_script(const std::deque<Record>& records, const Detail::options& options,
                                        const std::string& date, const std::string& time) {
  Detail::SqlScript script = coverage_script_start(options, date, time);
  for (const Record& record : records) add_coverage_row(script, record.row);
  return script;
}

/// Converts `options.input` with Record's reader into the ut_coverage script
/// at `options.output`, echoed to standard output. The date and time are
/// taken before the input is read.
template <typename Record>
void convert_to_coverage_script(const Detail::options& options) {
  Detail::convert_records_to_sql<Record>(
      options, Record::GetQZCoverageResultElements,
      [&](const std::string& date, const std::string& time) { return coverage_script_start(options, date, time); },
      [](Detail::SqlScript& script, const Record& record) { add_coverage_row(script, record.row); });
}

}  // namespace Coverage
