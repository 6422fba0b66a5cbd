#pragma once
// Test results as XML: one ut_results row per test.
//
// JUnit XML (root <testsuites> or <testsuite>, as ctest --output-junit,
// GoogleTest --gtest_output=xml and most test runners write it): every
// <testcase> gives a row named "classname.name" (just "name" when classname is
// empty or the same), with the verdict FAILED (it holds <failure> or <error>,
// or status="fail"), skipped (it holds <skipped>, or status="notrun" or
// "disabled") or passed.
//
// CUnit automated-mode results (root <CUNIT_TEST_RUN_REPORT>): every test
// record gives a row named by its trimmed TEST_NAME, passed for
// CUNIT_RUN_TEST_SUCCESS and FAILED for CUNIT_RUN_TEST_FAILURE; CUnit writes
// one record per failed assertion, so successive failure records of one test
// give one row. These are the rows the run's verbose console log gives.

#include <istream>
#include <string>
#include <vector>

#include "detail/options.h"
#include "results/cunit_result_element.h"

class QZXmlResultElement {
 public:
  /// Test name and verdict word ("passed", "FAILED" or "skipped").
  using result = QZCUnitResultElement::result;

  /// Reads all of `in` and replaces `out` with its verdicts in document
  /// order. Returns an empty text, or, for input that is not well-formed XML
  /// or has neither root, why (the parser's reason and offset, or the root).
  /// Neither parsing nor the walk over the elements recurses, so no nesting
  /// depth can exhaust the stack.
  static std::string read_results(std::istream& in, std::vector<result>& out);

  /// Converts `options.input` into the ut_results script at `options.output`.
  static void get_final_result(const Detail::options& options);
};
