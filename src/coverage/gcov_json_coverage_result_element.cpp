#include "coverage/gcov_json_coverage_result_element.h"

#include <simdjson.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <unordered_map>
#include <utility>

#include "coverage/coverage_counts.h"
#include "detail/decompressed_text.h"

namespace {

namespace od = simdjson::ondemand;
using Coverage::count;

struct LineEntry {
  std::uint64_t line;
  bool hit;
};

struct BranchEntry {
  std::uint64_t line;
  std::uint64_t position;
  bool taken;
};

// Every entry of a file's lines and branches as the documents list them;
// the copies of a line or branch are merged when the rows are made.
struct SourceFile {
  std::string name;
  std::vector<LineEntry> lines;
  std::vector<BranchEntry> branches;
};

// Distinct lines found and those hit.
Coverage::Tally tally_lines(std::vector<LineEntry>& lines) {
  std::sort(lines.begin(), lines.end(), [](const LineEntry& a, const LineEntry& b) { return a.line < b.line; });
  Coverage::Tally tally;
  for (std::size_t i = 0; i < lines.size();) {
    bool hit = false;
    const std::uint64_t line = lines[i].line;
    for (; i < lines.size() && lines[i].line == line; ++i) hit = hit || lines[i].hit;
    ++tally.found;
    if (hit) ++tally.hit;
  }
  return tally;
}

// Distinct branches (line and position) found and those taken; none for a
// file without branches.
std::optional<Coverage::Tally> tally_branches(std::vector<BranchEntry>& branches) {
  if (branches.empty()) return std::nullopt;
  const auto key = [](const BranchEntry& entry) { return std::pair(entry.line, entry.position); };
  std::sort(branches.begin(), branches.end(),
            [&](const BranchEntry& a, const BranchEntry& b) { return key(a) < key(b); });
  Coverage::Tally tally;
  for (std::size_t i = 0; i < branches.size();) {
    bool taken = false;
    const auto branch = key(branches[i]);
    for (; i < branches.size() && key(branches[i]) == branch; ++i) taken = taken || branches[i].taken;
    ++tally.found;
    if (taken) ++tally.hit;
  }
  return tally;
}

class SourceFiles {
 public:
  SourceFile& file(std::string_view name) {
    const auto [found, added] = index_.try_emplace(std::string(name), files_.size());
    if (added) files_.push_back({std::string(name), {}, {}});
    return files_[found->second];
  }

  void take_rows(std::vector<Coverage::coverage_row>& out) {
    Coverage::ModuleTotals totals;
    for (SourceFile& file : files_) {
      const Coverage::Tally lines = tally_lines(file.lines);
      const std::optional<Coverage::Tally> branches = tally_branches(file.branches);
      out.push_back(Coverage::counted_row(std::move(file.name), lines, branches));
      totals.add(lines, branches);
      file = SourceFile{};
    }
    if (std::optional<Coverage::coverage_row> module = totals.module_row()) out.push_back(std::move(*module));
  }

 private:
  std::vector<SourceFile> files_;
  std::unordered_map<std::string, std::size_t> index_;  // of files_ by name
};

// The reason a value is refused: simdjson's message, with what was read.
std::string problem_with(std::string_view what, simdjson::error_code error) {
  std::string problem(what);
  problem.append(": ").append(simdjson::error_message(error));
  return problem;
}

// A count above 0. gcov's counters are signed 64-bit numbers; a larger
// whole number is still a count.
simdjson::error_code read_positive(od::value value, bool& positive) {
  od::number number;
  if (const auto error = value.get_number().get(number)) return error;
  switch (number.get_number_type()) {
    case od::number_type::signed_integer: positive = number.get_int64() > 0; return simdjson::SUCCESS;
    case od::number_type::unsigned_integer: positive = true; return simdjson::SUCCESS;
    default: return simdjson::INCORRECT_TYPE;
  }
}

// A document longer than the batch the parser was given.
struct document_too_large {};

// Reads the documents of one input into `files`.
class DocumentReader {
 public:
  explicit DocumentReader(SourceFiles& files) : files_(files) {}

  std::string read(od::document_reference document) {
    od::json_type type{};
    if (const auto error = document.type().get(type)) return simdjson::error_message(error);
    if (type != od::json_type::object) return "the top-level value is not an object";
    od::object root;
    if (const auto error = document.get_object().get(root)) return simdjson::error_message(error);
    std::optional<std::string> version;
    bool has_files = false;
    for (auto member : root) {
      od::field field;
      std::string_view key;
      if (const auto error = std::move(member).get(field)) return simdjson::error_message(error);
      if (const auto error = field.unescaped_key().get(key)) return simdjson::error_message(error);
      if (key == "format_version") {
        std::string_view text;
        if (const auto error = field.value().get_string().get(text)) return problem_with("\"format_version\"", error);
        version = text;
      } else if (key == "files") {
        has_files = true;
        if (std::string problem = read_files(field.value()); !problem.empty()) return problem;
      }
    }
    if (!version) return "no \"format_version\"";
    if (*version != "1") return "\"format_version\" is \"" + *version + "\", not \"1\"";
    if (!has_files) return "no \"files\"";
    return {};
  }

 private:
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

  // The name first, wherever it stands: the lines of a system header are
  // passed over without being read.
  std::string read_file(od::object& file) {
    std::string_view name;
    if (const auto error = file.find_field_unordered("file").get_string().get(name))
      return problem_with("the \"file\" of an entry of \"files\"", error);
    if (QZGcovJsonCoverageResultElement::is_system_file(name)) return {};
    SourceFile& source = files_.file(name);
    od::array lines;
    if (const auto error = file.find_field_unordered("lines").get_array().get(lines))
      return problem_with("the \"lines\" of " + source.name, error);
    for (auto element : lines) {
      od::object line;
      if (const auto error = element.get_object().get(line)) return problem_with("a line of " + source.name, error);
      if (std::string problem = read_line(line, source); !problem.empty()) return problem;
    }
    return {};
  }

  std::string read_line(od::object& line, SourceFile& source) {
    std::optional<std::uint64_t> number;
    std::optional<bool> hit;
    taken_.clear();
    for (auto member : line) {
      od::field field;
      if (const auto error = std::move(member).get(field)) return problem_with("a line of " + source.name, error);
      const od::raw_json_string key = field.key();
      if (key.is_equal("line_number")) {
        std::uint64_t value = 0;
        if (const auto error = field.value().get_uint64().get(value))
          return problem_with("a \"line_number\" of " + source.name, error);
        number = value;
      } else if (key.is_equal("count")) {
        bool positive = false;
        if (const auto error = read_positive(field.value(), positive))
          return problem_with("a line's \"count\" of " + source.name, error);
        hit = positive;
      } else if (key.is_equal("branches")) {
        if (std::string problem = read_branches(field.value(), source); !problem.empty()) return problem;
      }
    }
    if (!number) return "a line of " + source.name + " without \"line_number\"";
    if (!hit) return "line " + std::to_string(*number) + " of " + source.name + " without \"count\"";
    source.lines.push_back({*number, *hit});
    for (std::size_t position = 0; position < taken_.size(); ++position)
      source.branches.push_back({*number, position, taken_[position]});
    return {};
  }

  // Into taken_: the line's number may follow its branches.
  std::string read_branches(od::value value, const SourceFile& source) {
    od::array branches;
    if (const auto error = value.get_array().get(branches))
      return problem_with("\"branches\" of " + source.name, error);
    taken_.clear();
    for (auto element : branches) {
      od::object branch;
      od::value branch_count;
      bool taken = false;
      if (const auto error = element.get_object().get(branch)) return problem_with("a branch of " + source.name, error);
      if (const auto error = branch.find_field_unordered("count").get(branch_count))
        return problem_with("the \"count\" of a branch of " + source.name, error);
      if (const auto error = read_positive(branch_count, taken))
        return problem_with("the \"count\" of a branch of " + source.name, error);
      taken_.push_back(taken);
    }
    return {};
  }

  SourceFiles& files_;
  std::vector<bool> taken_;  // of the line being read, by position
};

// The length of the longest line of `text`.
std::size_t longest_line(std::string_view text) {
  std::size_t longest = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    longest = std::max(longest, end - start);
    start = end + 1;
  }
  return longest;
}

std::string read_documents(const std::string& text, std::size_t batch_size, SourceFiles& files) {
  od::parser parser;
#ifdef SIMDJSON_THREADS_ENABLED
  // A second thread indexes the next batch ahead; where cores are busy, the
  // reading waits for it longer than it would take to index the batch itself.
  parser.threaded = false;
#endif
  od::document_stream documents;
  if (const auto error = parser.iterate_many(text.data(), text.size(), batch_size).get(documents)) {
    if (error == simdjson::MEMALLOC) throw std::bad_alloc();
    return simdjson::error_message(error);
  }
  DocumentReader reader(files);
  std::size_t read = 0;
  for (auto it = documents.begin(); it != documents.end(); ++it) {
    ++read;
    od::document_reference document;
    std::string problem;
    if (const auto error = (*it).get(document)) {
      if (error == simdjson::MEMALLOC) throw std::bad_alloc();
      if (error == simdjson::CAPACITY) throw document_too_large();
      problem = simdjson::error_message(error);
    } else {
      problem = reader.read(document);
    }
    if (!problem.empty()) return read > 1 ? "document " + std::to_string(read) + ": " + problem : problem;
  }
  if (read == 0 && text.find_first_not_of(" \t\r\n") == std::string::npos) return "no JSON document";
  if (documents.truncated_bytes() > 0) return "the last document is cut short";
  return {};
}

// Reads the documents in batches of a few lines' length: the parser indexes
// a batch at a time, and its index of a whole input would take more memory
// than the input. gcov writes each document on one line; a document that
// spans lines (reformatted by hand) is read with the whole text as one batch.
std::string read_all_documents(const std::string& text, SourceFiles& files) {
  const std::size_t lines_batch = std::max<std::size_t>(longest_line(text) + 1, std::size_t{16} << 20);
  if (lines_batch < text.size()) {
    try {
      return read_documents(text, lines_batch, files);
    } catch (const document_too_large&) {
      files = SourceFiles{};
    }
  }
  return read_documents(text, std::max<std::size_t>(text.size(), simdjson::dom::MINIMAL_BATCH_SIZE), files);
}

}  // namespace

bool QZGcovJsonCoverageResultElement::is_system_file(std::string_view path) {
  for (const std::string_view folder : {"/usr/include/", "/usr/lib/", "/usr/local/include/"}) {
    if (path.starts_with(folder)) return true;
  }
  return false;
}

std::string QZGcovJsonCoverageResultElement::read_rows(std::istream& in, std::vector<Coverage::coverage_row>& out) {
  out.clear();
  std::string problem;
  const std::string text = Detail::read_whole_decompressed(in, simdjson::SIMDJSON_PADDING, problem);
  if (!problem.empty()) return problem;
  SourceFiles files;
  if (problem = read_all_documents(text, files); !problem.empty()) return problem;
  files.take_rows(out);
  return {};
}

void QZGcovJsonCoverageResultElement::get_final_result(const Detail::options& options) {
  Coverage::convert_rows_to_coverage_script(options, read_rows, "gcov JSON");
}
