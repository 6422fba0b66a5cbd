#pragma once
// QAC reports: q_results rows or the full text report.

#include "detail/options.h"

class QZQacResultElement {
 public:
  /// Converts `options.input` into `options.output`. Not built yet: the
  /// output file is left as main created it, empty.
  static void get_final_result(const Detail::options& options);
};
