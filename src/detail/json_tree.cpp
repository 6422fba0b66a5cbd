#include "detail/json_tree.h"

#include <algorithm>
#include <cctype>

#include "detail/text_helpers.h"

namespace Detail {

namespace json_walk {

namespace {

// Where a string of the JSON text goes wrong: its first control character,
// or else the opening quote of a string that is never closed.
std::optional<std::size_t> string_flaw(std::string_view text) {
  bool in_string = false;
  std::size_t opened = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!in_string) {
      in_string = text[i] == '"';
      opened = i;
    } else if (text[i] == '\\') {
      ++i;
    } else if (text[i] == '"') {
      in_string = false;
    } else if (static_cast<unsigned char>(text[i]) < 0x20) {
      return i;
    }
  }
  return in_string ? std::optional<std::size_t>(opened) : std::nullopt;
}

}  // namespace

std::optional<std::string_view> text_without_escapes(const char* after_quote) {
  const char* end = after_quote;
  while (*end != '"' && *end != '\\') ++end;
  if (*end == '\\') return std::nullopt;
  return std::string_view(after_quote, static_cast<std::size_t>(end - after_quote));
}

bool escapes_are_well_formed(std::string_view token) {
  for (std::size_t i = 1; i + 1 < token.size(); ++i) {
    if (token[i] != '\\') continue;
    const char escaped = token[++i];
    if (escaped == 'u') {
      if (i + 4 >= token.size() ||
          !std::all_of(token.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                       token.begin() + static_cast<std::ptrdiff_t>(i) + 5,
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }))
        return false;
      i += 4;
    } else if (std::string_view("\"\\/bfnrt").find(escaped) == std::string_view::npos) {
      return false;
    }
  }
  return true;
}

bool is_json_number(std::string_view token) {
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t start = i;
    while (i < token.size() && token[i] >= '0' && token[i] <= '9') ++i;
    return i > start;
  };
  if (i < token.size() && token[i] == '-') ++i;
  if (i < token.size() && token[i] == '0') {
    ++i;
  } else if (!digits()) {
    return false;
  }
  if (i < token.size() && token[i] == '.' && (++i, !digits())) return false;
  if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
    ++i;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    if (!digits()) return false;
  }
  return i == token.size();
}

std::string_view scalar_token(std::string_view raw) {
  return raw.substr(0, std::min(raw.find_first_of(" \t\r\n,]}"), raw.size()));
}

std::string_view token_of(od::document& document) {
  std::string_view token;
  return document.raw_json_token().get(token) == simdjson::SUCCESS ? token : std::string_view();
}

std::string parser_problem(simdjson::error_code error, std::string_view text, std::optional<std::size_t> offset) {
  std::string problem = simdjson::error_message(error);
  if (!offset) return problem;
  if (!problem.ends_with('.')) problem += '.';
  problem += " Stopped at ";
  problem += text_position(text, *offset);
  return problem;
}

std::optional<std::size_t> stop_offset(od::document& document, std::string_view text) {
  const char* at = nullptr;
  if (document.current_location().get(at) != simdjson::SUCCESS) return text.size();
  if (at < text.data() || at > text.data() + text.size()) return std::nullopt;
  return static_cast<std::size_t>(at - text.data());
}

std::optional<std::size_t> first_stage_offset(simdjson::error_code error, std::string_view text) {
  if (error == simdjson::UTF8_ERROR) return first_invalid_utf8(text);
  if (error == simdjson::UNESCAPED_CHARS || error == simdjson::UNCLOSED_STRING) return string_flaw(text);
  return std::nullopt;
}

}  // namespace json_walk

std::string text_position(std::string_view text, std::size_t offset) {
  const std::string_view before = text.substr(0, offset);
  const std::size_t line_start = before.rfind('\n') + 1;  // 0 on the first line
  std::string position = "line ";
  position += std::to_string(std::count(before.begin(), before.end(), '\n') + 1);
  position += ", column ";
  position += std::to_string(offset - line_start + 1);
  position += ", offset ";
  position += std::to_string(offset);
  return position;
}

}  // namespace Detail
