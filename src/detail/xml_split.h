#pragma once
// Finding the elements of one name in an XML text without parsing the whole
// text into a tree, for readers of reports whose tree would cost several
// times the text (pugixml spends 64 bytes on every element and 40 on each of
// its attributes): they parse one such element at a time instead.

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace Detail {

/// The characters [begin, end) of a text.
struct TextRange {
  std::size_t begin = 0;
  std::size_t end = 0;

  bool operator==(const TextRange&) const = default;
};

/// The elements named `name` inside the root element of the XML `text` that
/// lie in no other element of that name, in document order, each from its
/// "<" to the end of its end tag (or of its empty-element tag).
///
/// Found by a scan that follows start and end tags with their quoted
/// attribute values, comments, CDATA sections and processing instructions
/// the way pugixml reads them, so that for every text pugixml accepts these
/// are exactly its elements. The scan ends with the root element, and at
/// anything pugixml rejects inside it: the caller's parse of the rest
/// reports that.
///
/// None when the scan cannot follow the text as pugixml would: pugixml reads
/// it as UTF-16, UTF-32 or Latin-1 (from its first bytes or its declaration),
/// or its document type declaration has an internal subset.
std::optional<std::vector<TextRange>> outer_elements(std::string_view text, std::string_view name);

}  // namespace Detail
