#include "coverage/cobertura_coverage_result_element.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "coverage/coverage_counts.h"
#include "detail/line_reader.h"
#include "detail/messages.h"
#include "detail/run_files.h"
#include "detail/table_rows.h"
#include "detail/text_helpers.h"
#include "detail/xml_split.h"
#include "detail/xml_tree.h"

namespace {

using Coverage::count;
using Coverage::Number;
using Coverage::Tally;

struct SourceFile {
  std::string name;
  Tally lines;
  std::optional<Tally> branches;   // from its first branch line on
  std::size_t too_large_line = 0;  // 0 while its numbers and sums all fit
};

// The counts of a report's source files, added up class by class.
class SourceFiles {
 public:
  explicit SourceFiles(std::string_view text) : text_(text) {}

  // Adds the lines of one <class>; `base` is where the text it was parsed
  // from begins in the report.
  void add_class(pugi::xml_node element, std::size_t base) {
    const pugi::xml_attribute filename = element.attribute("filename");
    if (!filename) return;
    SourceFile& file = file_named(filename.value());
    for (const pugi::xml_node lines : element.children("lines")) {
      for (const pugi::xml_node line : lines.children("line")) add_line(file, line, base);
    }
  }

  // One row per file in the order of its first class, then the module row.
  void take_rows(std::vector<Coverage::coverage_row>& out) {
    Coverage::ModuleTotals totals;
    for (SourceFile& file : files_) {
      if (file.too_large_line != 0) {
        Coverage::report_number_too_large(file.too_large_line);
        continue;
      }
      totals.add(file.lines, file.branches);
      out.push_back(Coverage::counted_row(std::move(file.name), file.lines, file.branches));
    }
    if (std::optional<Coverage::coverage_row> module = totals.module_row()) out.push_back(std::move(*module));
  }

 private:
  SourceFile& file_named(std::string_view name) {
    const auto [entry, added] = index_.try_emplace(std::string(name), files_.size());
    if (added) files_.push_back(SourceFile{std::string(name), {}, {}, 0});
    return files_[entry->second];
  }

  void add_line(SourceFile& file, pugi::xml_node line, std::size_t base) {
    count number = 0;
    count hits = 0;
    if (!take_number(line.attribute("number").value(), number, file, line, base) ||
        !take_number(line.attribute("hits").value(), hits, file, line, base))
      return;
    if (!file.lines.add({hits > 0 ? 1U : 0U, 1})) mark_too_large(file, line, base);
    if (std::string_view(line.attribute("branch").value()) == "true") add_branches(file, line, base);
  }

  // condition-coverage="50% (1/2)": 1 of 2 branches covered.
  void add_branches(SourceFile& file, pugi::xml_node line, std::size_t base) {
    const std::string_view text = line.attribute("condition-coverage").value();
    const std::size_t open = text.find('(');
    const std::size_t slash = text.find('/', open);
    if (open == std::string_view::npos || slash == std::string_view::npos || !text.ends_with(')')) return;
    Tally branches;
    if (!take_number(text.substr(open + 1, slash - open - 1), branches.hit, file, line, base) ||
        !take_number(text.substr(slash + 1, text.size() - slash - 2), branches.found, file, line, base))
      return;
    if (!file.branches) file.branches.emplace();
    if (!file.branches->add(branches)) mark_too_large(file, line, base);
  }

  // False for a text that is not a count; one too large marks the file.
  bool take_number(std::string_view text, count& value, SourceFile& file, pugi::xml_node line, std::size_t base) {
    const Number result = Coverage::parse_number(text, value);
    if (result == Number::too_large) mark_too_large(file, line, base);
    return result == Number::ok;
  }

  void mark_too_large(SourceFile& file, pugi::xml_node line, std::size_t base) {
    if (file.too_large_line != 0) return;
    const std::ptrdiff_t offset = line.offset_debug();  // of its name, in the parsed text
    file.too_large_line = line_number_at(base + (offset > 0 ? static_cast<std::size_t>(offset) : 0));
  }

  // Lines are looked up in document order, so counting goes on from the last.
  std::size_t line_number_at(std::size_t offset) {
    const std::size_t end = std::min(offset, text_.size());
    if (end < counted_to_) counted_to_ = line_feeds_ = 0;
    const std::string_view skipped = text_.substr(counted_to_, end - counted_to_);
    line_feeds_ += static_cast<std::size_t>(std::count(skipped.begin(), skipped.end(), '\n'));
    counted_to_ = end;
    return line_feeds_ + 1;
  }

  std::string_view text_;  // the report as read, for line numbers
  std::vector<SourceFile> files_;
  std::unordered_map<std::string, std::size_t> index_;  // of files_ by name
  std::size_t counted_to_ = 0;
  std::size_t line_feeds_ = 0;  // in text_ before counted_to_
};

// Parses the classes one at a time, each from a copy of its text, until one
// is not well-formed; returns how many were read.
std::size_t read_classes(std::string_view text, const std::vector<Detail::TextRange>& classes, SourceFiles& files) {
  pugi::xml_document piece;
  for (std::size_t read = 0; read < classes.size(); ++read) {
    const Detail::TextRange range = classes[read];
    if (!piece.load_buffer(text.data() + range.begin, range.end - range.begin, pugi::parse_default,
                           pugi::encoding_utf8))
      return read;
    files.add_class(piece.document_element(), range.begin);
  }
  return classes.size();
}

// A whole report's tree would cost several times its text: its classes,
// nearly all of it, are read one at a time, then blanked out of the text,
// which `rest` parses in place for everything else. When a class is not
// well-formed, the text is parsed up to that class's end, so that the fault
// reported is the first in the text, as a parse of the whole text gives it.
pugi::xml_parse_result read_by_class(std::string& text, SourceFiles& files, pugi::xml_document& rest) {
  const std::optional<std::vector<Detail::TextRange>> classes = Detail::outer_elements(text, "class");
  // Parsed whole from a copy, so that the text stays as read for line numbers.
  if (!classes) return rest.load_buffer(text.data(), text.size());
  const std::size_t read = read_classes(text, *classes, files);
  for (std::size_t i = 0; i < read; ++i) {
    const std::size_t size = (*classes)[i].end - (*classes)[i].begin;
    text.replace((*classes)[i].begin, size, size, ' ');
  }
  return rest.load_buffer_inplace(text.data(), read < classes->size() ? (*classes)[read].end : text.size());
}

}  // namespace

std::string QZCoberturaCoverageResultElement::read_rows(std::istream& in, std::vector<Coverage::coverage_row>& out) {
  out.clear();
  std::string text = Detail::read_whole(in);
  SourceFiles files(text);
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = read_by_class(text, files, document);
  if (std::string problem = Detail::xml_problem(document, parsed); !problem.empty()) return problem;
  const pugi::xml_node root = document.document_element();
  if (std::string_view(root.name()) != "coverage") return "the root element is <" + std::string(root.name()) + ">";

  // The classes the tree still holds: all of them when the text was parsed whole.
  Detail::walk_elements(root, [&](pugi::xml_node element) {
    if (std::string_view(element.name()) != "class") return true;
    files.add_class(element, 0);
    return false;
  });
  files.take_rows(out);
  return {};
}

void QZCoberturaCoverageResultElement::get_final_result(const Detail::options& options) {
  Coverage::convert_rows_to_coverage_script(options, read_rows, "a Cobertura XML coverage file");
}
