#include "compare/format.h"

#include <cmath>
#include <cstdio>
#include <string_view>

namespace Compare {

std::string grouped(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

namespace {

// A sign and a number. Written as appends: g++ 12 at -O3 takes
// "literal" + std::string(...) for an overlapping copy (-Wrestrict).
std::string signed_text(std::string_view sign, const std::string& number) {
  std::string text(sign);
  return text.append(number);
}

}  // namespace

std::string grouped(std::int64_t value) {
  if (value >= 0) return grouped(static_cast<std::uint64_t>(value));
  return signed_text("-", grouped(static_cast<std::uint64_t>(0) - static_cast<std::uint64_t>(value)));
}

std::string signed_difference(std::int64_t difference) {
  if (difference == 0) return "±0";
  return signed_text(difference > 0 ? "+" : "", grouped(difference));
}

std::string size_difference(std::uint64_t current, std::uint64_t previous) {
  if (current == previous) return "±0";
  return current > previous ? signed_text("+", grouped(current - previous))
                            : signed_text("-", grouped(previous - current));
}

std::string one_decimal(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string percent_text(std::optional<double> value) { return value ? one_decimal(*value) + "%" : "n/a"; }

std::string points_difference(double difference) {
  const std::string text = one_decimal(std::fabs(difference));
  if (text == "0.0") return "±0.0 points";
  return (difference > 0 ? "+" : "-") + text + " points";
}

}  // namespace Compare
