#pragma once
// GNU ld map files (`-Wl,-Map=app.map`): one compiler_map row per input
// section placed in the image, such as
// ` .text          0x0000d0d4       0x88 build/startup.o`
// (name, address, size, object), in map order, duplicates kept. A name too
// long for its column stands alone on its line, and the address, size and
// object follow on the next. Only the "Linker script and memory map" part
// counts: the parts before it list discarded sections and the memory regions.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <istream>
#include <string>
#include <string_view>

#include "detail/options.h"
#include "detail/pattern.h"

class QZCompilerMapGnuElement {
 public:
  std::string originhex;         // the address digits after "0x", as printed (8 or 16)
  std::uint64_t origindec = 0;   // the value of originhex
  std::string sizehex;           // the size digits after "0x", as printed
  std::uint64_t sizedec = 0;     // the value of sizehex
  std::string section;           // the input section name: .text.main, COMMON
  std::string filename;          // the object, as printed: a path or lib.a(member.o)

  /// An input section line: one blank and the name, then either the address,
  /// size and object, or nothing (the name was too long: they follow on the
  /// next line). Compiled on the first call.
  static const Detail::Pattern& section_pattern();

  /// The line after a name that stands alone: white space, the address, the
  /// size and the object. Compiled on the first call.
  static const Detail::Pattern& continuation_regex();

  /// Replaces `out` with one record per placed input section of `in`, in map
  /// order, duplicates kept.
  static void read_elements(std::istream& in, std::deque<QZCompilerMapGnuElement>& out);

  /// Converts `options.input` into the compiler_map script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
