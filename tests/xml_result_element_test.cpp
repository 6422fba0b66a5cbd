#include "results/xml_result_element.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "results/cunit_result_element.h"

using Results = std::vector<QZXmlResultElement::result>;

namespace {

struct Read {
  Results results;
  std::string problem;
};

Read read(const std::string& xml) {
  std::istringstream in(xml);
  Read read{{{"stale", "passed"}}, {}};
  read.problem = QZXmlResultElement::read_results(in, read.results);
  return read;
}

TEST(XmlResults, VerdictRules) {
  const struct {
    std::string xml;
    Results expected;
  } cases[] = {
      {R"(<testsuite><testcase name="a" classname="s"/></testsuite>)", {{"s.a", "passed"}}},
      {R"(<testsuite><testcase name="a" classname="a"/><testcase name="b"/></testsuite>)",
       {{"a", "passed"}, {"b", "passed"}}},
      {R"(<testsuites><testcase name="a" status="fail"/><testcase name="b"><error/></testcase></testsuites>)",
       {{"a", "FAILED"}, {"b", "FAILED"}}},
      // A skip wins over a failure (Catch2's allowed failure); "run" and unknown states pass.
      {R"(<testsuite><testcase name="a"><skipped/><failure/></testcase><testcase name="b" status="run"/></testsuite>)",
       {{"a", "skipped"}, {"b", "passed"}}},
      {R"(<testsuite><testcase name="a" status="notrun"/><testcase name="b" status="disabled"/></testsuite>)",
       {{"a", "skipped"}, {"b", "skipped"}}},
      {R"(<testsuite name="empty"/>)", {}},
      // GoogleTest before 1.12 marks skipped tests by their result alone.
      {R"(<testsuite><testcase name="a" result="skipped"/><testcase name="b" result="suppressed"/></testsuite>)",
       {{"a", "skipped"}, {"b", "skipped"}}},
      {R"(<testsuite><testcase name="a" result="skipped"><failure/></testcase></testsuite>)", {{"a", "FAILED"}}},
      // A suite's own failure (its set-up) gives a row before its test cases; one in a test case does not.
      {R"(<testsuites><testsuite name="s"><testcase name="a"/><error/><failure/></testsuite></testsuites>)",
       {{"s", "FAILED"}, {"s.a", "passed"}}},
      {R"(<testsuite name="s"><testcase name="a"><failure/></testcase></testsuite>)", {{"s.a", "FAILED"}}},
      // Without a classname, the nearest enclosing suite's name; an empty name leaves the classname alone.
      {R"(<testsuites><testsuite name="s"><testsuite name="t"><testcase name="a" classname=""/></testsuite>)"
       R"(<testcase name="a"/></testsuite><testcase name="a"/></testsuites>)",
       {{"t.a", "passed"}, {"s.a", "passed"}, {"a", "passed"}}},
      {R"(<testsuite name="s"><testcase name="" classname="c"/><testcase name=""/><testcase/></testsuite>)",
       {{"c", "passed"}, {"s", "passed"}, {"s", "passed"}}},
      // Two failure records of one test give one row; a failure after a
      // success, or of the same name in another suite, gives its own.
      {"<CUNIT_TEST_RUN_REPORT><CUNIT_RESULT_LISTING><CUNIT_RUN_SUITE><CUNIT_RUN_SUITE_SUCCESS>"
       "<CUNIT_RUN_TEST_RECORD><CUNIT_RUN_TEST_FAILURE><TEST_NAME> t </TEST_NAME></CUNIT_RUN_TEST_FAILURE></CUNIT_RUN_TEST_RECORD>"
       "<CUNIT_RUN_TEST_RECORD><CUNIT_RUN_TEST_FAILURE><TEST_NAME> t </TEST_NAME></CUNIT_RUN_TEST_FAILURE></CUNIT_RUN_TEST_RECORD>"
       "<CUNIT_RUN_TEST_RECORD><CUNIT_RUN_TEST_SUCCESS><TEST_NAME>\tu\n</TEST_NAME></CUNIT_RUN_TEST_SUCCESS></CUNIT_RUN_TEST_RECORD>"
       "<CUNIT_RUN_TEST_RECORD><CUNIT_RUN_TEST_FAILURE><TEST_NAME>u</TEST_NAME></CUNIT_RUN_TEST_FAILURE></CUNIT_RUN_TEST_RECORD>"
       "</CUNIT_RUN_SUITE_SUCCESS></CUNIT_RUN_SUITE><CUNIT_RUN_SUITE><CUNIT_RUN_SUITE_SUCCESS>"
       "<CUNIT_RUN_TEST_RECORD><CUNIT_RUN_TEST_FAILURE><TEST_NAME>u</TEST_NAME></CUNIT_RUN_TEST_FAILURE></CUNIT_RUN_TEST_RECORD>"
       "</CUNIT_RUN_SUITE_SUCCESS></CUNIT_RUN_SUITE></CUNIT_RESULT_LISTING></CUNIT_TEST_RUN_REPORT>",
       {{"t", "FAILED"}, {"u", "passed"}, {"u", "FAILED"}, {"u", "FAILED"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.xml);
    const Read got = read(c.xml);
    EXPECT_EQ(got.problem, "");
    EXPECT_EQ(got.results, c.expected);
  }
}

// The frameworks' own XML: one row per test case, sections and subcases none.
TEST(XmlResults, FrameworkVerdictRules) {
  const struct {
    std::string xml;
    Results expected;
  } cases[] = {
      // Catch2 2 groups its test cases; a test case without its verdict did not finish.
      {R"(<Catch><Group><TestCase name="a"><Section name="s"><OverallResults successes="1"/></Section>)"
       R"(<OverallResult success="true"/></TestCase><TestCase name="b"><OverallResult success="false"/></TestCase>)"
       R"(<TestCase name="c"/></Group></Catch>)",
       {{"a", "passed"}, {"b", "FAILED"}, {"c", "FAILED"}}},
      // Catch2 3: skipped unless something failed (then an allowed failure, passed).
      {R"(<Catch2TestRun><TestCase name="a"><OverallResult success="true" skips="1"/></TestCase>)"
       R"(<TestCase name="b"><Section><Expression success="false"/></Section><OverallResult success="true" skips="2"/></TestCase>)"
       R"(<TestCase name="c"><Exception/><OverallResult success="true" skips="1"/></TestCase>)"
       R"(<TestCase name="d"><OverallResult success="false" skips="1"/></TestCase>)"
       R"(<TestCase name="e"><Expression success="true"/><OverallResult success="true" skips="0"/></TestCase></Catch2TestRun>)",
       {{"a", "skipped"}, {"b", "passed"}, {"c", "passed"}, {"d", "FAILED"}, {"e", "passed"}}},
      // doctest: the suite's name before the test's in a named suite only.
      {R"(<doctest><TestSuite><TestCase name="a"><OverallResultsAsserts test_case_success="true"/></TestCase>)"
       R"(<TestCase name="b" skipped="true"/></TestSuite><TestSuite name="S"><TestCase name="a">)"
       R"(<OverallResultsAsserts test_case_success="false"/></TestCase></TestSuite><TestCase name="c"/></doctest>)",
       {{"a", "passed"}, {"b", "skipped"}, {"S.a", "FAILED"}, {"c", "FAILED"}}},
      // Boost.Test report: the path below the module; an unknown result is no pass.
      {R"(<TestResult><TestSuite name="M"><TestCase name="a" result="passed"/><TestSuite name="S">)"
       R"(<TestSuite name="T"><TestCase name="b" result="timed-out"/></TestSuite><TestCase name="c" result="skipped"/>)"
       R"(<TestCase name="d" result="aborted"/><TestCase name="e" result="odd"/></TestSuite></TestSuite>)"
       R"(<TestCase name="f" result="failed"/></TestResult>)",
       {{"a", "passed"}, {"S/T/b", "FAILED"}, {"S/c", "skipped"}, {"S/d", "FAILED"}, {"S/e", "FAILED"}, {"f", "FAILED"}}},
      // Boost.Test log: only a message of the test case itself fails it.
      {R"(<TestLog><TestSuite name="M"><TestSuite name="S"><TestCase name="a"><Message/><Warning/></TestCase>)"
       R"(<TestCase name="b"><FatalError/></TestCase><TestCase name="c" skipped="yes"/></TestSuite>)"
       R"(<TestCase name="d"><Exception/></TestCase><TestCase name="e"><Error/></TestCase>)"
       R"(<TestSuite name="X" skipped="yes"/></TestSuite></TestLog>)",
       {{"S/a", "passed"}, {"S/b", "FAILED"}, {"S/c", "skipped"}, {"d", "FAILED"}, {"e", "FAILED"}}},
      // A test module whose every suite was skipped is named: a log at the right level, without rows.
      {R"(<TestLog><TestSuite name="M" skipped="yes"/></TestLog>)", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.xml);
    const Read got = read(c.xml);
    EXPECT_EQ(got.problem, "");
    EXPECT_EQ(got.results, c.expected);
  }
}

TEST(XmlResults, BoostLogWithoutTestCasesSaysHowToWriteIt) {
  for (const std::string xml : {"<TestLog/>", "<TestLog><Error>x</Error><Exception>y</Exception></TestLog>"}) {
    SCOPED_TRACE(xml);
    const Read got = read(xml);
    EXPECT_EQ(got.problem,
              "The Boost.Test log names no test cases; write it with --log_level=test_suite or use the XML report");
    EXPECT_EQ(got.results, Results{});
  }
}

TEST(XmlResults, Utf16InputIsConverted) {
  const std::string text = "<testsuite><testcase name=\"\xC3\xA9t\xC3\xA9\"/></testsuite>";
  std::string utf16 = "\xFF\xFE";  // little-endian byte order mark, then the ASCII and two 'é' as UTF-16
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\xC3') {
      utf16 += "\xE9";
      utf16 += '\0';
      ++i;
    } else {
      utf16 += text[i];
      utf16 += '\0';
    }
  }
  EXPECT_EQ(read(utf16).results, (Results{{"\xC3\xA9t\xC3\xA9", "passed"}}));
}

TEST(XmlResults, NotAResultsFileSaysWhy) {
  const struct {
    std::string xml;
    std::string problem;
  } cases[] = {
      {"", "No document element found at offset 0"},
      {"<testsuite><testcase name=\"a\"></testsuite>", "Start-end tags mismatch at offset 32"},
      {"<html/>", "the root element is <html>"},
      {"<testsuite/>text<testsuites/>", "a second root element <testsuites> follows <testsuite>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.xml);
    const Read got = read(c.xml);
    EXPECT_EQ(got.problem, "Input is not a JUnit or CUnit XML results file (" + c.problem + ")");
    EXPECT_EQ(got.results, Results{});
  }
}

// Parsing and walking loop instead of recursing: a recursive walk would run
// out of stack long before this depth.
TEST(XmlResults, DeepNestingDoesNotExhaustTheStack) {
  constexpr int depth = 100'000;
  std::string open, close;
  for (int i = 0; i < depth; ++i) {
    open += "<testsuite>";
    close += "</testsuite>";
  }
  const std::string leaf = R"(<testcase name="deep"/>)";
  EXPECT_EQ(read(open + leaf + close).results, (Results{{"deep", "passed"}}));
  EXPECT_EQ(read("<testsuites>" + open + leaf + "<testcase name=\"after\"/>" + close + "</testsuites>").results,
            (Results{{"deep", "passed"}, {"after", "passed"}}));
  const Read unclosed = read(open + leaf);
  EXPECT_NE(unclosed.problem.find("Start-end tags mismatch"), std::string::npos) << unclosed.problem;
}

// A CUnit run's automated XML gives the rows its verbose console log gives,
// and where the log lost a verdict (a test printing), the XML still has it.
TEST(XmlResults, CUnitXmlGivesTheConsoleLogRows) {
  const auto log_rows = [](const std::string& name) {
    std::ifstream in(std::string(VIVIRI_FIXTURES) + "/PassFail/" + name);
    Results results;
    QZCUnitResultElement::GetQZCUnitResultElements(in, results);
    return results;
  };
  const auto xml_rows = [](const std::string& name) {
    std::ifstream in(std::string(VIVIRI_FIXTURES) + "/PassFail_XML/" + name);
    Results results;
    EXPECT_EQ(QZXmlResultElement::read_results(in, results), "");
    return results;
  };
  const Results quiet = log_rows("cunit_quiet_console.input");
  ASSERT_EQ(quiet.size(), 5u);
  EXPECT_EQ(xml_rows("cunit_quiet.input"), quiet);

  Results full = log_rows("cunit_console.input");
  ASSERT_EQ(full.size(), 5u);
  full.insert(full.begin() + 4, {"test_prints", "passed"});
  EXPECT_EQ(xml_rows("cunit.input"), full);
}

}  // namespace
