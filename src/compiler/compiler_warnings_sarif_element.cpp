#include "compiler/compiler_warnings_sarif_element.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "compiler/compiler_results_output.h"
#include "compiler/diagnostic_columns.h"
#include "detail/json_tree.h"
#include "detail/line_reader.h"
#include "detail/messages.h"
#include "detail/text_helpers.h"

namespace {

namespace od = simdjson::ondemand;
using Element = QZCompilerWarningsSarifElement;

// Where a value stands in a SARIF log, as far as the rows need it.
enum class Place {
  other,  // anything the rows do not read
  root,
  runs,
  run,
  results,
  result,
  locations,
  first_location,
  physical_location,
  artifact_location,
  region,
  rule_reference,
  rule_component,
  suppressions,
  suppression,
  tool,
  driver,
  extensions,
  extension,
  rules,
  rule,
  default_configuration,
  artifacts,
  artifact,
  artifact_body,
};

Place member_place(Place object, std::string_view key) {
  struct Member {
    Place object;
    std::string_view key;
    Place value;
  };
  static constexpr Member members[] = {
      {Place::root, "runs", Place::runs},
      {Place::run, "results", Place::results},
      {Place::run, "tool", Place::tool},
      {Place::run, "artifacts", Place::artifacts},
      {Place::result, "locations", Place::locations},
      {Place::result, "rule", Place::rule_reference},
      {Place::result, "suppressions", Place::suppressions},
      {Place::first_location, "physicalLocation", Place::physical_location},
      {Place::physical_location, "artifactLocation", Place::artifact_location},
      {Place::physical_location, "region", Place::region},
      {Place::rule_reference, "toolComponent", Place::rule_component},
      {Place::tool, "driver", Place::driver},
      {Place::tool, "extensions", Place::extensions},
      {Place::driver, "rules", Place::rules},
      {Place::extension, "rules", Place::rules},
      {Place::rule, "defaultConfiguration", Place::default_configuration},
      {Place::artifact, "location", Place::artifact_body},
  };
  if (object == Place::other) return Place::other;
  for (const Member& member : members) {
    if (member.object == object && member.key == key) return member.value;
  }
  return Place::other;
}

Place element_place(Place array, std::size_t index) {
  switch (array) {
    case Place::runs: return Place::run;
    case Place::results: return Place::result;
    case Place::locations: return index == 0 ? Place::first_location : Place::other;
    case Place::suppressions: return Place::suppression;
    case Place::extensions: return Place::extension;
    case Place::rules: return Place::rule;
    case Place::artifacts: return Place::artifact;
    default: return Place::other;
  }
}

// The filename column of a location's URI.
std::string filename_of(std::string_view uri) {
  return CompilerResults::filename_after_src_either_separator(Element::file_path(uri));
}

// SARIF's "none" level is a finding that is neither an error, a warning nor a note.
std::string type_of_level(std::string_view level) { return level == "none" ? "note" : std::string(level); }

// A reporting descriptor of a run's tool: its identifier and default level.
struct Rule {
  std::string id;
  std::string level;
};

// What one result says, gathered while it is read (its members come in any order).
struct Result {
  std::string level, kind, rule_id, rule_reference_id, uri, start_line, suppression_status;
  std::optional<std::uint64_t> rule_index, component_index, artifact_index;
  bool suppressed = false;
  bool faulty = false;  // a value a row reads could not be read
};

// A row that needs what its run lists elsewhere, maybe after it: the rule's
// default level or identifier, or an artifact's URI.
struct Pending {
  std::size_t row;
  std::optional<std::uint64_t> component_index, rule_index, artifact_index;
  bool needs_level;
};

// Turns the values of a SARIF log, met in file order, into rows: the visitor
// of Detail::walk_json.
class RowCollector {
 public:
  using Place = ::Place;

  RowCollector(std::deque<Element>& out, std::string_view text, std::vector<std::string>& faults)
      : out_(out), text_(text), faults_(faults) {}

  Place top_place(od::json_type type) const { return type == od::json_type::object ? Place::root : Place::other; }
  Place member_place(Place object, std::string_view key) const { return ::member_place(object, key); }
  Place element_place(Place array, std::size_t index) const { return ::element_place(array, index); }

  // "runs" must be an array: null (SARIF's "no run could start") gives no row.
  void value_type(Place parent, std::string_view key, od::json_type type) {
    if (parent != Place::root || key != "runs") return;
    runs_ = type == od::json_type::array || type == od::json_type::null ? Runs::found : Runs::not_an_array;
  }

  /// A value of the member `key` of an object at `object`, starting at
  /// `value`, that the parser cannot take (`fault`) although the log is JSON.
  /// A value a row reads costs its result the row; any other is passed over.
  void value_fault(Place object, std::string_view key, const char* value, std::string_view fault) {
    const bool of_a_result = object == Place::result || object == Place::rule_reference ||
                             object == Place::rule_component || object == Place::artifact_location ||
                             object == Place::region || object == Place::suppression;
    const bool read = reads(object, key);
    if (read && of_a_result) result_.faulty = true;
    std::string message = "SARIF value ";
    message += fault;
    message += " at ";
    message += Detail::text_position(text_, static_cast<std::size_t>(value - text_.data()));
    message += read && of_a_result ? ", the result was skipped" : ", the value was passed over";
    faults_.push_back(std::move(message));
  }

  void begin_object(Place place, std::size_t index) {
    switch (place) {
      case Place::root: found_root_object_ = true; break;
      case Place::run: run_ = Run{}; break;
      case Place::result: result_ = Result{}; break;
      case Place::suppression: result_.suppression_status = "accepted"; break;
      case Place::driver: component_ = 0; break;
      case Place::extension: component_ = index + 1; break;
      case Place::rule: component_rules().emplace_back(); break;
      case Place::artifact: run_.artifact_uris.resize(index + 1); break;
      default: break;
    }
  }

  void end_object(Place place) {
    if (place == Place::result) end_result();
    if (place == Place::run) end_run();
    // A suppression counts unless it was rejected.
    if (place == Place::suppression && result_.suppression_status != "rejected") result_.suppressed = true;
  }

  void string_value(Place object, std::string_view key, std::string_view value) {
    if (object == Place::result) {
      if (key == "level") result_.level = value;
      if (key == "kind") result_.kind = value;
      if (key == "ruleId") result_.rule_id = value;
    } else if (object == Place::rule_reference && key == "id") {
      result_.rule_reference_id = value;
    } else if (object == Place::artifact_location && key == "uri") {
      result_.uri = value;
    } else if (object == Place::suppression && key == "status") {
      result_.suppression_status = value;
    } else if (object == Place::rule && key == "id") {
      component_rules().back().id = value;
    } else if (object == Place::default_configuration && key == "level") {
      component_rules().back().level = value;
    } else if (object == Place::artifact_body && key == "uri") {
      run_.artifact_uris.back() = value;
    }
  }

  void integer_value(Place object, std::string_view key, std::int64_t value) {
    const auto index = static_cast<std::uint64_t>(value);
    if (object == Place::region && key == "startLine") result_.start_line = std::to_string(value);
    if (value < 0) return;
    if (object == Place::result && key == "ruleIndex" && !result_.rule_index) result_.rule_index = index;
    if (object == Place::rule_reference && key == "index") result_.rule_index = index;
    if (object == Place::rule_component && key == "index") result_.component_index = index;
    if (object == Place::artifact_location && key == "index") result_.artifact_index = index;
  }

  /// Why the document is no SARIF log, or an empty text.
  std::string problem() const {
    if (!found_root_object_) return "the top-level value is not an object";
    if (runs_ == Runs::missing) return "the top-level object has no \"runs\"";
    if (runs_ == Runs::not_an_array) return "\"runs\" is not an array";
    return {};
  }

 private:
  struct Run {
    std::vector<std::vector<Rule>> components{1};  // the driver's rules, then each extension's
    std::vector<std::string> artifact_uris;
    std::vector<Pending> pending;
    std::unordered_map<std::uint64_t, std::unordered_map<std::string_view, const Rule*>> rules_by_id;
  };

  std::vector<Rule>& component_rules() {
    if (run_.components.size() <= component_) run_.components.resize(component_ + 1);
    return run_.components[component_];
  }

  // The members the rows take their values from.
  static bool reads(Place object, std::string_view key) {
    switch (object) {
      case Place::result: return key == "level" || key == "kind" || key == "ruleId" || key == "ruleIndex";
      case Place::rule_reference: return key == "id" || key == "index";
      case Place::rule_component: return key == "index";
      case Place::artifact_location: return key == "uri" || key == "index";
      case Place::region: return key == "startLine";
      case Place::suppression: return key == "status";
      case Place::rule: return key == "id";
      case Place::default_configuration: return key == "level";
      case Place::artifact_body: return key == "uri";
      default: return false;
    }
  }

  void end_result() {
    if (result_.faulty) return;
    if (result_.kind == "pass" || result_.kind == "notApplicable" || result_.suppressed) return;
    Element element;
    element.line = std::move(result_.start_line);
    element.error_id = !result_.rule_id.empty() ? std::move(result_.rule_id) : std::move(result_.rule_reference_id);
    // SARIF: without a level, a result that is not a failure is "none", a
    // failure takes its rule's default level, else "warning".
    const bool needs_level = result_.level.empty() && (result_.kind.empty() || result_.kind == "fail");
    if (!result_.level.empty()) {
      element.type = type_of_level(result_.level);
    } else if (!needs_level) {
      element.type = "note";
    }
    if (!result_.uri.empty()) element.filename = filename_of(result_.uri);
    const bool needs_artifact = result_.uri.empty() && result_.artifact_index;
    const bool needs_id = element.error_id.empty() && result_.rule_index;
    if (needs_level || needs_artifact || needs_id) {
      run_.pending.push_back({out_.size(), result_.component_index, result_.rule_index,
                              needs_artifact ? result_.artifact_index : std::nullopt, needs_level});
    } else {
      element.error_num = CompilerResults::first_digits(element.error_id);
    }
    out_.push_back(std::move(element));
  }

  // The rule a result refers to: by index in its tool component (the
  // driver unless it names an extension), else by identifier.
  const Rule* find_rule(const Pending& pending, const std::string& id) {
    const std::uint64_t component = pending.component_index ? *pending.component_index + 1 : 0;
    if (component >= run_.components.size()) return nullptr;
    const std::vector<Rule>& rules = run_.components[component];
    if (pending.rule_index) return *pending.rule_index < rules.size() ? &rules[*pending.rule_index] : nullptr;
    auto& by_id = run_.rules_by_id[component];
    if (by_id.empty()) {
      // The first rule of an identifier counts, as a search from the front finds it.
      for (auto rule = rules.rbegin(); rule != rules.rend(); ++rule) by_id[rule->id] = &*rule;
    }
    const auto found = by_id.find(id);
    return found == by_id.end() || id.empty() ? nullptr : found->second;
  }

  void end_run() {
    for (const Pending& pending : run_.pending) {
      Element& element = out_[pending.row];
      const Rule* rule = find_rule(pending, element.error_id);
      if (pending.needs_level) element.type = rule && !rule->level.empty() ? type_of_level(rule->level) : "warning";
      if (element.error_id.empty() && rule) element.error_id = rule->id;
      if (pending.artifact_index && *pending.artifact_index < run_.artifact_uris.size()) {
        const std::string& uri = run_.artifact_uris[*pending.artifact_index];
        if (!uri.empty()) element.filename = filename_of(uri);
      }
      element.error_num = CompilerResults::first_digits(element.error_id);
    }
    run_ = Run{};
  }

  enum class Runs { missing, found, not_an_array };

  std::deque<Element>& out_;
  std::string_view text_;
  std::vector<std::string>& faults_;
  bool found_root_object_ = false;
  Runs runs_ = Runs::missing;
  Run run_;
  Result result_;
  std::size_t component_ = 0;
};

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

std::string Element::file_path(std::string_view uri) {
  if (!Detail::starts_with_ignoring_case(uri, "file:")) return Detail::percent_decoded(uri);
  std::string_view path = uri.substr(5);
  std::string host;
  if (path.starts_with("//")) {
    // "file://host/path": a host other than this machine names a share.
    const std::size_t slash = path.find('/', 2);
    const std::string_view authority = path.substr(2, slash == std::string_view::npos ? path.npos : slash - 2);
    if (!authority.empty() && authority != "localhost") host = "//" + std::string(authority);
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash);
  }
  // "file:///C:/work/a.c": the drive letter begins the path.
  if (host.empty() && path.size() >= 3 && path[0] == '/' && is_letter(path[1]) && path[2] == ':') path.remove_prefix(1);
  return host + Detail::percent_decoded(path);
}

std::string Element::read_elements(std::istream& in, std::deque<Element>& out) {
  std::vector<std::string> value_faults;
  return read_elements(in, out, value_faults);
}

std::string Element::read_elements(std::istream& in, std::deque<Element>& out, std::vector<std::string>& value_faults) {
  out.clear();
  value_faults.clear();
  const std::string text = Detail::read_whole(in, simdjson::SIMDJSON_PADDING);
  RowCollector rows(out, text, value_faults);
  std::string problem = Detail::walk_json(text, rows);
  if (problem.empty()) problem = rows.problem();
  if (!problem.empty()) {
    out.clear();
    value_faults.clear();
  }
  return problem;
}

void Element::get_final_result(const Detail::options& options) {
  CompilerResults::get_final_result<Element>(options, [](std::istream& in, std::deque<Element>& out) {
    std::vector<std::string> value_faults;
    const std::string problem = read_elements(in, out, value_faults);
    for (const std::string& fault : value_faults) Detail::print_error(fault);
    if (!problem.empty()) Detail::print_error("Input is not a SARIF log (" + problem + ")");
  });
}
