#pragma once
// Test results as XML: one ut_results row per test.
//
// JUnit XML (root <testsuites> or <testsuite>, as ctest --output-junit,
// GoogleTest --gtest_output=xml and most test runners write it): every
// <testcase> gives a row named "classname.name" (just "name" when classname is
// empty or the same), with the verdict skipped (it holds <skipped>, whatever
// else it holds, or status="notrun" or "disabled"), FAILED (it holds
// <failure> or <error>, or status="fail") or passed.
//
// CUnit automated-mode results (root <CUNIT_TEST_RUN_REPORT>): every test
// record gives a row named by its trimmed TEST_NAME, passed for
// CUNIT_RUN_TEST_SUCCESS and FAILED for CUNIT_RUN_TEST_FAILURE; CUnit writes
// one record per failed assertion, so successive failure records of one test
// give one row. These are the rows the run's verbose console log gives.
//
// The test frameworks' own XML, one row per test case; a test case its
// framework counts as failed as expected is passed:
// - Catch2 (root <Catch>, Catch2 3's <Catch2TestRun>): each <TestCase> by its
//   name, sections being no rows; <OverallResult success="true"> passed, else
//   FAILED; skipped when Catch2 3 counts skips and nothing in it failed.
// - doctest (root <doctest>): each <TestCase>, "SUITE.name" in a named
//   <TestSuite>; skipped="true" skipped, else test_case_success decides.
// - Boost.Test report (root <TestResult>) and log (root <TestLog>): each
//   <TestCase> named by its path below the test module
//   ("Calc/Nested/Inner_throws"). The report's result="passed" passes,
//   "skipped" skips, any other fails; the log's skipped="yes" skips and an
//   <Error>, <FatalError> or <Exception> in the test case fails it.

#include <istream>
#include <string>
#include <utility>
#include <vector>

#include "detail/options.h"

class QZXmlResultElement {
 public:
  /// Test name and verdict word ("passed", "FAILED" or "skipped").
  using result = std::pair<std::string, std::string>;

  /// Reads all of `in` and replaces `out` with its verdicts in document
  /// order. Returns an empty text, or the message to print: for input that
  /// is not well-formed XML or has none of the roots, why (the parser's
  /// reason and offset, or the root); for a Boost.Test log written below
  /// --log_level=test_suite, that it names no test cases.
  /// Neither parsing nor the walk over the elements recurses, so no nesting
  /// depth can exhaust the stack.
  static std::string read_results(std::istream& in, std::vector<result>& out);

  /// Converts `options.input` into the ut_results script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
