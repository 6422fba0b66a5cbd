#include "detail/text_helpers.h"

#include <cctype>
#include <chrono>
#include <cstring>
#include <ctime>
#include <iomanip>
#include <limits>
#include <sstream>

namespace Detail {

namespace {

// `value` between two `quote` characters, each `quote` inside it doubled.
// Copied in runs between the bytes that need care: a NUL byte is left out,
// since SQLite ends a statement's text at one and would cut the script there.
void append_between(std::string& out, std::string_view value, char quote) {
  out.reserve(out.size() + value.size() + 2);
  out += quote;
  // Most values hold neither: one copy.
  if (std::memchr(value.data(), quote, value.size()) == nullptr &&
      std::memchr(value.data(), '\0', value.size()) == nullptr) {
    out += value;
    out += quote;
    return;
  }
  while (!value.empty()) {
    std::size_t run = 0;
    while (run < value.size() && value[run] != quote && value[run] != '\0') ++run;
    out.append(value.data(), run);
    if (run == value.size()) break;
    if (value[run] == quote) out.append(2, quote);
    value.remove_prefix(run + 1);
  }
  out += quote;
}

}  // namespace

int hex_digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string percent_decoded(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hex_digit_value(text[i + 1]) >= 0 &&
        hex_digit_value(text[i + 2]) >= 0) {
      decoded += static_cast<char>(hex_digit_value(text[i + 1]) * 16 + hex_digit_value(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

bool starts_with_ignoring_case(std::string_view text, std::string_view start) {
  if (text.size() < start.size()) return false;
  for (std::size_t i = 0; i < start.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != start[i]) return false;
  }
  return true;
}

std::size_t first_invalid_utf8(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = byte(i);
    const std::size_t length =
        lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return i;
    // The second byte's range excludes overlong forms, surrogates and code points past U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    for (std::size_t k = 1; k < length; ++k) {
      if (byte(i + k) < (k == 1 ? low : 0x80) || byte(i + k) > (k == 1 ? high : 0xBF)) return i;
    }
    i += length;
  }
  return text.size();
}

std::string add_quotes(const std::string& value) {
  std::string quoted;
  append_quoted(quoted, value);
  return quoted;
}

void append_quoted(std::string& out, std::string_view value) { append_between(out, value, '"'); }

std::string sql_literal(std::string_view value) {
  std::string literal;
  append_sql_literal(literal, value);
  return literal;
}

void append_sql_literal(std::string& out, std::string_view value) { append_between(out, value, '\''); }

std::string add_space() {
  static const std::string space = " ";
  return space;
}

template <>
std::string my_lexical_cast<unsigned long>(const unsigned long& value) {
  return std::to_string(value);
}

template <>
unsigned int my_lexical_cast<unsigned int>(const std::string& text) {
  // The same result as extracting an unsigned int from a classic-locale
  // string stream, without building a stream for every number.
  constexpr unsigned long long max = std::numeric_limits<unsigned int>::max();
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  unsigned long long magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + static_cast<unsigned>(text[i] - '0');
    if (magnitude > max) return static_cast<unsigned int>(max);
  }
  const auto value = static_cast<unsigned int>(magnitude);
  return negative ? static_cast<unsigned int>(0u - value) : value;
}

void get_date_and_time_string(std::string& date, std::string& time) {
  static const auto first_call = std::chrono::system_clock::now();
  static const std::time_t first_call_seconds = std::chrono::system_clock::to_time_t(first_call);
  std::tm local{};
  localtime_r(&first_call_seconds, &local);
  std::ostringstream formatted;
  formatted << std::put_time(&local, "%Y-%m-%d %X");
  std::istringstream words(formatted.str());
  words >> date >> time;
}

}  // namespace Detail
