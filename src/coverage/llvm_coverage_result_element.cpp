#include "coverage/llvm_coverage_result_element.h"

#include <simdjson.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <string_view>
#include <utility>

#include "coverage/coverage_counts.h"
#include "detail/decompressed_text.h"

namespace {

namespace od = simdjson::ondemand;

// The reason a value is refused: simdjson's message, with what was read.
std::string problem_with(std::string_view what, simdjson::error_code error) {
  std::string problem(what);
  problem.append(": ").append(simdjson::error_message(error));
  return problem;
}

// A file's or the export's figures: lines, and branches where llvm counts them.
struct Summary {
  std::optional<Coverage::Tally> lines;
  std::optional<Coverage::Tally> branches;
};

// {"count": N, "covered": N, ...}: both are needed.
std::string read_tally(od::value value, std::string_view what, std::optional<Coverage::Tally>& into) {
  od::object object;
  if (const auto error = value.get_object().get(object)) return problem_with(what, error);
  std::optional<std::uint64_t> found, covered;
  for (auto member : object) {
    od::field field;
    if (const auto error = std::move(member).get(field)) return problem_with(what, error);
    const od::raw_json_string key = field.key();
    std::optional<std::uint64_t>* target =
        key.is_equal("count") ? &found : key.is_equal("covered") ? &covered : nullptr;
    if (!target) continue;
    std::uint64_t number = 0;
    if (const auto error = field.value().get_uint64().get(number)) return problem_with(what, error);
    *target = number;
  }
  if (!found || !covered) return std::string(what) + " without \"count\" and \"covered\"";
  into = Coverage::Tally{*covered, *found};
  return {};
}

std::string read_summary(od::value value, std::string_view what, Summary& summary) {
  od::object object;
  if (const auto error = value.get_object().get(object)) return problem_with(what, error);
  for (auto member : object) {
    od::field field;
    if (const auto error = std::move(member).get(field)) return problem_with(what, error);
    const od::raw_json_string key = field.key();
    std::string problem;
    if (key.is_equal("lines")) {
      problem = read_tally(field.value(), std::string(what) + "'s \"lines\"", summary.lines);
    } else if (key.is_equal("branches")) {
      problem = read_tally(field.value(), std::string(what) + "'s \"branches\"", summary.branches);
    }
    if (!problem.empty()) return problem;
  }
  if (!summary.lines) return std::string(what) + " without \"lines\"";
  return {};
}

// The members whose arrays hold the export's details: per-file segments,
// branches and expansions and the per-function list, which repeat per
// instantiation and make a full export many times the size of its
// summaries. A summary's "branches" and "functions" are objects and stay.
bool is_detail_key(std::string_view key) {
  return key == "segments" || key == "branches" || key == "expansions" || key == "functions";
}

// The end of the string whose opening quote is at `quote`, or npos for a
// string that is not closed.
std::size_t string_end(std::string_view text, std::size_t quote) {
  for (std::size_t at = quote + 1;; ++at) {
    at = text.find_first_of("\"\\", at);
    if (at == std::string_view::npos || text[at] == '"') return at;
    ++at;  // the escaped character
  }
}

// Just past the bracket that closes the array whose '[' is at `open`, or npos
// when the text ends first.
std::size_t array_end(std::string_view text, std::size_t open) {
  static constexpr auto kinds = [] {
    std::array<char, 256> table{};
    table['['] = '[';
    table[']'] = ']';
    table['"'] = '"';
    return table;
  }();
  std::size_t depth = 0;
  for (std::size_t at = open; at < text.size(); ++at) {
    switch (kinds[static_cast<unsigned char>(text[at])]) {
      case '[': ++depth; break;
      case ']':
        if (--depth == 0) return at + 1;
        break;
      case '"':
        at = string_end(text, at);
        if (at == std::string_view::npos) return at;
        break;
      default: break;
    }
  }
  return std::string_view::npos;
}

// Overwrites the detail arrays with blanks before the parser sees the text:
// the parser would index every bracket, comma and number of them, which
// costs more memory than the text itself, only for the rows to pass over
// them. The text keeps its length, so offsets stay those of the input. Text
// that is not well formed is left as it is for the parser to refuse.
void blank_details(std::string& text) {
  const std::string_view view(text);
  for (std::size_t at = view.find('"'); at != std::string_view::npos; at = view.find('"', at)) {
    const std::size_t end = string_end(view, at);
    if (end == std::string_view::npos) return;
    const std::string_view key = view.substr(at + 1, end - at - 1);
    at = end + 1;
    if (!is_detail_key(key)) continue;
    const std::size_t colon = view.find_first_not_of(" \t\r\n", at);
    if (colon == std::string_view::npos || view[colon] != ':') continue;
    const std::size_t open = view.find_first_not_of(" \t\r\n", colon + 1);
    if (open == std::string_view::npos || view[open] != '[') continue;
    const std::size_t close = array_end(view, open);
    if (close == std::string_view::npos) return;
    // "[]" stays an array, so the member keeps a value.
    std::fill(text.data() + open + 1, text.data() + close - 1, ' ');
    at = close;
  }
}

// Reads the export's members in whatever order they come.
class ExportReader {
 public:
  explicit ExportReader(std::vector<Coverage::coverage_row>& out) : out_(out) {}

  std::string read(od::document& document) {
    od::json_type type{};
    if (const auto error = document.type().get(type)) return simdjson::error_message(error);
    if (type != od::json_type::object) return "the top-level value is not an object";
    od::object root;
    if (const auto error = document.get_object().get(root)) return simdjson::error_message(error);
    std::optional<std::string> export_type, version;
    bool has_data = false;
    for (auto member : root) {
      od::field field;
      std::string_view key;
      if (const auto error = std::move(member).get(field)) return simdjson::error_message(error);
      if (const auto error = field.unescaped_key().get(key)) return simdjson::error_message(error);
      std::string problem;
      if (key == "data") {
        has_data = true;
        problem = read_data(field.value());
      } else if (key == "type") {
        problem = read_text(field.value(), "\"type\"", export_type);
      } else if (key == "version") {
        problem = read_text(field.value(), "\"version\"", version);
      }
      if (!problem.empty()) return problem;
    }
    // Only white space may follow the top-level value.
    if (document.current_location().error() != simdjson::OUT_OF_BOUNDS) return "other data follows the export";
    return check_header(export_type, version, has_data);
  }

  /// The module row from the totals of every export.
  void finish() {
    if (std::optional<Coverage::coverage_row> module = totals_.module_row()) out_.push_back(std::move(*module));
  }

 private:
  static std::string read_text(od::value value, std::string_view what, std::optional<std::string>& into) {
    std::string_view text;
    if (const auto error = value.get_string().get(text)) return problem_with(what, error);
    into = text;
    return {};
  }

  static std::string check_header(const std::optional<std::string>& export_type,
                                  const std::optional<std::string>& version, bool has_data) {
    if (!export_type) return "no \"type\"";
    if (*export_type != "llvm.coverage.json.export") return "\"type\" is \"" + *export_type + "\"";
    if (!version) return "no \"version\"";
    if (!version->starts_with("2.") && *version != "2") return "\"version\" is \"" + *version + "\", not 2.x";
    if (!has_data) return "no \"data\"";
    return {};
  }

  std::string read_data(od::value value) {
    od::array exports;
    if (const auto error = value.get_array().get(exports)) return problem_with("\"data\"", error);
    for (auto element : exports) {
      od::object object;
      if (const auto error = element.get_object().get(object)) return problem_with("an entry of \"data\"", error);
      if (std::string problem = read_export(object); !problem.empty()) return problem;
    }
    return {};
  }

  // Only "files" and "totals" are read; "functions" is passed over.
  std::string read_export(od::object& object) {
    bool has_totals = false;
    for (auto member : object) {
      od::field field;
      if (const auto error = std::move(member).get(field)) return problem_with("an entry of \"data\"", error);
      const od::raw_json_string key = field.key();
      std::string problem;
      if (key.is_equal("files")) {
        problem = read_files(field.value());
      } else if (key.is_equal("totals")) {
        has_totals = true;
        Summary totals;
        problem = read_summary(field.value(), "\"totals\"", totals);
        if (problem.empty()) totals_.add(*totals.lines, totals.branches);
      }
      if (!problem.empty()) return problem;
    }
    return has_totals ? std::string() : "an entry of \"data\" without \"totals\"";
  }

  std::string read_files(od::value value) {
    od::array files;
    if (const auto error = value.get_array().get(files)) return problem_with("\"files\"", error);
    for (auto element : files) {
      od::object file;
      if (const auto error = element.get_object().get(file)) return problem_with("an entry of \"files\"", error);
      if (std::string problem = read_file(file); !problem.empty()) return problem;
    }
    return {};
  }

  // The per-file details ("segments", "branches", "expansions") come before
  // and after the name and summary and are skipped in passing.
  std::string read_file(od::object& file) {
    std::optional<std::string> name;
    Summary summary;
    bool has_summary = false;
    for (auto member : file) {
      od::field field;
      if (const auto error = std::move(member).get(field)) return problem_with("an entry of \"files\"", error);
      const od::raw_json_string key = field.key();
      std::string problem;
      if (key.is_equal("filename")) {
        problem = read_text(field.value(), "a \"filename\"", name);
      } else if (key.is_equal("summary")) {
        has_summary = true;
        problem = read_summary(field.value(), "a file's \"summary\"", summary);
      }
      if (!problem.empty()) return problem;
    }
    if (!name) return "an entry of \"files\" without \"filename\"";
    if (!has_summary) return *name + " without \"summary\"";
    out_.push_back(Coverage::counted_row(std::move(*name), *summary.lines, summary.branches));
    return {};
  }

  std::vector<Coverage::coverage_row>& out_;
  Coverage::ModuleTotals totals_;
};

}  // namespace

std::string QZLlvmCoverageResultElement::read_rows(std::istream& in, std::vector<Coverage::coverage_row>& out) {
  out.clear();
  std::string problem;
  std::string text = Detail::read_whole_decompressed(in, simdjson::SIMDJSON_PADDING, problem);
  if (!problem.empty()) return problem;
  blank_details(text);
  od::parser parser;
  od::document document;
  const simdjson::padded_string_view json(text.data(), text.size(), text.capacity());
  if (const auto error = parser.iterate(json).get(document)) {
    if (error == simdjson::MEMALLOC) throw std::bad_alloc();
    return simdjson::error_message(error);
  }
  ExportReader reader(out);
  problem = reader.read(document);
  if (!problem.empty()) {
    out.clear();
    return problem;
  }
  reader.finish();
  return {};
}

void QZLlvmCoverageResultElement::get_final_result(const Detail::options& options) {
  Coverage::convert_rows_to_coverage_script(options, read_rows, "an llvm-cov export");
}
