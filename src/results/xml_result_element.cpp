#include "results/xml_result_element.h"

#include <pugixml.hpp>

#include <fstream>
#include <iostream>
#include <optional>
#include <string_view>
#include <utility>

#include "detail/line_reader.h"
#include "detail/messages.h"
#include "detail/output_writer.h"
#include "detail/run_files.h"
#include "detail/sql_script.h"
#include "detail/text_helpers.h"
#include "results/results_output.h"

namespace {

using result = QZXmlResultElement::result;

std::string_view trimmed(std::string_view text) {
  const std::string_view blanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Visits the elements below `root` in document order; `visit(element)`
// returns whether to go on into the element's children. A loop over the
// parent links instead of recursion, so that the depth costs no stack.
template <typename Visit>
void walk_elements(pugi::xml_node root, Visit visit) {
  pugi::xml_node node = root;
  for (;;) {
    const bool descend = node.type() == pugi::node_element && visit(node);
    if (descend && node.first_child()) {
      node = node.first_child();
      continue;
    }
    while (node != root && !node.next_sibling()) node = node.parent();
    if (node == root) return;
    node = node.next_sibling();
  }
}

result junit_verdict(pugi::xml_node testcase) {
  const std::string_view name = testcase.attribute("name").value();
  const std::string_view classname = testcase.attribute("classname").value();
  std::string full_name(name);
  if (!classname.empty() && classname != name) full_name = std::string(classname) + "." + full_name;

  const std::string_view status = testcase.attribute("status").value();
  if (testcase.child("failure") || testcase.child("error") || status == "fail") return {full_name, "FAILED"};
  if (testcase.child("skipped") || status == "notrun" || status == "disabled") return {full_name, "skipped"};
  return {full_name, "passed"};
}

void read_junit(pugi::xml_node root, std::vector<result>& out) {
  walk_elements(root, [&](pugi::xml_node element) {
    if (std::string_view(element.name()) != "testcase") return true;
    out.push_back(junit_verdict(element));
    return false;
  });
}

std::optional<result> cunit_verdict(pugi::xml_node record) {
  if (std::string_view(record.name()) != "CUNIT_RUN_TEST_RECORD") return std::nullopt;
  if (pugi::xml_node passed = record.child("CUNIT_RUN_TEST_SUCCESS"))
    return result{trimmed(passed.child_value("TEST_NAME")), "passed"};
  if (pugi::xml_node failed = record.child("CUNIT_RUN_TEST_FAILURE"))
    return result{trimmed(failed.child_value("TEST_NAME")), "FAILED"};
  return std::nullopt;
}

void read_cunit(pugi::xml_node root, std::vector<result>& out) {
  walk_elements(root, [&](pugi::xml_node element) {
    const std::optional<result> verdict = cunit_verdict(element);
    if (!verdict) return true;
    const std::optional<result> before = cunit_verdict(element.previous_sibling());
    const bool same_failure = verdict->second == "FAILED" && before && *before == *verdict;
    if (!same_failure) out.push_back(*verdict);
    return false;
  });
}

pugi::xml_node next_element_sibling(pugi::xml_node node) {
  do node = node.next_sibling();
  while (node && node.type() != pugi::node_element);
  return node;
}

}  // namespace

std::string QZXmlResultElement::read_results(std::istream& in, std::vector<result>& out) {
  out.clear();
  std::string text = Detail::read_whole(in);
  pugi::xml_document document;
  // In place: the text is parsed where it lies instead of in a second copy.
  const pugi::xml_parse_result parsed = document.load_buffer_inplace(text.data(), text.size());
  if (!parsed) return std::string(parsed.description()) + " at offset " + std::to_string(parsed.offset);

  const pugi::xml_node root = document.document_element();
  // The parser accepts further top-level elements, whose tests would be lost.
  if (const pugi::xml_node second_root = next_element_sibling(root))
    return "a second root element <" + std::string(second_root.name()) + "> follows <" + root.name() + ">";
  const std::string_view root_name = root.name();
  if (root_name == "testsuites" || root_name == "testsuite") {
    read_junit(root, out);
  } else if (root_name == "CUNIT_TEST_RUN_REPORT") {
    read_cunit(root, out);
  } else {
    return "the root element is <" + std::string(root_name) + ">";
  }
  return {};
}

void QZXmlResultElement::get_final_result(const Detail::options& options) {
  std::string date, time;
  Detail::get_date_and_time_string(date, time);

  std::vector<result> results;
  std::ifstream& in = Detail::take_run_input(options.input);
  const std::string problem = read_results(in, results);
  if (!problem.empty())
    Detail::print_error("Input is not a JUnit or CUnit XML results file (" + problem + ")");

  Results::write_results(options, date, time, results);
}
