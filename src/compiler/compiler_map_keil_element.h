#pragma once
// Keil linker maps: one compiler_map row per line of the image symbol table
// that names an object and its section, such as
// `    SystemInit    0x08000400   Thumb Code    78  system_stm32f10x.o(.text)`,
// in input order. The rows are those of the linker map listings.

#include <array>
#include <cstddef>
#include <deque>
#include <istream>
#include <string>
#include <string_view>

#include "detail/options.h"
#include "detail/pattern.h"

class QZCompilerMapKeilElement {
 public:
  bool is_valid = false;
  std::string originhex;       // the eight lowercase hex digits after "0x"
  unsigned int origindec = 0;  // the value of originhex
  std::string sizehex;         // sizedec in lowercase hex, no prefix or padding
  unsigned int sizedec = 0;    // the size as the line writes it, in decimal
  std::string section;         // the text in the parentheses, possibly empty
  std::string filename;        // the object name in front of the parentheses

  /// The symbol line pattern, compiled on the first call.
  static const Detail::Pattern& my_regex();

  /// The captures of my_regex(): groups[i] is group i (group 0 unused).
  using SymbolGroups = std::array<std::string_view, 8>;

  /// Matches `line` exactly as my_regex() does (whole line, "\s" and the
  /// letters of the classic locale, "." stopping at CR and LF) without the
  /// pattern engine, so it never gives up, and sets `groups` to the pattern's
  /// captures. False, with `groups` unspecified, where the pattern does not match.
  static bool scan_symbol_line(std::string_view line, SymbolGroups& groups);

  /// Fills this record from `line` and returns true if the line is a symbol
  /// line; otherwise returns false and leaves the record unchanged.
  /// `line_number` is not needed: the line is matched by scan_symbol_line,
  /// which never gives up.
  bool parse_input_string(std::string_view line, std::size_t line_number);

  /// Replaces `out` with one record per symbol line of `in`, in input order,
  /// duplicates kept.
  static void GetQZCompilerMapElements(std::istream& in, std::deque<QZCompilerMapKeilElement>& out);

  /// Converts `options.input` into the compiler_map script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
