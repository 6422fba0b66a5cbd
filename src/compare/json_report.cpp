#include <simdjson.h>

#include <charconv>
#include <cmath>

#include "compare/format.h"
#include "compare/reports.h"

namespace Compare {

namespace {

std::size_t sequence_length(unsigned char lead) {
  if (lead >= 0xf0) return 4;
  if (lead >= 0xe0) return 3;
  return lead >= 0xc0 ? 2 : 1;
}

// A JSON string; bytes that are not UTF-8 (the rows hold what the reports
// held) become U+FFFD, so the document stays valid.
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
// The shortest text that reads back as the same double: nothing rounded.
std::string number(double value) {
  if (!std::isfinite(value)) return "null";
  char text[64];
  const auto written = std::to_chars(text, text + sizeof text, value);
  return std::string(text, written.ptr);
}

// Objects and arrays written member by member.
class Json {
 public:
  Json& open(char bracket) {
    separate();
    text_ += bracket;
    first_ = true;
    return *this;
  }
  Json& close(char bracket) {
    text_ += bracket;
    first_ = false;
    return *this;
  }
  Json& key(std::string_view name) {
    separate();
    text_ += quoted(name) + ":";
    first_ = true;  // the value follows without a comma
    return *this;
  }
  Json& value(const std::string& raw) {
    separate();
    text_ += raw;
    return *this;
  }
  Json& string(std::string_view text) { return value(quoted(text)); }
  std::string take() { return std::move(text_); }

 private:
  void separate() {
    if (!first_) text_ += ',';
    first_ = false;
  }
  std::string text_;
  bool first_ = true;
};

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

template <typename Totals, typename Write>
void write_optional(Json& json, std::string_view name, const std::optional<Totals>& totals, Write write) {
  json.key(name);
  if (totals) write(*totals);
  else json.value("null");
}

void write_tests(Json& json, const tests_comparison& tests) {
  json.key("tests").open('{');
  write_baseline(json, tests.base);
  const auto totals = [&](const test_totals& t) {
    json.open('{').key("passed").value(number(t.passed)).key("failed").value(number(t.failed));
    json.key("skipped").value(number(t.skipped)).key("total").value(number(t.total)).close('}');
  };
  write_optional(json, "current", tests.current, totals);
  write_optional(json, "previous", tests.previous, totals);
  write_names(json, "new_failures", tests.new_failures);
  json.key("still_failing").open('[');
  for (const failing_test& test : tests.still_failing)
    json.open('{').key("name").string(test.name).key("since").string(test.since).close('}');
  json.close(']');
  write_names(json, "fixed", tests.fixed);
  write_names(json, "added", tests.added);
  write_names(json, "removed", tests.removed);
  json.close('}');
}

void write_coverage(Json& json, const std::vector<coverage_comparison>& tools) {
  json.key("coverage").open('[');
  for (const coverage_comparison& tool : tools) {
    json.open('{').key("tool").string(tool.tool);
    write_baseline(json, tool.base);
    const auto totals = [&](const coverage_totals& t) {
      json.open('{').key("lines_tested").value(number(t.lines_tested));
      json.key("lines_testable").value(number(t.lines_testable));
      json.key("branches_tested").value(number(t.branches_tested));
      json.key("branches_testable").value(number(t.branches_testable)).close('}');
    };
    write_optional(json, "current", tool.current, totals);
    write_optional(json, "previous", tool.previous, totals);
    json.key("dropped").open('[');
    for (const coverage_drop& drop : tool.dropped) {
      json.open('{').key("name").string(drop.name).key("current_percent").value(number(drop.current_percent));
      json.key("previous_percent").value(number(drop.previous_percent)).close('}');
    }
    json.close(']');
    write_names(json, "added", tool.added);
    write_names(json, "removed", tool.removed);
    json.close('}');
  }
  json.close(']');
}

void write_warning_list(Json& json, std::string_view name, const std::vector<warning>& warnings) {
  json.key(name).open('[');
  for (const warning& found : warnings) {
    json.open('{').key("filename").string(found.filename);
    json.key("line").value(found.line ? number(*found.line) : "null");
    json.key("type").string(found.type).key("error_id").string(found.error_id).close('}');
  }
  json.close(']');
}

void write_warnings(Json& json, const warnings_comparison& warnings) {
  json.key("warnings").open('{');
  write_baseline(json, warnings.base);
  const auto counts = [&](const counts_by_type& types) {
    json.open('{');
    for (const auto& [type, count] : types) json.key(type).value(number(count));
    json.close('}');
  };
  write_optional(json, "current", warnings.current, counts);
  write_optional(json, "previous", warnings.previous, counts);
  write_warning_list(json, "new", warnings.added);
  write_warning_list(json, "fixed", warnings.fixed);
  json.close('}');
}

void write_qac(Json& json, const qac_comparison& qac) {
  json.key("qac").open('{');
  write_baseline(json, qac.base);
  const auto counts = [&](const band_counts& bands) {
    json.open('{');
    for (std::size_t band = 0; band < band_count; ++band) json.key(band_name(band)).value(number(bands[band]));
    json.close('}');
  };
  write_optional(json, "current", qac.current, counts);
  write_optional(json, "previous", qac.previous, counts);
  json.key("increased").open('[');
  for (const qac_increase& rise : qac.increased) {
    json.open('{').key("filename").string(rise.filename).key("band").string(rise.band);
    json.key("current").value(number(rise.current)).key("previous").value(number(rise.previous)).close('}');
  }
  json.close(']').close('}');
}

void write_memory(Json& json, const memory_comparison& memory) {
  json.key("memory").open('{');
  write_baseline(json, memory.base);
  json.key("current").value(memory.current ? number(*memory.current) : "null");
  json.key("previous").value(memory.previous ? number(*memory.previous) : "null");
  json.key("sections").open('[');
  for (const section_sizes& section : memory.sections) {
    json.open('{').key("section").string(section.section).key("target").value(section.target ? "true" : "false");
    json.key("current").value(section.current ? number(*section.current) : "null");
    json.key("previous").value(section.previous ? number(*section.previous) : "null").close('}');
  }
  json.close(']').key("grown").open('[');
  for (const memory_growth& growth : memory.grown) {
    json.open('{').key("section").string(growth.section).key("filename").string(growth.filename);
    json.key("current").value(number(growth.current)).key("previous").value(number(growth.previous)).close('}');
  }
  json.close(']').close('}');
}

}  // namespace

std::string json_report(const comparison& found) {
  Json json;
  json.open('{').key("project").string(found.project).key("current").string(found.current_hash);
  json.key("runs").open('[');
  for (const platform_comparison& run : found.runs) {
    json.open('{').key("platform").string(run.platform).key("current").string(found.current_hash);
    if (run.tests) write_tests(json, *run.tests);
    if (!run.coverage.empty()) write_coverage(json, run.coverage);
    if (run.warnings) write_warnings(json, *run.warnings);
    if (run.qac) write_qac(json, *run.qac);
    if (run.memory) write_memory(json, *run.memory);
    json.close('}');
  }
  json.close(']').key("gate").open('{').key("passed").value(found.passed() ? "true" : "false");
  json.key("broken").open('[');
  for (const broken_rule& rule : found.broken) {
    json.open('{').key("platform").string(rule.platform).key("rule").string(rule.rule);
    json.key("detail").string(rule.detail).close('}');
  }
  json.close(']').close('}').close('}');
  return json.take() + "\n";
}

}  // namespace Compare
