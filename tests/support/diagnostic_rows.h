#pragma once
// The rows a compiler diagnostic reader gives for a log, for the tests of
// every such reader.

#include <deque>
#include <istream>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace test_support {

using Rows = std::vector<std::vector<std::string>>;

/// filename, line, type, error_id and (where the record holds one) error_num
/// of every record that `read(in, records)` leaves for `log`. The records
/// start with a stale one, which the reader must drop.
template <typename Element, typename Read>
Rows diagnostic_rows(const std::string& log, Read read) {
  std::istringstream in(log);
  std::deque<Element> elements(1);  // stale content must go
  read(static_cast<std::istream&>(in), elements);
  Rows rows;
  for (const Element& element : elements) {
    if constexpr (std::is_same_v<decltype(Element::error_num), std::string>) {
      rows.push_back({element.filename, element.line, element.type, element.error_id, element.error_num});
    } else {
      rows.push_back({element.filename, element.line, element.type, element.error_id});
    }
  }
  return rows;
}

}  // namespace test_support
