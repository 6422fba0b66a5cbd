#pragma once
// The JSON document of a comparison, written member by member: each kind
// writes its own member of a platform's object.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compare/baseline.h"

namespace Compare {

/// A JSON string; bytes that are not UTF-8 (the rows hold what the reports
/// held) become U+FFFD, so the document stays valid.
std::string quoted(std::string_view text);

std::string number(std::int64_t value);
std::string number(std::uint64_t value);
/// The shortest text that reads back as the same double: nothing rounded.
std::string number(double value);

class Json {
 public:
  Json& open(char bracket);
  Json& close(char bracket);
  Json& key(std::string_view name);
  Json& value(const std::string& raw);
  Json& string(std::string_view text) { return value(quoted(text)); }
  std::string take() { return std::move(text_); }

 private:
  void separate();
  std::string text_;
  bool first_ = true;
};

/// "baseline": {"hash": ..., "chosen_by": ...} or null.
void write_baseline(Json& json, const std::optional<baseline>& base);
/// "name": ["entry", ...]
void write_names(Json& json, std::string_view name, const std::vector<std::string>& names);

/// "name": the figures `write` writes, or null.
template <typename Totals, typename Write>
void write_optional(Json& json, std::string_view name, const std::optional<Totals>& totals, Write write) {
  json.key(name);
  if (totals) write(*totals);
  else json.value("null");
}

}  // namespace Compare
