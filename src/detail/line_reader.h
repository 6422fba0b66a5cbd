#pragma once
// The one way every converter reads its report.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "detail/utf16_decoder.h"

namespace Detail {

/// The input could not be read to its end.
class input_read_error : public std::runtime_error {
 public:
  input_read_error() : std::runtime_error("the input could not be read") {}
};

/// Reads a stream line by line in large blocks.
///
/// A line ends at a line feed; one carriage return right before it belongs to
/// the line end and is dropped, so reports written on Windows read like those
/// written on Linux. A last line without a line feed is returned like any
/// other (a lone carriage return at its end is dropped too). An empty stream
/// has no lines. Lines of any length are returned whole.
///
/// A report that begins with a UTF-16 byte-order mark is read as its UTF-8
/// text; a UTF-8 byte-order mark at the start is dropped. A stream that fails
/// while it is read throws input_read_error: a report read only in part must
/// not pass for a whole one.
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

  /// Instead of lines: up to `size` bytes of the text (decoded and without a
  /// byte-order mark, line ends as they are); 0 at the end.
  std::size_t read_text(char* destination, std::size_t size) { return fill(destination, size); }

 private:
  bool read_block();
  std::size_t fill(char* destination, std::size_t size);
  std::size_t read_raw(char* destination, std::size_t size);
  void take_byte_order_mark();

  std::istream& in_;
  bool started_ = false;
  std::string pending_;             // text to hand out before reading on
  std::size_t pending_begin_ = 0;
  std::optional<Utf16Decoder> utf16_;
  std::size_t block_size_;
  std::string buffer_;
  std::size_t begin_ = 0;    // start of the unread text
  std::size_t end_ = 0;      // end of the text read so far
  std::size_t scanned_ = 0;  // [begin_, scanned_) holds no line feed
  bool at_end_ = false;
  std::size_t line_number_ = 0;
};

/// The whole text of the stream as LineReader reads it (UTF-16 decoded, a
/// byte-order mark dropped), line ends as they are: for formats that are not
/// read by lines, such as XML. Throws input_read_error when the stream fails.
/// The text's capacity holds at least `spare` bytes more than its size, for
/// parsers that read a few bytes past the end.
std::string read_whole(std::istream& in, std::size_t spare = 0);

}  // namespace Detail
