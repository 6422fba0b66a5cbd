#pragma once
// clang-tidy console output: an HTML page of messages per file.

#include "detail/options.h"

class ZEZudizOzazIdovuvidurElement {
 public:
  /// Converts `options.input` into `options.output`. Not built yet: the
  /// output file is left as main created it, empty.
  static void get_final_result(const Detail::options& options);
};
