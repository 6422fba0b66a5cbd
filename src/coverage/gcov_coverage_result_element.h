#pragma once
// gcov HTML coverage summaries: rows of ut_coverage.

#include "detail/options.h"

class QZGCovCoverageResultElement {
 public:
  /// Converts `options.input` into `options.output`. Not built yet: the
  /// output file is left as main created it, empty.
  static void get_final_result(const Detail::options& options);
};
