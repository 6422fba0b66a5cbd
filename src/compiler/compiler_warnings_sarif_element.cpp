#include "compiler/compiler_warnings_sarif_element.h"

#include <simdjson.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "compiler/compiler_results_output.h"
#include "compiler/compiler_warnings_msvc_element.h"
#include "compiler/compiler_warnings_ti_element.h"
#include "detail/line_reader.h"
#include "detail/messages.h"

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
  return QZCompilerWarningsMsvcElement::shorten_filename(Element::file_path(uri));
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

// Turns the values of a SARIF log, met in file order, into rows.
class RowCollector {
 public:
  RowCollector(std::deque<Element>& out, std::string_view text, std::vector<std::string>& faults)
      : out_(out), text_(text), faults_(faults) {}

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
    message += position(static_cast<std::size_t>(value - text_.data()));
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

  // "runs" must be an array: null (SARIF's "no run could start") gives no row.
  void runs_member(bool is_array_or_null) { runs_ = is_array_or_null ? Runs::found : Runs::not_an_array; }

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

  // "line L, column C, offset O" of `offset` in the text.
  std::string position(std::size_t offset) const {
    const std::string_view before = text_.substr(0, offset);
    const std::size_t line_start = before.rfind('\n') + 1;  // 0 on the first line
    return "line " + std::to_string(std::count(before.begin(), before.end(), '\n') + 1) + ", column " +
           std::to_string(offset - line_start + 1) + ", offset " + std::to_string(offset);
  }

  void end_result() {
    if (result_.faulty) return;
    if (result_.kind == "pass" || result_.kind == "notApplicable" || result_.suppressed) return;
    Element element;
    element.is_valid = true;
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
      element.error_num = QZCompilerWarningsTiElement::first_digits(element.error_id);
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
      element.error_num = QZCompilerWarningsTiElement::first_digits(element.error_id);
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

// One open object or array of the walk.
struct Frame {
  Place place = Place::other;
  bool is_object = false;
  bool in_child = false;   // the current member or element was entered
  std::size_t index = 0;   // of the current element
  od::object_iterator member, members_end;
  od::array_iterator element, elements_end;
};

// The text of a JSON string that holds no escape, from just after its opening
// quote; nothing for a string with escapes. The parser's first stage checked
// that every string is closed and holds valid UTF-8 and no control
// character, so such a text needs no copy: copying every string (and key)
// of a large log costs as much memory again as its strings take.
std::optional<std::string_view> text_without_escapes(const char* after_quote) {
  const char* end = after_quote;
  while (*end != '"' && *end != '\\') ++end;
  if (*end == '\\') return std::nullopt;
  return std::string_view(after_quote, static_cast<std::size_t>(end - after_quote));
}

// Whether every escape of the JSON string `token` (with its quotes) is one
// JSON allows: then a string the parser refuses holds a \u escape that is
// not valid UTF-16 (a lone surrogate).
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

// Whether `token` is a number as JSON writes it: then a number the parser
// refuses lies beyond a double's range.
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

// A scalar token ends before the white space, comma or bracket after it.
std::string_view scalar_token(std::string_view raw) {
  return raw.substr(0, std::min(raw.find_first_of(" \t\r\n,]}"), raw.size()));
}

// The text of a scalar as it stands in the JSON text.
std::string_view token_of(od::value& value) { return value.raw_json_token(); }
std::string_view token_of(od::document& document) {
  std::string_view token;
  return document.raw_json_token().get(token) == simdjson::SUCCESS ? token : std::string_view();
}

// Reads a scalar (of the document, or the value of a member or element),
// which checks it: a value the walk passes over would not be checked. Hands
// what the rows may need to `rows`.
template <typename Value>
simdjson::error_code read_scalar(Value& value, od::json_type type, Place object, std::string_view key,
                                 RowCollector& rows) {
  switch (type) {
    case od::json_type::string: {
      std::string_view text;
      const std::string_view token = token_of(value);  // from the opening quote
      if (const auto plain = token.empty() ? std::nullopt : text_without_escapes(token.data() + 1)) {
        od::raw_json_string raw;
        if (const auto error = value.get_raw_json_string().get(raw)) return error;
        text = *plain;
      } else if (const auto error = value.get_string().get(text)) {
        if (error != simdjson::STRING_ERROR || token.empty() || !escapes_are_well_formed(token)) return error;
        rows.value_fault(object, key, token.data(), "holds a string escape that is not valid UTF-16");
        return simdjson::SUCCESS;
      }
      rows.string_value(object, key, text);
      return simdjson::SUCCESS;
    }
    case od::json_type::number: {
      std::int64_t integer = 0;
      if (value.get_int64().get(integer) == simdjson::SUCCESS) {
        rows.integer_value(object, key, integer);
        return simdjson::SUCCESS;
      }
      double ignored = 0;
      const auto error = value.get_double().get(ignored);
      const std::string_view token = scalar_token(token_of(value));
      if (error != simdjson::NUMBER_ERROR || token.empty() || !is_json_number(token)) return error;
      rows.value_fault(object, key, token.data(), "is a number beyond a double's range");
      return simdjson::SUCCESS;
    }
    case od::json_type::boolean: {
      bool ignored = false;
      if (value.get_bool().get(ignored) == simdjson::SUCCESS) return simdjson::SUCCESS;
      // The parser calls a misspelt true or false a value of another type.
      return token_of(value).starts_with('f') ? simdjson::F_ATOM_ERROR : simdjson::T_ATOM_ERROR;
    }
    case od::json_type::null: {
      bool is_null = false;
      return value.is_null().get(is_null) || !is_null ? simdjson::N_ATOM_ERROR : simdjson::SUCCESS;
    }
    default: return simdjson::INCORRECT_TYPE;  // objects and arrays are entered, not read
  }
}

// Reads every value of a document in order, so that all of it is checked,
// not only the parts the rows need. The open objects and arrays are kept on
// a stack of their own, so no depth costs call stack, and no deeper than the
// parser's limit, so that a text of brackets cannot make it take the memory.
class Walk {
 public:
  explicit Walk(RowCollector& rows) : rows_(rows) {}

  simdjson::error_code run(od::document& document) {
    od::json_type type{};
    if (const auto error = document.type().get(type)) return error;
    // A scalar is read to be checked; it is no SARIF log.
    if (type != od::json_type::object && type != od::json_type::array) {
      const auto error = read_scalar(document, type, Place::other, {}, rows_);
      if (error) failed_value_ = token_of(document).data();
      return error;
    }
    od::value top;
    if (const auto error = document.get_value().get(top)) return error;
    const Place place = type == od::json_type::object ? Place::root : Place::other;
    if (const auto error = enter(top, Place::other, {}, place, 0)) return error;
    while (!stack_.empty()) {
      if (const auto error = step()) return error;
    }
    // Anything after the top-level value but white space is not JSON.
    const auto after = document.current_location();
    return after.error() == simdjson::OUT_OF_BOUNDS ? simdjson::SUCCESS : simdjson::TRAILING_CONTENT;
  }

  /// The start of the value whose reading failed; null when the failure lies
  /// between values (a missing comma, an early end) and the parser knows where.
  const char* failed_value() const { return failed_value_; }

 private:
  // Opens `value`, the child at `place` (of member `key` of an object at
  // `parent`): an object or array becomes a frame, a scalar is read.
  simdjson::error_code enter(od::value value, Place parent, std::string_view key, Place place, std::size_t index) {
    failed_value_ = token_of(value).data();
    const simdjson::error_code error = open(value, parent, key, place, index);
    if (!error) failed_value_ = nullptr;
    return error;
  }

  simdjson::error_code open(od::value value, Place parent, std::string_view key, Place place, std::size_t index) {
    od::json_type type{};
    if (const auto error = value.type().get(type)) return error;
    if (parent == Place::root && key == "runs")
      rows_.runs_member(type == od::json_type::array || type == od::json_type::null);
    if (type != od::json_type::object && type != od::json_type::array)
      return read_scalar(value, type, parent, key, rows_);
    if (stack_.size() >= simdjson::DEFAULT_MAX_DEPTH) return simdjson::DEPTH_ERROR;
    Frame frame;
    frame.place = place;
    frame.is_object = type == od::json_type::object;
    if (frame.is_object) {
      od::object object;
      if (const auto error = value.get_object().get(object)) return error;
      if (const auto error = object.begin().get(frame.member)) return error;
      if (const auto error = object.end().get(frame.members_end)) return error;
      rows_.begin_object(place, index);
    } else {
      od::array array;
      if (const auto error = value.get_array().get(array)) return error;
      if (const auto error = array.begin().get(frame.element)) return error;
      if (const auto error = array.end().get(frame.elements_end)) return error;
    }
    stack_.push_back(std::move(frame));
    return simdjson::SUCCESS;
  }

  // Moves the walk one value on from the innermost open frame.
  simdjson::error_code step() {
    Frame& frame = stack_.back();
    // An iterator moves on only after the child it points at was read whole.
    if (frame.in_child) {
      if (frame.is_object) {
        ++frame.member;
      } else {
        ++frame.element;
        ++frame.index;
      }
      frame.in_child = false;
    }
    if (frame.is_object ? !(frame.member != frame.members_end) : !(frame.element != frame.elements_end)) {
      const Place place = frame.place;
      const bool was_object = frame.is_object;
      stack_.pop_back();
      if (was_object) rows_.end_object(place);
      return simdjson::SUCCESS;
    }
    frame.in_child = true;
    const Place parent = frame.place;
    const std::size_t index = frame.index;
    if (!frame.is_object) {
      od::value value;
      if (const auto error = (*frame.element).get(value)) return error;
      return enter(value, parent, {}, element_place(parent, index), index);
    }
    od::field field;
    if (const auto error = (*frame.member).get(field)) return error;
    std::string_view key;
    if (const std::optional<std::string_view> plain = text_without_escapes(field.key().raw())) {
      key = *plain;
    } else if (const auto error = field.unescaped_key().get(key)) {
      return error;
    }
    return enter(field.value(), parent, key, member_place(parent, key), 0);
  }

  RowCollector& rows_;
  std::vector<Frame> stack_;
  const char* failed_value_ = nullptr;
};

// The parser's error and where in `text` it stopped, by line and column
// (which do not depend on the input's encoding) and by offset.
std::string parser_problem(simdjson::error_code error, std::string_view text, std::optional<std::size_t> offset) {
  std::string problem = simdjson::error_message(error);
  if (!offset) return problem;
  if (!problem.ends_with('.')) problem += '.';
  const std::string_view before = text.substr(0, *offset);
  const std::size_t line_start = before.rfind('\n') + 1;  // 0 on the first line
  problem += " Stopped at line " + std::to_string(std::count(before.begin(), before.end(), '\n') + 1) +
             ", column " + std::to_string(*offset - line_start + 1) + ", offset " + std::to_string(*offset);
  return problem;
}

// Where the walk over the document stopped, as an offset into `text`.
std::optional<std::size_t> stop_offset(od::document& document, std::string_view text) {
  const char* at = nullptr;
  if (document.current_location().get(at) != simdjson::SUCCESS) return text.size();
  if (at < text.data() || at > text.data() + text.size()) return std::nullopt;
  return static_cast<std::size_t>(at - text.data());
}

// The offset of the first byte of `text` that begins no valid UTF-8 sequence.
std::size_t first_invalid_utf8(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = byte(i);
    const std::size_t length =
        lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return i;
    // The second byte's range excludes overlong forms, surrogates and code points past U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    for (std::size_t k = 1; k < length; ++k) {
      if (byte(i + k) < (k == 1 ? low : 0x80) || byte(i + k) > (k == 1 ? high : 0xBF)) return i;
    }
    i += length;
  }
  return text.size();
}

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

// Where the parser's first stage found `error`, which it does not tell.
std::optional<std::size_t> first_stage_offset(simdjson::error_code error, std::string_view text) {
  if (error == simdjson::UTF8_ERROR) return first_invalid_utf8(text);
  if (error == simdjson::UNESCAPED_CHARS || error == simdjson::UNCLOSED_STRING) return string_flaw(text);
  return std::nullopt;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string percent_decoded(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 && hex_digit(text[i + 2]) >= 0) {
      decoded += static_cast<char>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

bool starts_with_ignoring_case(std::string_view text, std::string_view start) {
  if (text.size() < start.size()) return false;
  for (std::size_t i = 0; i < start.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != start[i]) return false;
  }
  return true;
}

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

std::string Element::file_path(std::string_view uri) {
  if (!starts_with_ignoring_case(uri, "file:")) return percent_decoded(uri);
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
  return host + percent_decoded(path);
}

std::string Element::read_elements(std::istream& in, std::deque<Element>& out) {
  std::vector<std::string> value_faults;
  return read_elements(in, out, value_faults);
}

std::string Element::read_elements(std::istream& in, std::deque<Element>& out, std::vector<std::string>& value_faults) {
  out.clear();
  value_faults.clear();
  const std::string text = Detail::read_whole(in, simdjson::SIMDJSON_PADDING);
  od::parser parser;
  od::document document;
  const simdjson::padded_string_view json(text.data(), text.size(), text.capacity());
  RowCollector rows(out, text, value_faults);
  simdjson::error_code error = parser.iterate(json).get(document);
  if (error == simdjson::MEMALLOC) throw std::bad_alloc();
  std::optional<std::size_t> offset = first_stage_offset(error, text);
  if (!error) {
    Walk walk(rows);
    error = walk.run(document);
    if (walk.failed_value()) {
      offset = static_cast<std::size_t>(walk.failed_value() - text.data());
    } else if (error) {
      offset = stop_offset(document, text);
    }
  }
  std::string problem = error ? parser_problem(error, text, offset) : rows.problem();
  if (!problem.empty()) {
    out.clear();
    value_faults.clear();
  }
  return problem;
}

void Element::GetQZCompilerWarningsElements(std::ifstream& in, std::deque<Element>& out) {
  std::vector<std::string> value_faults;
  const std::string problem = read_elements(in, out, value_faults);
  in.close();
  for (const std::string& fault : value_faults) Detail::print_error(fault);
  if (!problem.empty()) Detail::print_error("Input is not a SARIF log (" + problem + ")");
}

void Element::get_final_result(const Detail::options& options) {
  CompilerResults::get_final_result<Element>(options);
}
