#include "results/xml_result_element.h"

#include <pugixml.hpp>

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
  // <skipped> wins over a failure: Catch2 marks a failure its test case
  // allows (!mayfail, !shouldfail) by a <skipped> beside it.
  if (testcase.child("skipped")) return {std::move(full_name), "skipped"};
  if (holds_failure(testcase) || status == "fail") return {std::move(full_name), "FAILED"};
  if (status == "notrun" || status == "disabled" || outcome == "skipped" || outcome == "suppressed")
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

bool is_named(pugi::xml_node element, std::string_view name) { return std::string_view(element.name()) == name; }

bool catch2_holds_failure(pugi::xml_node testcase) {
  bool failed = false;
  Detail::walk_elements(testcase, [&](pugi::xml_node element) {
    const std::string_view name = element.name();
    if (name == "Failure" || name == "Exception" || name == "FatalErrorCondition" ||
        (name == "Expression" && std::string_view(element.attribute("success").value()) == "false"))
      failed = true;
    return !failed;
  });
  return failed;
}

// Catch2 (-r xml). A test case without its verdict did not finish, so it did
// not pass. A test case Catch2 3 skipped (skips > 0) counts as skipped unless
// a failure in it was allowed (!mayfail, !shouldfail): the run's totals count
// that one as failed as expected.
const char* catch2_verdict(pugi::xml_node testcase) {
  const pugi::xml_node overall = testcase.child("OverallResult");
  if (!overall || std::string_view(overall.attribute("success").value()) != "true") return "FAILED";
  if (overall.attribute("skips").as_ullong() > 0 && !catch2_holds_failure(testcase)) return "skipped";
  return "passed";
}

void read_catch2(pugi::xml_node root, std::vector<result>& out) {
  Detail::walk_elements(root, [&](pugi::xml_node element) {
    if (!is_named(element, "TestCase")) return true;
    out.emplace_back(element.attribute("name").value(), catch2_verdict(element));
    return false;
  });
}

// doctest (--reporters=xml): a crashed test case has test_case_success="false".
const char* doctest_verdict(pugi::xml_node testcase) {
  if (std::string_view(testcase.attribute("skipped").value()) == "true") return "skipped";
  const pugi::xml_node overall = testcase.child("OverallResultsAsserts");
  return std::string_view(overall.attribute("test_case_success").value()) == "true" ? "passed" : "FAILED";
}

void read_doctest(pugi::xml_node root, std::vector<result>& out) {
  std::string_view suite;
  Detail::walk_elements(
      root,
      [&](pugi::xml_node element) {
        if (is_named(element, "TestSuite")) {
          suite = element.attribute("name").value();
          return true;
        }
        if (!is_named(element, "TestCase")) return true;
        std::string name(suite);
        if (!name.empty()) name += '.';
        name += element.attribute("name").value();
        out.emplace_back(std::move(name), doctest_verdict(element));
        return false;
      },
      [&](pugi::xml_node element) {
        if (is_named(element, "TestSuite")) suite = {};
      });
}

// Boost.Test names a test case by its path below the test module:
// "Calc/Nested/Inner_throws". `suites` holds the enclosing suites' names,
// the module first.
std::string boost_path(const std::vector<std::string_view>& suites, pugi::xml_node testcase) {
  std::string path;
  for (std::size_t i = 1; i < suites.size(); ++i) {
    path += suites[i];
    path += '/';
  }
  path += testcase.attribute("name").value();
  return path;
}

// Walks the suites of a Boost.Test report or log; `verdict(testcase)` gives
// each test case's word. Returns whether the document named any suite or case.
template <typename Verdict>
bool read_boost(pugi::xml_node root, std::vector<result>& out, Verdict verdict) {
  std::vector<std::string_view> suites;
  bool named_any = false;
  Detail::walk_elements(
      root,
      [&](pugi::xml_node element) {
        if (is_named(element, "TestSuite")) {
          suites.push_back(element.attribute("name").value());
          named_any = true;
          return true;
        }
        if (!is_named(element, "TestCase")) return true;
        out.emplace_back(boost_path(suites, element), verdict(element));
        named_any = true;
        return false;
      },
      [&](pugi::xml_node element) {
        if (is_named(element, "TestSuite")) suites.pop_back();
      });
  return named_any;
}

// An unknown result is no pass.
const char* boost_report_verdict(pugi::xml_node testcase) {
  const std::string_view outcome = testcase.attribute("result").value();
  if (outcome == "passed") return "passed";
  if (outcome == "skipped") return "skipped";
  return "FAILED";
}

const char* boost_log_verdict(pugi::xml_node testcase) {
  if (std::string_view(testcase.attribute("skipped").value()) == "yes") return "skipped";
  if (testcase.child("Error") || testcase.child("FatalError") || testcase.child("Exception")) return "FAILED";
  return "passed";
}

std::string not_results(std::string_view problem) {
  std::string message = "Input is not a JUnit or CUnit XML results file (";
  message += problem;
  message += ')';
  return message;
}

}  // namespace

std::string QZXmlResultElement::read_results(std::istream& in, std::vector<result>& out) {
  out.clear();
  std::string text = Detail::read_whole(in);
  pugi::xml_document document;
  // In place: the text is parsed where it lies instead of in a second copy.
  // An element's only text is kept in the element, not in a node of its own:
  // the frameworks' reports hold many such elements (a Catch2 assertion's
  // <Original> and <Expanded>), which would cost a node each.
  const pugi::xml_parse_result parsed =
      document.load_buffer_inplace(text.data(), text.size(), pugi::parse_default | pugi::parse_embed_pcdata);
  if (std::string problem = Detail::xml_problem(document, parsed); !problem.empty()) return not_results(problem);

  const pugi::xml_node root = document.document_element();
  const std::string_view root_name = root.name();
  if (root_name == "testsuites" || root_name == "testsuite") {
    read_junit(root, out);
  } else if (root_name == "CUNIT_TEST_RUN_REPORT") {
    read_cunit(root, out);
  } else if (root_name == "Catch" || root_name == "Catch2TestRun") {
    read_catch2(root, out);
  } else if (root_name == "doctest") {
    read_doctest(root, out);
  } else if (root_name == "TestResult") {
    read_boost(root, out, boost_report_verdict);
  } else if (root_name == "TestLog") {
    // Below --log_level=test_suite the log holds only the messages.
    if (!read_boost(root, out, boost_log_verdict))
      return "The Boost.Test log names no test cases; write it with --log_level=test_suite or use the XML report";
  } else {
    std::string problem = "the root element is <";
    problem += root_name;
    problem += '>';
    return not_results(problem);
  }
  return {};
}

void QZXmlResultElement::get_final_result(const Detail::options& options) {
  Results::convert_results(options, [](std::istream& in, std::vector<result>& out) {
    const std::string message = read_results(in, out);
    if (!message.empty()) Detail::print_error(message);
  });
}
