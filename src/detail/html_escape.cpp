#include "detail/html_escape.h"

namespace Detail {

namespace {

// How many bytes longer each byte is once escaped; 0 for the bytes kept.
struct Growth {
  unsigned char of[256] = {};
  constexpr Growth() {
    of[static_cast<unsigned char>('&')] = 4;
    of[static_cast<unsigned char>('<')] = 3;
    of[static_cast<unsigned char>('>')] = 3;
    of[static_cast<unsigned char>('"')] = 5;
  }
};
constexpr Growth growth;

std::size_t growth_of(char c) { return growth.of[static_cast<unsigned char>(c)]; }

}  // namespace

std::size_t escaped_size(std::string_view text) {
  std::size_t size = text.size();
  for (const char c : text) size += growth_of(c);
  return size;
}

std::string escape(std::string_view text) {
  std::string escaped;
  escaped.reserve(escaped_size(text));
  append_escaped(escaped, text);
  return escaped;
}

void append_escaped(std::string& escaped, std::string_view text) {
  // Copied in runs between the characters that are replaced.
  while (!text.empty()) {
    std::size_t found = 0;
    while (found < text.size() && growth_of(text[found]) == 0) ++found;
    escaped.append(text.data(), found);
    if (found == text.size()) break;
    switch (text[found]) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      default: escaped += "&quot;"; break;
    }
    text.remove_prefix(found + 1);
  }
}

}  // namespace Detail
