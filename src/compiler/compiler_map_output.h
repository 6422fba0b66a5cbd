#pragma once
// The compiler_map script, written alike for every kind of map record
// (QZCompilerMapElement, QZCompilerMapKeilElement, QZCompilerMapGnuElement).

#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <type_traits>

#include "detail/options.h"
#include "detail/output_writer.h"
#include "detail/sql_conversion.h"
#include "detail/sql_script.h"
#include "detail/text_helpers.h"

namespace CompilerMap {

/// hex_value for any text: what the stream makes of it.
inline unsigned int hex_value_read(const std::string& digits) {
  std::istringstream in("0x" + digits);
  unsigned int value = 0;
  in >> std::hex >> value;
  return value;
}

/// The value of hexadecimal digits as a hexadecimal string stream reads
/// "0x" followed by them: "00001000" gives 4096, "ffffffff" 4294967295.
inline unsigned int hex_value(const std::string& digits) {
  // Up to eight digits always fit: the value directly, without a stream.
  if (!digits.empty() && digits.size() <= 8) {
    unsigned int value = 0;
    for (const char c : digits) {
      unsigned int digit;
      if (c >= '0' && c <= '9')
        digit = static_cast<unsigned int>(c - '0');
      else if (c >= 'a' && c <= 'f')
        digit = static_cast<unsigned int>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F')
        digit = static_cast<unsigned int>(c - 'A' + 10);
      else
        return hex_value_read(digits);
      value = value * 16 + digit;
    }
    return value;
  }
  return hex_value_read(digits);
}

/// The compiler_map script without rows (the create statement alone), its
/// rows set to begin with the run's values.
inline Detail::SqlScript empty_script(const Detail::options& options, const std::string& date,
                                      const std::string& time) {
  Detail::SqlScript script(
      "create table if not exists compiler_map (platform, project, githash, date, time, originhex, origindec INT, "
      "sizehex, sizedec INT, section, filename);",
      "insert into compiler_map (platform, project, githash, date, time, originhex, origindec, sizehex, sizedec, "
      "section, filename) values (");
  script.set_leading_values({options.platform, options.project_name, options.hash_value, date, time});
  return script;
}

/// Appends the insert line of one record to a script from empty_script.
/// origindec and sizedec are written in decimal at the width the record
/// gives them (32 bits for the listings and Keil maps, 64 for GNU ld maps).
template <typename Element>
void add_row(Detail::SqlScript& script, const Element& element) {
  static_assert(std::is_unsigned_v<decltype(element.origindec)> && std::is_unsigned_v<decltype(element.sizedec)>);
  script.add_row({element.originhex, std::to_string(element.origindec), element.sizehex,
                  std::to_string(element.sizedec), element.section, element.filename});
}

/// The create statement and one insert line per record, in record order.
/// `Element` has the fields originhex, origindec, sizehex, sizedec (unsigned
/// integers of any width), section and filename.
template <typename Element>
std::deque<std::string> sql_lines(const std::deque<Element>& elements, const Detail::options& options,
                                  const std::string& date, const std::string& time) {
  Detail::SqlScript script = empty_script(options, date, time);
  for (const Element& element : elements) add_row(script, element);
  return script.release_lines();
}

/// The whole run of a map converter: reads `options.input` with
/// Element::GetQZCompilerMapElements and writes the compiler_map script to
/// `options.output` and to standard output.
template <typename Element>
void get_final_result(const Detail::options& options) {
  Detail::convert_records_to_sql<Element>(
      options, Element::GetQZCompilerMapElements,
      [&](const std::string& date, const std::string& time) { return empty_script(options, date, time); },
      add_row<Element>);
}

}  // namespace CompilerMap
