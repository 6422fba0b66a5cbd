#include "detail/utf16_decoder.h"

#include <iostream>

#include "detail/messages.h"

namespace Detail {
namespace {

void append_utf8(std::uint32_t code_point, std::string& out) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code_point >> 18));
    out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

constexpr std::uint32_t replacement_character = 0xFFFD;

bool is_high_surrogate(std::uint16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(std::uint16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

Utf16Decoder::Utf16Decoder(Order order, std::uint64_t first_offset) : order_(order), offset_(first_offset) {}

void Utf16Decoder::decode(std::string_view bytes, std::string& out) {
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    ++offset_;
    if (held_byte_ < 0) {
      held_byte_ = byte;
      continue;
    }
    const auto first = static_cast<unsigned>(held_byte_);
    held_byte_ = -1;
    const auto unit = static_cast<std::uint16_t>(order_ == Order::little_endian ? (byte << 8) | first
                                                                                 : (first << 8) | byte);
    take_unit(unit, out);
  }
}

void Utf16Decoder::take_unit(std::uint16_t unit, std::string& out) {
  const std::uint64_t unit_offset = offset_ - 2;
  if (high_surrogate_ != 0) {
    const std::uint16_t high = high_surrogate_;
    high_surrogate_ = 0;
    if (is_low_surrogate(unit)) {
      append_utf8(0x10000 + ((static_cast<std::uint32_t>(high - 0xD800) << 10) | (unit - 0xDC00u)), out);
      return;
    }
    malformed(unit_offset - 2, out);
  }
  if (is_high_surrogate(unit)) {
    high_surrogate_ = unit;
  } else if (is_low_surrogate(unit)) {
    malformed(unit_offset, out);
  } else {
    append_utf8(unit, out);
  }
}

void Utf16Decoder::finish(std::string& out) {
  if (high_surrogate_ != 0) {
    high_surrogate_ = 0;
    malformed(offset_ - (held_byte_ < 0 ? 2 : 3), out);
  }
  if (held_byte_ >= 0) {
    held_byte_ = -1;
    malformed(offset_ - 1, out);
  }
}

void Utf16Decoder::malformed(std::uint64_t offset, std::string& out) {
  print_error("Input is not valid UTF-16 at byte offset " + std::to_string(offset) +
              ", the character was replaced by U+FFFD");
  append_utf8(replacement_character, out);
}

}  // namespace Detail
