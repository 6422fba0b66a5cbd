#include "detail/line_reader.h"

#include <algorithm>
#include <cstring>

namespace Detail {

LineReader::LineReader(std::istream& in, std::size_t block_size)
    : in_(in), block_size_(block_size == 0 ? 1 : block_size) {}

bool LineReader::next(std::string_view& line) {
  for (;;) {
    const char* base = buffer_.data();
    const void* feed = std::memchr(base + scanned_, '\n', end_ - scanned_);
    std::size_t line_end;
    std::size_t next_begin;
    if (feed != nullptr) {
      line_end = static_cast<std::size_t>(static_cast<const char*>(feed) - base);
      next_begin = line_end + 1;
    } else if (!at_end_) {
      scanned_ = end_;
      read_block();
      continue;
    } else if (begin_ < end_) {
      line_end = end_;
      next_begin = end_;
    } else {
      return false;
    }
    std::size_t length = line_end - begin_;
    if (length > 0 && base[line_end - 1] == '\r') --length;
    line = std::string_view(base + begin_, length);
    begin_ = scanned_ = next_begin;
    ++line_number_;
    return true;
  }
}

bool LineReader::read_block() {
  // Keep the unfinished line at the front; grow only when a single line fills
  // the whole buffer, so memory follows the longest line, not the file.
  if (begin_ > 0) {
    buffer_.erase(0, begin_);
    end_ -= begin_;
    scanned_ -= begin_;
    begin_ = 0;
  }
  if (buffer_.size() - end_ < block_size_) buffer_.resize(std::max(end_ + block_size_, 2 * buffer_.size()));
  in_.read(buffer_.data() + end_, static_cast<std::streamsize>(buffer_.size() - end_));
  const auto got = static_cast<std::size_t>(in_.gcount());
  end_ += got;
  if (got == 0 || !in_) at_end_ = true;
  return got > 0;
}

}  // namespace Detail
