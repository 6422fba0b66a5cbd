#pragma once
// UTF-16 to UTF-8, for reports written by Windows tools (PowerShell 5's `>`
// writes UTF-16 with a byte-order mark).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Detail {

/// Decodes a UTF-16 byte stream given in pieces of any size. A code unit or
/// a surrogate pair split between two pieces is completed by the next one.
/// Whatever is malformed (an unpaired surrogate, a lone last byte) becomes
/// U+FFFD and is reported with its byte offset; the rest decodes as usual.
class Utf16Decoder {
 public:
  enum class Order { little_endian, big_endian };

  /// `first_offset` is the input's byte offset of the first byte given to
  /// decode (after the byte-order mark), so that reports name input offsets.
  Utf16Decoder(Order order, std::uint64_t first_offset);

  /// Appends the UTF-8 of `bytes` to `out`.
  void decode(std::string_view bytes, std::string& out);

  /// Appends what an unfinished last unit leaves (U+FFFD) at the end of input.
  void finish(std::string& out);

 private:
  void take_unit(std::uint16_t unit, std::string& out);
  void malformed(std::uint64_t offset, std::string& out);

  Order order_;
  std::uint64_t offset_;              // input offset of the next byte
  int held_byte_ = -1;                // first byte of a split code unit
  std::uint16_t high_surrogate_ = 0;  // waiting for its low half
};

}  // namespace Detail
