#include "compare/format.h"

#include <cmath>
#include <cstdio>

namespace Compare {

std::string grouped(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

std::string grouped(std::int64_t value) {
  if (value >= 0) return grouped(static_cast<std::uint64_t>(value));
  return "-" + grouped(static_cast<std::uint64_t>(0) - static_cast<std::uint64_t>(value));
}

std::string signed_difference(std::int64_t difference) {
  if (difference == 0) return "±0";
  return (difference > 0 ? "+" : "") + grouped(difference);
}

std::string size_difference(std::uint64_t current, std::uint64_t previous) {
  if (current == previous) return "±0";
  return current > previous ? "+" + grouped(current - previous) : "-" + grouped(previous - current);
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
