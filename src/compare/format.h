#pragma once
// Numbers as the reports print them: thousands separated by commas,
// differences signed ("+3", "-1", "±0"), percents with one decimal.

#include <cstdint>
#include <optional>
#include <string>

namespace Compare {

/// "1,204"
std::string grouped(std::int64_t value);
std::string grouped(std::uint64_t value);
/// "+3", "-2", "±0"
std::string signed_difference(std::int64_t difference);
/// The difference of two unsigned sizes, signed ("+2,048", "-16", "±0").
std::string size_difference(std::uint64_t current, std::uint64_t previous);
/// "81.4%", or "n/a" for none.
std::string percent_text(std::optional<double> value);
/// A hash as a person reads it: the first 10 digits of one of 12 or more
/// hexadecimal digits (full ids push every table wide), any other value
/// whole. The JSON keeps every value whole.
std::string shown_hash(const std::string& hash);

/// One decimal, as JSON and the page show it.
std::string one_decimal(double value);

/// Two percents with as many decimals (one to four) as it takes to show
/// that they differ: "88.24% -> 88.21%", not "88.2% -> 88.2%"; "88.2% ->
/// 88.2% (changed by less than 0.0001 points)" below that; one decimal where
/// they are equal.
std::string percent_change(double before, double now);
/// The difference in points with the decimals percent_change() shows:
/// "-0.03 points", "±0.0 points".
std::string points_change(double before, double now);

}  // namespace Compare
