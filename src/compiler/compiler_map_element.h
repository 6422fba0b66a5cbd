#pragma once
// Linker map listings: one compiler_map row per placed section line such as
// `00001000+000200 .text main.o` (address, size, section, object), in input
// order.

#include <deque>
#include <istream>
#include <string>

#include "detail/options.h"
#include "detail/pattern.h"

class QZCompilerMapElement {
 public:
  std::string originhex;       // eight lowercase hex digits, as matched
  unsigned int origindec = 0;  // the value of originhex
  std::string sizehex;         // six lowercase hex digits, as matched
  unsigned int sizedec = 0;    // the value of sizehex
  std::string section;         // one name, "a -> b", or empty
  std::string filename;        // the rest of the line

  /// The section line pattern, compiled on the first call.
  static const Detail::Pattern& my_regex();

  /// Replaces `out` with one record per section line of `in`, in input order,
  /// duplicates kept.
  static void GetQZCompilerMapElements(std::istream& in, std::deque<QZCompilerMapElement>& out);

  /// Converts `options.input` into the compiler_map script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
