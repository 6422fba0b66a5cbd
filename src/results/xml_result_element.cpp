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
#include "detail/sql_script.h"
#include "detail/xml_tree.h"
#include "results/results_output.h"

namespace {

using result = QZXmlResultElement::result;

std::string_view trimmed(std::string_view text) {
  const std::string_view blanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// "classname.name"; a test case without a classname takes its suite's name in
// its place, so that equal test names of two suites stay apart.
std::string junit_name(pugi::xml_node testcase, std::string_view suite) {
  const std::string_view name = testcase.attribute("name").value();
  std::string_view classname = testcase.attribute("classname").value();
  if (classname.empty()) classname = suite;
  if (classname.empty() || classname == name) return std::string(name);
  if (name.empty()) return std::string(classname);
  return std::string(classname) + "." + std::string(name);
}

bool holds_failure(pugi::xml_node element) { return element.child("failure") || element.child("error"); }

result junit_verdict(pugi::xml_node testcase, std::string_view suite) {
  std::string full_name = junit_name(testcase, suite);
  const std::string_view status = testcase.attribute("status").value();
  // GoogleTest before 1.12 marks a skipped test by its result alone.
  const std::string_view outcome = testcase.attribute("result").value();
  if (holds_failure(testcase) || status == "fail") return {std::move(full_name), "FAILED"};
  if (testcase.child("skipped") || status == "notrun" || status == "disabled" || outcome == "skipped" ||
      outcome == "suppressed")
    return {std::move(full_name), "skipped"};
  return {std::move(full_name), "passed"};
}

// A suite's own failure or error, outside every test case, is a set-up that
// failed: its tests never ran, so the suite itself gives a FAILED row.
void read_junit(pugi::xml_node root, std::vector<result>& out) {
  std::vector<std::string_view> suites;  // the names of the enclosing test suites, innermost last
  const auto is_suite = [](pugi::xml_node element) { return std::string_view(element.name()) == "testsuite"; };
  Detail::walk_elements(
      root,
      [&](pugi::xml_node element) {
        if (is_suite(element)) {
          suites.push_back(element.attribute("name").value());
          if (holds_failure(element)) out.emplace_back(suites.back(), "FAILED");
          return true;
        }
        if (std::string_view(element.name()) != "testcase") return true;
        out.push_back(junit_verdict(element, suites.empty() ? std::string_view() : suites.back()));
        return false;
      },
      [&](pugi::xml_node element) {
        if (is_suite(element)) suites.pop_back();
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
  Detail::walk_elements(root, [&](pugi::xml_node element) {
    const std::optional<result> verdict = cunit_verdict(element);
    if (!verdict) return true;
    const std::optional<result> before = cunit_verdict(element.previous_sibling());
    const bool same_failure = verdict->second == "FAILED" && before && *before == *verdict;
    if (!same_failure) out.push_back(*verdict);
    return false;
  });
}

}  // namespace

std::string QZXmlResultElement::read_results(std::istream& in, std::vector<result>& out) {
  out.clear();
  std::string text = Detail::read_whole(in);
  pugi::xml_document document;
  // In place: the text is parsed where it lies instead of in a second copy.
  const pugi::xml_parse_result parsed = document.load_buffer_inplace(text.data(), text.size());
  if (std::string problem = Detail::xml_problem(document, parsed); !problem.empty()) return problem;

  const pugi::xml_node root = document.document_element();
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
  Results::convert_results(options, [](std::ifstream& in, std::vector<result>& out) {
    const std::string problem = read_results(in, out);
    if (!problem.empty()) Detail::print_error("Input is not a JUnit or CUnit XML results file (" + problem + ")");
  });
}
