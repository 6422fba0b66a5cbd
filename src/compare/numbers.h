#pragma once
// Numbers from the stored texts: an empty or unreadable value counts as 0
// (an empty numeric value is how both databases give a missing figure).

#include <cstdint>
#include <optional>
#include <string_view>

namespace Compare {

std::int64_t whole_number(std::string_view text);
std::uint64_t unsigned_number(std::string_view text);
/// A line number, none where the text is not one (a diagnostic without a line).
std::optional<std::int64_t> line_number(std::string_view text);

}  // namespace Compare
