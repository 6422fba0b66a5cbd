#include "detail/colour.h"

namespace Detail {

std::string remove_colour(std::string_view line, std::string_view final_bytes) {
  std::string plain;
  plain.reserve(line.size());
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == '\x1b' && i + 1 < line.size() && line[i + 1] == '[') {
      std::size_t end = i + 2;
      while (end < line.size() && ((line[end] >= '0' && line[end] <= '9') || line[end] == ';')) ++end;
      if (end < line.size() && final_bytes.find(line[end]) != std::string_view::npos) {
        i = end + 1;
        continue;
      }
    }
    plain += line[i++];
  }
  return plain;
}

}  // namespace Detail
