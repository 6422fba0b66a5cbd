#pragma once
// The text pieces of the clang-tidy page (the builder itself is
// ZEZudizOzazIdovuvidurElement::build_html_report, in html_report.cpp).

#include <cstddef>
#include <string>
#include <string_view>

namespace ClangTidyHtml {

/// `text` with "&", "<", ">" and '"' written as character references, so
/// that any text from a report shows literally and cannot become markup.
std::string escape(std::string_view text);

/// Appends escape(text) to `out`.
void append_escaped(std::string& out, std::string_view text);

/// The size of escape(text).
std::size_t escaped_size(std::string_view text);

/// The part of `file_name` after its last "/" or "\"; a name without either
/// is its own base name ("src/app/main.cpp" and "C:\work\main.cpp" give
/// "main.cpp").
std::string base_name(const std::string& file_name);

}  // namespace ClangTidyHtml
