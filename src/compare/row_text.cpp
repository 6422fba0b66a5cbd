#include "compare/row_text.h"

#include <cstdint>
#include <cstdio>

#include "detail/text_helpers.h"

namespace Compare {

namespace {

// The length of the valid UTF-8 sequence at `at`, 0 where none begins.
std::size_t sequence_at(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (at + length > text.size()) return 0;
  return Detail::first_invalid_utf8(text.substr(at, length)) == length ? length : 0;
}

char32_t code_point(std::string_view sequence) {
  const auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(sequence[i])); };
  switch (sequence.size()) {
    case 1: return byte(0);
    case 2: return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
    case 3: return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
    default: return (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 | (byte(3) & 0x3F);
  }
}

bool is_control(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Marks that change the direction of the text around them, and the
// separators some terminals take for line breaks.
bool is_invisible_control(char32_t c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
         c == 0x2028 || c == 0x2029;
}

std::string formatted(const char* format, unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// What makes markup inline: emphasis, code, links and images, HTML and
// entities, table cells, strikethrough, math, and what GitHub links by
// itself (autolinks need ":", "@" or "www.", issues "#", people "@").
bool is_markdown_active(char c) {
  return std::string_view("\\`*_[]<>&!|~#:@$").find(c) != std::string_view::npos;
}

bool follows_www(const std::string& out) {
  if (out.size() < 3) return false;
  for (std::size_t i = out.size() - 3; i < out.size(); ++i) {
    if (out[i] != 'w' && out[i] != 'W') return false;
  }
  return true;
}

// Calls `show(sequence, code point)` per character; an invalid byte comes
// alone with the code point 0xFFFFFFFF.
template <typename Show>
void each_character(std::string_view text, Show show) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = sequence_at(text, i);
    if (length == 0) {
      show(text.substr(i, 1), char32_t{0xFFFFFFFF});
      ++i;
      continue;
    }
    show(text.substr(i, length), code_point(text.substr(i, length)));
    i += length;
  }
}

constexpr char32_t invalid = 0xFFFFFFFF;

}  // namespace

std::string markdown_text(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const auto reference = [&](char c) { out += formatted("&#%u;", static_cast<unsigned char>(c)); };
  each_character(text, [&](std::string_view sequence, char32_t c) {
    if (c == invalid) {
      out += "\xef\xbf\xbd";
    } else if (c == '\n') {
      out += "\xe2\x90\xa4";  // ␤
    } else if (is_control(c)) {
      reference('\\');
      out += formatted("x%02x", static_cast<unsigned>(c));
    } else if (is_invisible_control(c)) {
      out += formatted("U&#43;%04X", static_cast<unsigned>(c));
    } else if (c < 0x80 && (is_markdown_active(static_cast<char>(c)) || (c == '.' && follows_www(out)))) {
      reference(static_cast<char>(c));
    } else {
      out += sequence;
    }
  });
  return out;
}

std::string terminal_text(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  each_character(text, [&](std::string_view sequence, char32_t c) {
    if (c == invalid) out += formatted("\\x%02x", static_cast<unsigned char>(sequence[0]));
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (c < 0x80 && is_control(c)) out += formatted("\\x%02x", static_cast<unsigned>(c));
    else if (is_control(c) || is_invisible_control(c)) out += formatted("\\u%04x", static_cast<unsigned>(c));
    else out += sequence;
  });
  const std::size_t start = out.find_first_not_of(' ');
  if (start != std::string::npos && out.compare(start, 2, "::") == 0) out.replace(start, 1, "\\x3a");
  for (std::size_t at = out.find("##["); at != std::string::npos; at = out.find("##[", at))
    out.replace(at + 2, 1, "\\x5b");
  return out;
}

std::string first_characters(std::string_view text, std::size_t characters) {
  std::size_t end = 0;
  for (std::size_t count = 0; end < text.size() && count < characters; ++count) {
    const std::size_t length = sequence_at(text, end);
    end += length == 0 ? 1 : length;
  }
  return std::string(text.substr(0, end));
}

std::string cut_text(std::string_view text, std::size_t characters) {
  std::string cut = first_characters(text, characters);
  if (cut.size() < text.size()) cut += "\xe2\x80\xa6";  // …
  return cut;
}

}  // namespace Compare
