#include "results/console_reader.h"

#include "detail/colour.h"

namespace Results {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::size_t time_stamp_size(std::string_view text) {
  if (text.size() < 2 || text[0] != '[' || !is_digit(text[1])) return 0;
  const std::size_t close = text.find(']');
  if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ' ') return 0;
  return close + 2;
}

// The size of "N: ", 0 when `text` does not begin with one.
std::size_t ctest_prefix_size(std::string_view text) {
  std::size_t digits = 0;
  while (digits < text.size() && is_digit(text[digits])) ++digits;
  if (digits == 0 || text.substr(digits, 2) != ": ") return 0;
  return digits + 2;
}

}  // namespace

ConsoleLine ConsoleReader::without_prefixes(std::string_view text) {
  text.remove_prefix(time_stamp_size(text));
  const std::size_t prefix = ctest_prefix_size(text);
  return {text.substr(prefix), prefix == 0 ? std::string_view() : text.substr(0, prefix - 2)};
}

bool ConsoleReader::next(ConsoleLine& line) {
  std::string_view raw;
  if (!reader_.next(raw)) return false;
  // Most lines hold no escape byte and are examined as read.
  if (raw.find('\x1b') != std::string_view::npos) {
    plain_ = Detail::remove_colour(raw);
    raw = plain_;
  }
  line = without_prefixes(raw);
  return true;
}

}  // namespace Results
