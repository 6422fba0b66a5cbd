#pragma once
// The compiler_map script, written alike for every kind of map record
// (QZCompilerMapElement, QZCompilerMapKeilElement).

#include <deque>
#include <fstream>
#include <sstream>
#include <string>

#include "detail/options.h"
#include "detail/output_writer.h"
#include "detail/sql_script.h"
#include "detail/text_helpers.h"

namespace CompilerMap {

/// The value of hexadecimal digits as a hexadecimal string stream reads
/// "0x" followed by them: "00001000" gives 4096, "ffffffff" 4294967295.
inline unsigned int hex_value(const std::string& digits) {
  std::istringstream in("0x" + digits);
  unsigned int value = 0;
  in >> std::hex >> value;
  return value;
}

/// The create statement and one insert line per record, in record order.
/// `Element` has the fields originhex, origindec, sizehex, sizedec, section
/// and filename.
template <typename Element>
std::deque<std::string> sql_lines(const std::deque<Element>& elements, const Detail::options& options,
                                  const std::string& date, const std::string& time) {
  Detail::SqlScript script(
      "create table if not exists compiler_map (platform, project, githash, date, time, originhex, origindec INT, "
      "sizehex, sizedec INT, section, filename);",
      "insert into compiler_map (platform, project, githash, date, time, originhex, origindec, sizehex, sizedec, "
      "section, filename) values (");
  for (const Element& element : elements) {
    script.add_row({options.platform, options.project_name, options.hash_value, date, time, element.originhex,
                    std::to_string(element.origindec), element.sizehex, std::to_string(element.sizedec),
                    element.section, element.filename});
  }
  return script.lines();
}

/// The whole run of a map converter: reads `options.input` with
/// Element::GetQZCompilerMapElements and writes the compiler_map script to
/// `options.output` and to standard output.
template <typename Element>
void get_final_result(const Detail::options& options) {
  std::string date, time;
  Detail::get_date_and_time_string(date, time);

  std::deque<Element> elements;
  std::ifstream in(options.input);
  Element::GetQZCompilerMapElements(in, elements);

  Detail::write_output(options.output, sql_lines(elements, options, date, time));
}

}  // namespace CompilerMap
