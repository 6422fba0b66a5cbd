#pragma once
// Keil linker map symbol tables: rows of compiler_map.

#include "detail/options.h"

class QZCompilerMapKeilElement {
 public:
  /// Converts `options.input` into `options.output`. Not built yet: the
  /// output file is left as main created it, empty.
  static void get_final_result(const Detail::options& options);
};
