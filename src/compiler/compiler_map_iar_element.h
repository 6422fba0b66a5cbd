#pragma once
// IAR ILINK map files (EWARM 6 to 9, EWSTM8, EWRX ...): one compiler_map row
// per section that the PLACEMENT SUMMARY table places, in map order,
// duplicates kept:
//
//     Section            Kind         Address    Size  Object
//     -------            ----         -------    ----  ------
//   "P1":                                      0x1714
//     .text              ro code   0x800'0198   0x7ec  tasks.o [1]
//     .text              ro code   0x800'182e     0x4  exit.o [2]
//     Initializer bytes  const     0x800'18a0     0x8  <for P2-1>
//   "P2", part 1 of 3:                            0x8
//     P2-1                        0x2000'0000     0x8  <Init block>
//       .data            inited   0x2000'0000     0x4  main.o [1]
//                                - 0x2000'0004     0x4
//   ...
//   [1] = C:\work\Debug\Obj
//   [2] = dl7M_tln.a
//
// gives the rows 08000198 .text tasks.o, 0800182e .text dl7M_tln.a(exit.o),
// 080018a0 "Initializer bytes" <for P2-1> and 20000000 .data main.o: the
// address without "0x" and the digit-group apostrophes, zero-padded to eight
// digits; the size likewise but without padding; the object named as GNU ld
// names an archive member when its [N] is a library, alone when it is a
// folder. Maps of 9.50 and later have an Alignment column between the
// address and the size. A block's own line (no kind) gives no row, for the
// lines under it hold what it holds; region headers, end lines, placement
// directives and the Unused ranges table give none either.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <istream>
#include <string>
#include <string_view>

#include "detail/options.h"

class QZCompilerMapIarElement {
 public:
  std::string originhex;        // the address's digits, at least eight, lower case: "08000198"
  std::uint64_t origindec = 0;  // the value of originhex
  std::string sizehex;          // the size's digits, lower case, unpadded: "7ec"
  std::uint64_t sizedec = 0;    // the value of sizehex
  std::string section;          // ".text", "Initializer bytes"
  std::string filename;         // "tasks.o", "dl7M_tln.a(exit.o)", "- Linker created -"

  /// Reads all of `in` and replaces `out` with its rows. Returns false, with
  /// no rows, when `in` has no PLACEMENT SUMMARY (it is no ILINK map).
  static bool read_elements(std::istream& in, std::deque<QZCompilerMapIarElement>& out);

  /// Converts `options.input` into the compiler_map script at
  /// `options.output`, saying on standard output when the input is not an
  /// ILINK map.
  static void get_final_result(const Detail::options& options);
};
