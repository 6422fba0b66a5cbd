#pragma once
// The text pieces of the clang-tidy page (the builder itself is
// ZEZudizOzazIdovuvidurElement::build_html_report, in html_report.cpp).

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "detail/html_escape.h"

namespace ClangTidyHtml {

using Detail::append_escaped;
using Detail::escape;
using Detail::escaped_size;

/// The part of `file_name` after its last "/" or "\"; a name without either
/// is its own base name ("src/app/main.cpp" and "C:\work\main.cpp" give
/// "main.cpp").
std::string_view base_name(std::string_view file_name);

/// Where the page entries go: each entry as a string of its own, or packed
/// (entries joined by line feeds into strings of about 1 MiB, which the
/// writer turns into the same bytes with far fewer strings to build and free).
class PageEntries {
 public:
  PageEntries(std::deque<std::string>& entries, bool packed) : entries_(entries), packed_(packed) {}

  /// The string to append the next entry's text to; `size` is the size the
  /// entry will have, if known, so that it is appended without reallocating.
  std::string& next_entry(std::size_t size = 0);

 private:
  std::deque<std::string>& entries_;
  bool packed_;
  bool block_started_ = false;
};

/// Writes the page in its order: the constructor writes the head and body,
/// then sidebar_entry for every group, end_sidebar, for every group
/// begin_block, message for each of its messages and end_block, and last
/// end_page. Texts from the input are HTML-escaped.
class PageBuilder {
 public:
  PageBuilder(PageEntries& entries, std::size_t group_count);
  void sidebar_entry(std::size_t group, std::string_view file_name);
  void end_sidebar();
  void begin_block(std::size_t group, std::string_view file_name);
  void message(std::string_view full_text);
  void end_block();
  void end_page();

 private:
  PageEntries& entries_;
  std::size_t group_count_;
};

}  // namespace ClangTidyHtml
