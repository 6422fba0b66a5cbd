#include "detail/text_helpers.h"

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
