#include "compare/format.h"

#include <algorithm>
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

namespace {

std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// The fewest decimals (1 to 4) at which `before` and `now` differ; 0 where
// they are equal, 5 where they differ by less than the fourth decimal shows.
int decimals_apart(double before, double now) {
  if (before == now) return 0;
  for (int decimals = 1; decimals <= 4; ++decimals) {
    if (fixed(before, decimals) != fixed(now, decimals)) return decimals;
  }
  return 5;
}

}  // namespace

std::string percent_change(double before, double now) {
  const int decimals = decimals_apart(before, now);
  if (decimals == 5)
    return one_decimal(before) + "% -> " + one_decimal(now) + "% (changed by less than 0.0001 points)";
  const int shown = std::max(decimals, 1);
  return fixed(before, shown) + "% -> " + fixed(now, shown) + "%";
}

std::string points_change(double before, double now) {
  int decimals = decimals_apart(before, now);
  if (decimals == 0) return "±0.0 points";
  const double difference = now - before;
  // The difference itself may need a decimal more than the two percents.
  while (decimals <= 4 && std::fabs(difference) < 0.5 * std::pow(10.0, -decimals)) ++decimals;
  if (decimals > 4) return "changed by less than 0.0001 points";
  return signed_text(difference > 0 ? "+" : "-", fixed(std::fabs(difference), decimals)).append(" points");
}

std::string shown_hash(const std::string& hash) {
  const bool hexadecimal = std::all_of(hash.begin(), hash.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  });
  return hexadecimal && hash.size() >= 12 ? hash.substr(0, 10) : hash;
}

std::string percent_text(std::optional<double> value) { return value ? one_decimal(*value) + "%" : "n/a"; }


}  // namespace Compare
