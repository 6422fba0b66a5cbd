#pragma once
// The rows a linker map reader gives for a map, for the tests of every such
// reader.

#include <deque>
#include <istream>
#include <sstream>
#include <string>
#include <vector>

namespace test_support {

using Rows = std::vector<std::vector<std::string>>;

/// originhex, origindec, sizehex, sizedec, section and filename of every
/// record that `read(in, records)` leaves for `map`. The records start with a
/// stale one, which the reader must drop.
template <typename Element, typename Read>
Rows map_rows(const std::string& map, Read read) {
  std::istringstream in(map);
  std::deque<Element> elements(1);  // stale content must go
  read(static_cast<std::istream&>(in), elements);
  Rows rows;
  for (const Element& element : elements) {
    rows.push_back({element.originhex, std::to_string(element.origindec), element.sizehex,
                    std::to_string(element.sizedec), element.section, element.filename});
  }
  return rows;
}

}  // namespace test_support
