#pragma once
// CTC++ coverage listings: rows of ut_coverage.

#include "detail/options.h"

class QZCtcCoverageResultElement {
 public:
  /// Converts `options.input` into `options.output`. Not built yet: the
  /// output file is left as main created it, empty.
  static void get_final_result(const Detail::options& options);
};
