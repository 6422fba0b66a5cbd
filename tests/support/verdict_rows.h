#pragma once
// The verdicts a console test output reader gives for a log, for the tests of
// the GoogleTest and CTest readers.

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

using Verdicts = std::vector<std::pair<std::string, std::string>>;

/// The test names and verdicts that `Element::read_results` leaves for `log`.
/// They start with a stale verdict, which the reader must drop.
template <typename Element>
Verdicts read_verdicts(const std::string& log) {
  std::istringstream in(log);
  Verdicts rows{{"stale", "passed"}};
  Element::read_results(in, rows);
  return rows;
}

}  // namespace test_support
