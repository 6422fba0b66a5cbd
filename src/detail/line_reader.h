#pragma once
// The one way every converter reads its report.

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

namespace Detail {

/// Reads a stream line by line in large blocks.
///
/// A line ends at a line feed; one carriage return right before it belongs to
/// the line end and is dropped, so reports written on Windows read like those
/// written on Linux. A last line without a line feed is returned like any
/// other (a lone carriage return at its end is dropped too). An empty stream
/// has no lines. Lines of any length are returned whole.
///
///   Detail::LineReader reader(in);
///   for (std::string_view line; reader.next(line);) use(line, reader.line_number());
class LineReader {
 public:
  explicit LineReader(std::istream& in, std::size_t block_size = 1 << 20);

  /// Sets `line` to the next line, valid until the next call; false at the end.
  bool next(std::string_view& line);

  /// The number of the line last returned, counted from 1.
  std::size_t line_number() const { return line_number_; }

 private:
  bool read_block();

  std::istream& in_;
  std::size_t block_size_;
  std::string buffer_;
  std::size_t begin_ = 0;    // start of the unread text
  std::size_t end_ = 0;      // end of the text read so far
  std::size_t scanned_ = 0;  // [begin_, scanned_) holds no line feed
  bool at_end_ = false;
  std::size_t line_number_ = 0;
};

}  // namespace Detail
