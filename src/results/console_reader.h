#pragma once
// Reading the console output of test programs, as a terminal shows it or as
// a CI server or `ctest -V` keeps it.

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

#include "detail/line_reader.h"

namespace Results {

/// One line of console output, valid until the next line is read.
struct ConsoleLine {
  std::string_view text;    // what the test program printed
  std::string_view source;  // the number of the ctest prefix "N: ", empty without one
};

/// Reads console output line by line (Detail::LineReader) and hands out each
/// line as the test program printed it: colour sequences are removed
/// (Detail::remove_colour), then one leading CI time stamp (a bracketed text
/// that begins with a digit, and a blank: "[2019-08-28T08:44:26.749Z] ") and
/// then the prefix that `ctest -V` puts before each line of a test's output
/// (digits, a colon and a blank: "3: ") are skipped. The prefix's number
/// tells apart the programs whose lines ctest interleaves when it runs tests
/// side by side.
///
///   Results::ConsoleReader reader(in);
///   for (Results::ConsoleLine line; reader.next(line);) use(line.text, line.source);
class ConsoleReader {
 public:
  explicit ConsoleReader(std::istream& in) : reader_(in) {}

  /// Sets `line` to the next line; false at the end of the input.
  bool next(ConsoleLine& line);

  /// The number of the line last returned, counted from 1.
  std::size_t line_number() const { return reader_.line_number(); }

  /// `text` without one leading CI time stamp and one ctest prefix, and the
  /// prefix's number. Exposed for testing.
  static ConsoleLine without_prefixes(std::string_view text);

 private:
  Detail::LineReader reader_;
  std::string plain_;
};

}  // namespace Results
