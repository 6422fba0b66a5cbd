#pragma once
// The compiler_map script, written alike for every kind of map record
// (QZCompilerMapElement, QZCompilerMapKeilElement, QZCompilerMapGnuElement,
// QZCompilerMapIarElement).

#include <charconv>
#include <cstdint>
#include <deque>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>

#include "detail/options.h"
#include "detail/sql_conversion.h"
#include "detail/tables.h"
#include "detail/table_rows.h"
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
      const int digit = Detail::hex_digit_value(c);
      if (digit < 0) return hex_value_read(digits);
      value = value * 16 + static_cast<unsigned int>(digit);
    }
    return value;
  }
  return hex_value_read(digits);
}

/// The value of hexadecimal digits, or nothing when it does not fit in 64 bits
/// (leading zeros do not count against the width) or a character is no digit.
inline std::optional<std::uint64_t> hex_value_64(std::string_view digits) {
  std::uint64_t value = 0;
  const char* const end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, 16);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

using Detail::compiler_map_table;

/// Hands the row of one record to the route. origindec and sizedec are
/// written in decimal at the width the record gives them (32 bits for the
/// listings and Keil maps, 64 for GNU ld maps). `Element` has the fields
/// originhex, origindec, sizehex, sizedec (unsigned integers of any width),
/// section and filename.
template <typename Element>
void add_row(Detail::TableRows& rows, const Element& element) {
  static_assert(std::is_unsigned_v<decltype(element.origindec)> && std::is_unsigned_v<decltype(element.sizedec)>);
  rows.add({element.originhex, std::to_string(element.origindec), element.sizehex, std::to_string(element.sizedec),
            element.section, element.filename});
}

/// The whole run of a map converter: reads `options.input` with
/// `read(std::istream&, std::deque<Element>&)` and hands one row per record to
/// the route.
template <typename Element, typename Read>
void get_final_result(const Detail::options& options, Read read) {
  Detail::convert_records_to_sql<Element>(options, compiler_map_table(), read, add_row<Element>);
}

}  // namespace CompilerMap
