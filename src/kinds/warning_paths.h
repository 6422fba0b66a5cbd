#pragma once
// One path per diagnostic: a compiler prints the same file as
// "src/tests/../a.c" in one object and "src/a.c" in another, or with "\" on
// Windows. The name is mapped once, for counting and matching; the stored
// value is unchanged.

#include <string>
#include <string_view>

namespace Kinds {

/// `name` with "\" as "/" where it holds no "/", and ".", ".." and repeated
/// separators resolved ("src/tests/../a.c" gives "src/a.c"; a leading ".."
/// and a leading "/" or drive stay).
std::string normal_path(std::string_view name);

}  // namespace Kinds
