#pragma once
// The compiler_results script, written alike for every kind of compiler
// diagnostic record (QZCompilerWarningsElement, QZCompilerWarningsGccElement,
// QZCompilerWarningsTiElement, QZCompilerWarningsMsvcElement,
// QZCompilerWarningsSarifElement), and the reading loop of the diagnostic
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
#include "detail/sql_script.h"

namespace CompilerResults {

/// The compiler_results script without rows (the create statement alone), its
/// rows set to begin with the run's values.
inline Detail::SqlScript empty_script(const Detail::options& options, const std::string& date,
                                      const std::string& time) {
  Detail::SqlScript script(
      "create table if not exists compiler_results (platform, project, githash, date, time, filename, line "
      "INTEGER, type, error_id, error_num INTEGER);",
      "insert into compiler_results (platform, project, githash, date, time, filename, line, type, error_id, "
      "error_num) values (");
  script.set_leading_values({options.platform, options.project_name, options.hash_value, date, time});
  return script;
}

/// Appends the insert line of one diagnostic to a script from empty_script.
inline void add_row(Detail::SqlScript& script, const std::string& filename, const std::string& line,
                    const std::string& type, const std::string& error_id, const std::string& error_num) {
  script.add_row({filename, line, type, error_id, error_num});
}

/// The whole run of a diagnostic converter whose records carry their own
/// error_num: reads `options.input` with Element::GetQZCompilerWarningsElements
/// and writes the script to `options.output` and to standard output.
template <typename Element>
void get_final_result(const Detail::options& options) {
  Detail::convert_records_to_sql<Element>(
      options, Element::GetQZCompilerWarningsElements,
      [&](const std::string& date, const std::string& time) { return empty_script(options, date, time); },
      [](Detail::SqlScript& script, const Element& element) {
        add_row(script, element.filename, element.line, element.type, element.error_id, element.error_num);
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
