#include "compiler/compiler_warnings_cppcheck_element.h"

#include <pugixml.hpp>

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "compiler/compiler_results_output.h"
#include "compiler/diagnostic_columns.h"
#include "detail/line_reader.h"
#include "detail/messages.h"
#include "detail/xml_split.h"
#include "detail/xml_tree.h"

namespace {

using Element = QZCompilerWarningsCppcheckElement;

Element finding(pugi::xml_node error) {
  Element element;
  if (const pugi::xml_node location = error.child("location")) {
    element.filename = CompilerResults::filename_after_src_either_separator(location.attribute("file").value());
    element.line = location.attribute("line").value();
  }
  element.type = error.attribute("severity").value();
  element.error_id = error.attribute("id").value();
  element.error_num = error.attribute("cwe").value();
  return element;
}

// Parses the findings one at a time, each from a copy of its text in one
// buffer (parsed in place: no allocation per finding once the buffer holds
// the longest), until one is not well-formed; returns how many were read.
std::size_t read_findings(std::string_view text, const std::vector<Detail::TextRange>& errors,
                          std::deque<Element>& out) {
  pugi::xml_document piece;
  std::string buffer;
  for (std::size_t read = 0; read < errors.size(); ++read) {
    const Detail::TextRange range = errors[read];
    buffer.assign(text.data() + range.begin, range.end - range.begin);
    if (!piece.load_buffer_inplace(buffer.data(), buffer.size(), pugi::parse_default, pugi::encoding_utf8))
      return read;
    out.push_back(finding(piece.document_element()));
  }
  return errors.size();
}

// A report's tree would cost several times its text: its findings, nearly
// all of it, are read one at a time, then blanked out of the text, which
// `rest` parses in place for everything else. When a finding is not
// well-formed, the text is parsed up to that finding's end, so that the fault
// reported is the first in the text, as a parse of the whole text gives it.
pugi::xml_parse_result read_by_finding(std::string& text, std::deque<Element>& out, pugi::xml_document& rest) {
  const std::optional<std::vector<Detail::TextRange>> errors = Detail::outer_elements(text, "error");
  if (!errors) return rest.load_buffer_inplace(text.data(), text.size());
  const std::size_t read = read_findings(text, *errors, out);
  for (std::size_t i = 0; i < read; ++i) {
    const std::size_t size = (*errors)[i].end - (*errors)[i].begin;
    text.replace((*errors)[i].begin, size, size, ' ');
  }
  return rest.load_buffer_inplace(text.data(), read < errors->size() ? (*errors)[read].end : text.size());
}

// Why a well-formed document is not a cppcheck version 2 report; empty when it is.
std::string report_problem(pugi::xml_node root) {
  if (std::string_view(root.name()) != "results") return "the root element is <" + std::string(root.name()) + ">";
  const pugi::xml_attribute version = root.attribute("version");
  if (!version) return "a version 1 report: <results> has no version";
  if (std::string_view(version.value()) != "2") return "version " + std::string(version.value());
  if (!root.child("errors")) return "<results> has no <errors>";
  return {};
}

}  // namespace

std::string Element::read_elements(std::istream& in, std::deque<Element>& out) {
  out.clear();
  std::string text = Detail::read_whole(in);
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = read_by_finding(text, out, document);
  std::string problem = Detail::xml_problem(document, parsed);
  if (problem.empty()) problem = report_problem(document.document_element());
  if (!problem.empty()) {
    out.clear();
    return problem;
  }
  // The findings the tree still holds: all of them when the text was parsed whole.
  Detail::walk_elements(document.document_element(), [&](pugi::xml_node element) {
    if (std::string_view(element.name()) != "error") return true;
    out.push_back(finding(element));
    return false;
  });
  return {};
}

void Element::get_final_result(const Detail::options& options) {
  CompilerResults::get_final_result<Element>(options, [](std::istream& in, std::deque<Element>& out) {
    const std::string problem = read_elements(in, out);
    if (!problem.empty()) Detail::print_error("Input is not a cppcheck XML report (" + problem + ")");
  });
}
