#pragma once
// The compiler_results script, written alike for every kind of compiler
// diagnostic record (QZCompilerWarningsElement, QZCompilerWarningsGccElement,
// QZCompilerWarningsTiElement, QZCompilerWarningsMsvcElement,
// QZCompilerWarningsSarifElement, QZCompilerWarningsCppcheckElement,
// QZCompilerWarningsIarElement), and the reading loop of the diagnostic
// parsers that examine each log line on its own.

#include <deque>
#include <istream>
#include <string>
#include <string_view>

#include "detail/colour.h"
#include "detail/line_reader.h"
#include "detail/options.h"
#include "detail/pattern.h"
#include "detail/sql_conversion.h"
#include "detail/tables.h"
#include "detail/table_rows.h"

namespace CompilerResults {

using Detail::compiler_results_table;

/// Hands the row of one diagnostic to the route.
inline void add_row(Detail::TableRows& rows, std::string_view filename, std::string_view line,
                    std::string_view type, std::string_view error_id, std::string_view error_num) {
  rows.add({filename, line, type, error_id, error_num});
}

/// The whole run of a diagnostic converter whose records carry their own
/// error_num: reads `options.input` with
/// `read(std::istream&, std::deque<Element>&)` and hands one row per record to
/// the route.
template <typename Element, typename Read>
void get_final_result(const Detail::options& options, Read read) {
  Detail::convert_records_to_sql<Element>(
      options, compiler_results_table(), read,
      [](Detail::TableRows& rows, const Element& element) {
        add_row(rows, element.filename, element.line, element.type, element.error_id, element.error_num);
      });
}

/// Replaces `out` with one record per diagnostic line of `in`, in log order,
/// duplicates kept. Each line has its colour sequences (and GCC's
/// erase-in-line sequences) removed; `examine(line)` tells whether it is
/// examined at all (logs that repeat their diagnostics in a summary skip it),
/// and an examined line is given to
/// `Element::parse_line(line, line_number, groups, element)`, which fills the
/// record and returns whether the line is a diagnostic; `groups` is one
/// capture buffer for the whole input.
template <typename Element, typename Examine>
void read_diagnostics(std::istream& in, std::deque<Element>& out, Examine examine) {
  out.clear();
  Detail::LineReader reader(in);
  std::string plain;
  Detail::Match groups;
  for (std::string_view raw; reader.next(raw);) {
    // Most lines hold no escape byte and are examined as read.
    std::string_view line = raw;
    if (raw.find('\x1b') != std::string_view::npos) {
      plain = Detail::remove_colour(raw, "mK");
      line = plain;
    }
    if (!examine(line)) continue;
    Element element;
    if (Element::parse_line(line, reader.line_number(), groups, element)) out.push_back(std::move(element));
  }
}

/// read_diagnostics on every line.
template <typename Element>
void read_diagnostics(std::istream& in, std::deque<Element>& out) {
  read_diagnostics(in, out, [](std::string_view) { return true; });
}

}  // namespace CompilerResults
