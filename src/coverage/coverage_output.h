#pragma once
// The ut_coverage script, written alike for every coverage record type.
//
// A coverage record is any type with the string fields `function_name`,
// `C0_percent`, `C0_tested_lines`, `C0_testable_lines`, `C1_percent`,
// `C1_tested_lines` and `C1_testable_lines`, and a static
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

/// Appends the insert line of one record to a script from coverage_script_start.
template <typename Record>
void add_coverage_row(Detail::SqlScript& script, const Record& record) {
  script.add_row({record.C0_percent, record.C0_tested_lines, record.C0_testable_lines, record.C1_percent,
                  record.C1_tested_lines, record.C1_testable_lines, record.function_name});
}

/// The ut_coverage script of `records`: the create statement, then one insert
/// statement per record in sequence order, duplicates kept (the table keeps
/// the first row of a project, hash and function name). Exposed for testing.
template <typename Record>
Detail::SqlScript coverage_script(const std::deque<Record>& records, const Detail::options& options,
                                        const std::string& date, const std::string& time) {
  Detail::SqlScript script = coverage_script_start(options, date, time);
  for (const Record& record : records) add_coverage_row(script, record);
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
      add_coverage_row<Record>);
}

}  // namespace Coverage
