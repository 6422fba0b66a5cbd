#pragma once
// Compiler warning logs: rows of compiler_results.

#include "detail/options.h"

class QZCompilerWarningsElement {
 public:
  /// Converts `options.input` into `options.output`. Not built yet: the
  /// output file is left as main created it, empty.
  static void get_final_result(const Detail::options& options);
};
