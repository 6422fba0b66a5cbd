#include "detail/line_reader.h"

#include <sys/mman.h>

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
  const std::size_t got = fill(buffer_.data() + end_, buffer_.size() - end_);
  end_ += got;
  if (got == 0) at_end_ = true;
  return got > 0;
}

// Up to `size` bytes of text: what is pending first, then the stream, decoded
// where it is UTF-16. Zero only at the end of the input.
std::size_t LineReader::fill(char* destination, std::size_t size) {
  if (!started_) take_byte_order_mark();
  while (pending_begin_ == pending_.size() && utf16_) {
    pending_.clear();
    pending_begin_ = 0;
    std::string raw(std::max<std::size_t>(block_size_, 2), '\0');
    raw.resize(read_raw(raw.data(), raw.size()));
    if (raw.empty()) {
      utf16_->finish(pending_);
      utf16_.reset();
    } else {
      utf16_->decode(raw, pending_);
    }
  }
  if (pending_begin_ < pending_.size()) {
    const std::size_t count = std::min(size, pending_.size() - pending_begin_);
    std::memcpy(destination, pending_.data() + pending_begin_, count);
    pending_begin_ += count;
    return count;
  }
  return read_raw(destination, size);
}

std::size_t LineReader::read_raw(char* destination, std::size_t size) {
  if (in_.bad()) throw input_read_error();
  if (!in_) return 0;
  in_.read(destination, static_cast<std::streamsize>(size));
  if (in_.bad()) throw input_read_error();
  return static_cast<std::size_t>(in_.gcount());
}

void LineReader::take_byte_order_mark() {
  started_ = true;
  pending_.resize(3);
  pending_.resize(read_raw(pending_.data(), pending_.size()));
  const auto starts_with = [&](std::string_view mark) { return std::string_view(pending_).substr(0, mark.size()) == mark; };
  if (starts_with("\xEF\xBB\xBF")) {
    pending_.clear();
  } else if (starts_with("\xFF\xFE") || starts_with("\xFE\xFF")) {
    const auto order = pending_[0] == '\xFF' ? Utf16Decoder::Order::little_endian : Utf16Decoder::Order::big_endian;
    utf16_.emplace(order, 2);
    const std::string after_mark = pending_.substr(2);
    pending_.clear();
    utf16_->decode(after_mark, pending_);
  }
}

namespace {

// Asks the kernel to back the whole 2 MiB pages of a large buffer with huge
// pages before it is filled: a whole input read at once costs one page fault
// per 4 KiB page otherwise, which on virtual machines takes longer than
// reading the bytes.
void back_with_huge_pages(char* buffer, std::size_t size) {
  constexpr std::uintptr_t huge_page = 2 << 20;
  const auto begin = (reinterpret_cast<std::uintptr_t>(buffer) + huge_page - 1) & ~(huge_page - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(buffer) + size) & ~(huge_page - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// The bytes from here to the end of a file, or 0 where the stream cannot seek
// (a pipe): the whole text's size to reserve at once, not by doubling.
std::size_t size_left(std::istream& in) {
  const std::streampos here = in.tellg();
  if (here == std::streampos(-1)) return 0;
  in.seekg(0, std::ios::end);
  const std::streampos end = in.tellg();
  in.seekg(here);
  if (!in || end < here) {
    in.clear();
    return 0;
  }
  return static_cast<std::size_t>(end - here);
}

}  // namespace

std::string read_whole(std::istream& in, std::size_t spare) {
  // Read straight into the text: one more byte than the file holds, so that
  // the end shows as a read of nothing without growing the text.
  const std::size_t first_size = size_left(in) + 1 + spare;
  std::string text;
  text.reserve(first_size);
  back_with_huge_pages(text.data(), first_size);
  text.resize(first_size);
  LineReader reader(in);
  std::size_t size = 0;
  for (;;) {
    if (size + spare == text.size()) text.resize(2 * text.size());
    const std::size_t got = reader.read_text(text.data() + size, text.size() - spare - size);
    if (got == 0) break;
    size += got;
  }
  text.resize(size);
  return text;
}

}  // namespace Detail
