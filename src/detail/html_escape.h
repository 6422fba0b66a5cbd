#pragma once
// Text from a report or a database inside an HTML page or Markdown.

#include <cstddef>
#include <string>
#include <string_view>

namespace Detail {

/// `text` with "&", "<", ">" and '"' written as character references, so
/// that any text from a report shows literally and cannot become markup.
std::string escape(std::string_view text);

/// Appends escape(text) to `out`.
void append_escaped(std::string& out, std::string_view text);

/// The size of escape(text).
std::size_t escaped_size(std::string_view text);

}  // namespace Detail
