#include "detail/xml_split.h"

#include <algorithm>
#include <cctype>

namespace Detail {

namespace {

constexpr std::size_t none = std::string_view::npos;

bool contains_ignoring_case(std::string_view text, std::string_view part) {
  const auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  return std::search(text.begin(), text.end(), part.begin(), part.end(), same) != text.end();
}

// Told no encoding, pugixml reads a text as UTF-16 or UTF-32 when its first
// four bytes look like it, and as Latin-1 when its declaration names that
// ("latin1", "ISO-8859-1"); anything else as UTF-8, as it lies.
bool read_as_utf8(std::string_view text) {
  if (text.size() < 4) return true;
  for (const char byte : text.substr(0, 4)) {
    const auto value = static_cast<unsigned char>(byte);
    if (value == 0x00 || value == 0xFE || value == 0xFF) return false;
  }
  if (!text.starts_with("<?xm")) return true;
  const std::size_t declaration_end = text.find("?>");
  if (declaration_end == none) return false;
  const std::string_view declaration = text.substr(0, declaration_end);
  return !contains_ignoring_case(declaration, "latin1") && !contains_ignoring_case(declaration, "8859-1");
}

// Past the first `terminator` at or after `from`; none without one.
std::size_t past(std::string_view text, std::string_view terminator, std::size_t from) {
  const std::size_t at = text.find(terminator, from);
  return at == none ? none : at + terminator.size();
}

// The '>' that ends the markup going on at `from`, quoted values skipped;
// none without one, or when one of `refused` comes first outside quotes.
std::size_t markup_end(std::string_view text, std::size_t from, std::string_view refused = {}) {
  for (std::size_t at = from; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '>') return at;
    if (c == '"' || c == '\'') {
      at = text.find(c, at + 1);
      if (at == none) return none;
    } else if (refused.find(c) != none) {
      return none;
    }
  }
  return none;
}

std::string_view tag_name(std::string_view text, std::size_t from) {
  const std::size_t end = text.find_first_of(" \t\r\n/>", from);
  return text.substr(from, end == none ? none : end - from);
}

}  // namespace

std::optional<std::vector<TextRange>> outer_elements(std::string_view text, std::string_view name) {
  if (!read_as_utf8(text)) return std::nullopt;
  std::vector<TextRange> ranges;
  std::size_t depth = 0;       // of the elements open at `at`
  std::size_t open = none;     // where the element being collected begins
  std::size_t open_depth = 0;  // `depth` at its start tag
  for (std::size_t at = text.find('<'); at != none; at = text.find('<', at)) {
    const std::string_view rest = text.substr(at);
    if (rest.starts_with("<!--")) {
      at = past(text, "-->", at + 4);
    } else if (rest.starts_with("<![CDATA[")) {
      at = past(text, "]]>", at + 9);
    } else if (rest.starts_with("<?")) {
      at = past(text, "?>", at + 2);
    } else if (rest.starts_with("<!")) {
      if (depth > 0) break;  // only the document type declaration, and only before the root
      const std::size_t end = markup_end(text, at + 2, "[<");
      if (end == none) return std::nullopt;
      at = end + 1;
    } else if (rest.starts_with("</")) {
      const std::size_t end = text.find('>', at);
      if (end == none || depth == 0) break;
      at = end + 1;
      if (--depth == open_depth && open != none) {
        ranges.push_back({open, at});
        open = none;
      }
      if (depth == 0) break;
    } else {
      const std::size_t end = markup_end(text, at + 1);
      if (end == none) break;
      const bool empty = text[end - 1] == '/';
      if (depth > 0 && open == none && tag_name(text, at + 1) == name) {
        if (empty) {
          ranges.push_back({at, end + 1});
        } else {
          open = at;
          open_depth = depth;
        }
      }
      at = end + 1;
      if (!empty) ++depth;
      else if (depth == 0) break;
    }
    if (at == none) break;
  }
  return ranges;
}

}  // namespace Detail
