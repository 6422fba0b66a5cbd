#include "compiler/diagnostic_columns.h"

#include <algorithm>

namespace CompilerResults {

std::string filename_after_src(std::string_view name) {
  static constexpr std::string_view marker = "/Src/";
  const std::size_t found = name.find(marker);
  if (found == std::string_view::npos) return std::string(name);
  return std::string(name.substr(found + marker.size()));
}

std::string filename_after_src_either_separator(std::string_view name) {
  const std::size_t slash = name.find("/Src/");
  const std::size_t backslash = name.find("\\Src\\");
  const std::size_t found = std::min(slash, backslash);
  if (found == std::string_view::npos) return std::string(name);
  return std::string(name.substr(found + 5));
}

std::string first_digits(std::string_view error_id) {
  const auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  std::size_t begin = 0;
  while (begin < error_id.size() && !is_digit(error_id[begin])) ++begin;
  std::size_t end = begin;
  while (end < error_id.size() && is_digit(error_id[end])) ++end;
  return std::string(error_id.substr(begin, end - begin));
}

}  // namespace CompilerResults
