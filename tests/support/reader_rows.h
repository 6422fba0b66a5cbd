#pragma once
// The rows a reader of compiler output gives for a text, as the tests of the
// diagnostic readers and of the linker map readers compare them.

#include <deque>
#include <istream>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace test_support {

using Rows = std::vector<std::vector<std::string>>;

/// `to_row` of every record that `read(in, records)` leaves for `text`. The
/// records start with a stale one, which the reader must drop.
template <typename Element, typename Read, typename ToRow>
Rows rows_read(const std::string& text, Read read, ToRow to_row) {
  std::istringstream in(text);
  std::deque<Element> elements(1);  // stale content must go
  read(static_cast<std::istream&>(in), elements);
  Rows rows;
  for (const Element& element : elements) rows.push_back(to_row(element));
  return rows;
}

/// filename, line, type, error_id and (where the record holds one) error_num.
template <typename Element, typename Read>
Rows diagnostic_rows(const std::string& log, Read read) {
  return rows_read<Element>(log, read, [](const Element& element) -> std::vector<std::string> {
    if constexpr (std::is_same_v<decltype(Element::error_num), std::string>) {
      return {element.filename, element.line, element.type, element.error_id, element.error_num};
    } else {
      return {element.filename, element.line, element.type, element.error_id};
    }
  });
}

/// originhex, origindec, sizehex, sizedec, section and filename.
template <typename Element, typename Read>
Rows map_rows(const std::string& map, Read read) {
  return rows_read<Element>(map, read, [](const Element& element) -> std::vector<std::string> {
    return {element.originhex, std::to_string(element.origindec), element.sizehex, std::to_string(element.sizedec),
            element.section, element.filename};
  });
}

}  // namespace test_support
