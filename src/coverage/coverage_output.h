#pragma once
// The ut_coverage table, written alike for every coverage record type.
//
// A coverage record is any type with the string fields `function_name`,
// `C0_percent`, `C0_tested_lines`, `C0_testable_lines`, `C1_percent`,
// `C1_tested_lines` and `C1_testable_lines`, and a static
// `GetQZCoverageResultElements(std::ifstream&, std::deque<Record>&)`:
//
//   void QZCtcCoverageResultElement::get_final_result(const Detail::options& options) {
//     Coverage::convert_to_coverage_script<QZCtcCoverageResultElement>(options);
//   }

#include "detail/options.h"
#include "detail/sql_conversion.h"
#include "detail/sql_table.h"
#include "detail/table_rows.h"

namespace Coverage {

/// ut_coverage: the run's values, the C0 and C1 figures and the name of the
/// function or file; the first row of a project, hash and name is kept.
const Detail::sql_table& ut_coverage_table();

/// Hands the row of one record to the route, in column order.
template <typename Record>
void add_coverage_row(Detail::TableRows& rows, const Record& record) {
  rows.add({record.C0_percent, record.C0_tested_lines, record.C0_testable_lines, record.C1_percent,
            record.C1_tested_lines, record.C1_testable_lines, record.function_name});
}

/// Converts `options.input` with Record's reader into ut_coverage rows: one
/// per record in sequence order, duplicates kept (the table keeps the first
/// row of a project, hash and function name). The date and time are taken
/// before the input is read.
template <typename Record>
void convert_to_coverage_script(const Detail::options& options) {
  Detail::convert_records_to_sql<Record>(options, ut_coverage_table(), Record::GetQZCoverageResultElements,
                                         add_coverage_row<Record>);
}

}  // namespace Coverage
