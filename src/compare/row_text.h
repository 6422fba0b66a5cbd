#pragma once
// Text from a row as each output shows it. The rows hold what any writer
// stored: names with line breaks, escape sequences, Markdown, HTML, bytes
// that are not UTF-8. Every output shows such text through its function here
// and nothing in a row can become markup, a line of its own or a command.

#include <cstddef>
#include <string>
#include <string_view>

namespace Compare {

/// Markdown (GitHub's and CommonMark's with tables): every character that
/// can start markup inline as a character reference, so that no row makes
/// emphasis, code, a link, image, autolink, mention, HTML element or table
/// cell (the text never begins a line: no heading or list either); a line
/// feed as "␤", other control characters as "\x1b", bidirectional controls as
/// "U+202E", bytes that are not UTF-8 as U+FFFD. Shows literally in text, in
/// table cells, in <code> and inside HTML blocks.
std::string markdown_text(std::string_view text);

/// A terminal or a CI log: control characters as escapes ("\n", "\r", "\t",
/// "\x1b", "\u0085", "\u202e"; bytes that are not UTF-8 as "\xff"), so that one
/// row is one line; "::" where a line would begin with it and every "##[" are
/// written "\x3a:" and "##\x5b", which no CI runner reads as a command.
std::string terminal_text(std::string_view text);

/// The first `characters` characters of `text`, never cutting a UTF-8
/// sequence.
std::string first_characters(std::string_view text, std::size_t characters);
/// The same and "…" where `text` is longer.
std::string cut_text(std::string_view text, std::size_t characters);

}  // namespace Compare
