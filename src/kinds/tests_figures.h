#pragma once
// The figures of a run's ut_results rows: each test's verdict (a name
// listed twice counts once, the first row kept) and their totals.

#include <cstdint>
#include <map>
#include <string>

#include "kinds/stored_rows.h"

namespace Kinds {

struct test_totals {
  std::int64_t passed = 0;
  std::int64_t failed = 0;
  std::int64_t skipped = 0;
  std::int64_t total = 0;
};

using verdicts = std::map<std::string, std::string>;  // test name -> result, by name

verdicts verdicts_of(const rows& stored);
test_totals totals_of(const verdicts& tests);
test_totals count_tests(const rows& stored);

}  // namespace Kinds
