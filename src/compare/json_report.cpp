#include "compare/json_writer.h"
#include "compare/kind_unit.h"
#include "compare/reports.h"

namespace Compare {

std::string json_report(const comparison& found) {
  Json json;
  json.open('{').key("project").string(found.project).key("current").string(found.current_hash);
  json.key("runs").open('[');
  for (const platform_comparison& run : found.runs) {
    json.open('{').key("platform").string(run.platform).key("current").string(found.current_hash);
    for (const kind_unit* unit : kind_units()) unit->json(json, run);
    json.close('}');
  }
  json.close(']').key("gate").open('{').key("passed").value(found.passed() ? "true" : "false");
  write_names(json, "rules", found.rules);
  json.key("broken").open('[');
  for (const broken_rule& rule : found.broken) {
    json.open('{').key("platform").string(rule.platform).key("rule").string(rule.rule);
    json.key("detail").string(rule.detail).close('}');
  }
  json.close(']').close('}');
  write_names(json, "notes", found.notes);
  json.key("window").open('{').key("order").string(found.window.order).key("source").string(found.window.source);
  json.key("depth").value(found.window.depth ? number(static_cast<std::uint64_t>(*found.window.depth)) : "null");
  json.close('}').close('}');
  return json.take() + "\n";
}

}  // namespace Compare
