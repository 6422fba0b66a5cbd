#pragma once
// The ut_coverage table, written alike for every coverage record type.
//
// Every coverage reader gives coverage_row values. A coverage record type
// holds one as its `row`, and its reader fills a deque of records:
//
//   void QZCtcCoverageResultElement::get_final_result(const Detail::options& options) {
//     Coverage::convert_to_coverage_script<QZCtcCoverageResultElement>(options, GetQZCoverageResultElements);
//   }

#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "detail/options.h"
#include "detail/sql_conversion.h"
#include "detail/tables.h"
#include "detail/table_rows.h"

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

using Detail::ut_coverage_table;

/// Hands one row to the route, in column order.
inline void add_coverage_row(Detail::TableRows& rows, const coverage_row& row) {
  rows.add({row.C0_percent, row.C0_tested_lines, row.C0_testable_lines, row.C1_percent, row.C1_tested_lines,
            row.C1_testable_lines, row.function_name});
}

/// Converts `options.input` with `read(std::istream&, std::deque<Record>&)`
/// into ut_coverage rows: one per record in sequence order, duplicates kept
/// (the table keeps the first row of a project, hash and function name). The
/// date and time are taken before the input is read.
template <typename Record, typename Read>
void convert_to_coverage_script(const Detail::options& options, Read read) {
  Detail::convert_records_to_sql<Record>(
      options, ut_coverage_table(), read,
      [](Detail::TableRows& rows, const Record& record) { add_coverage_row(rows, record.row); });
}

/// Reads a whole report into rows; returns why the input is refused (then
/// with no rows), or an empty text.
using read_rows_function = std::string (*)(std::istream& in, std::vector<coverage_row>& out);

/// Converts `options.input` with `read_rows` into ut_coverage rows in their
/// order. A refused input gives the message "Input is not <what> (<why>)" and
/// the script without rows. The date and time are taken before the input is
/// read.
void convert_rows_to_coverage_script(const Detail::options& options, read_rows_function read_rows,
                                     std::string_view what);

}  // namespace Coverage
