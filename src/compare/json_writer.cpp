#include "compare/json_writer.h"

#include <simdjson.h>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace Compare {

namespace {

std::size_t sequence_length(unsigned char lead) {
  if (lead >= 0xf0) return 4;
  if (lead >= 0xe0) return 3;
  return lead >= 0xc0 ? 2 : 1;
}

}  // namespace

std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x80) {
      const std::size_t length = std::min(sequence_length(byte), text.size() - i);
      if (length > 1 && simdjson::validate_utf8(text.data() + i, length)) {
        out.append(text.data() + i, length);
        i += length;
      } else {
        out += "\xef\xbf\xbd";
        ++i;
      }
      continue;
    }
    ++i;
    switch (byte) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (byte < 0x20) {
          static constexpr char hex[] = "0123456789abcdef";
          out += "\\u00";
          out += hex[byte >> 4];
          out += hex[byte & 15];
        } else {
          out += static_cast<char>(byte);
        }
    }
  }
  return out + "\"";
}

std::string number(std::int64_t value) { return std::to_string(value); }
std::string number(std::uint64_t value) { return std::to_string(value); }
std::string number(double value) {
  if (!std::isfinite(value)) return "null";
  char text[64];
  const auto written = std::to_chars(text, text + sizeof text, value);
  return std::string(text, written.ptr);
}

Json& Json::open(char bracket) {
  separate();
  text_ += bracket;
  first_ = true;
  return *this;
}

Json& Json::close(char bracket) {
  text_ += bracket;
  first_ = false;
  return *this;
}

Json& Json::key(std::string_view name) {
  separate();
  text_ += quoted(name) + ":";
  first_ = true;  // the value follows without a comma
  return *this;
}

Json& Json::value(const std::string& raw) {
  separate();
  text_ += raw;
  return *this;
}

void Json::separate() {
  if (!first_) text_ += ',';
  first_ = false;
}

void write_baseline(Json& json, const std::optional<baseline>& base) {
  json.key("baseline");
  if (!base) {
    json.value("null");
    return;
  }
  json.open('{').key("hash").string(base->hash).key("chosen_by").string(chosen_by_name(base->how)).close('}');
}

void write_names(Json& json, std::string_view name, const std::vector<std::string>& names) {
  json.key(name).open('[');
  for (const std::string& entry : names) json.string(entry);
  json.close(']');
}

}  // namespace Compare
