#pragma once
// Removal of the terminal control sequences that compilers and clang-tidy
// print when their output is coloured.

#include <string>
#include <string_view>

namespace Detail {

/// `line` without its control sequences ESC "[" (digits and semicolons) F,
/// where F is one of `final_bytes`. "m" removes the colour sequences alone
/// (as clang and clang-tidy print them); "mK" also removes the erase-in-line
/// sequence ESC "[K" that GCC prints after each colour change. Any other
/// escape byte is kept as it stands.
std::string remove_colour(std::string_view line, std::string_view final_bytes = "m");

}  // namespace Detail
