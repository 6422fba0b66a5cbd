#include "coverage/cobertura_coverage_result_element.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/files.h"

namespace {

struct Read {
  std::string rows;  // function_name, C0 percent/tested/testable, C1 percent/tested/testable, one row per line
  std::string problem;
  std::string messages;  // printed while reading
};

Read read(const std::string& report) {
  std::istringstream in(report);
  std::vector<Coverage::coverage_row> rows(1);  // stale content must go
  Read result;
  testing::internal::CaptureStdout();
  result.problem = QZCoberturaCoverageResultElement::read_rows(in, rows);
  result.messages = testing::internal::GetCapturedStdout();
  for (const Coverage::coverage_row& r : rows) {
    result.rows += r.function_name + " " + r.C0_percent + "/" + r.C0_tested_lines + "/" + r.C0_testable_lines + " " +
                   r.C1_percent + "/" + r.C1_tested_lines + "/" + r.C1_testable_lines + "\n";
  }
  return result;
}

// The same report declared Latin-1, which pugixml reads whole instead of one
// class at a time (same lines, so the same line numbers).
std::string declared_latin1(const std::string& report) {
  const std::size_t declaration_end = report.starts_with("<?xml") ? report.find("?>") + 2 : 0;
  return "<?xml version=\"1.0\" encoding=\"latin1\"?>" + report.substr(declaration_end);
}

const struct {
  std::string report;
  Read expected;
} cases[] = {
    {"<coverage/>", {"", "", ""}},
    // A file's row sits at its first class wherever that is; copies under
    // <methods>, classes inside a class, comments and CDATA do not count.
    {R"x(<coverage><class filename="b"><lines><line number="1" hits="1"/></lines></class>
         <packages><package><classes>
           <class filename="a"><methods><method><lines><line number="1" hits="1"/></lines></method></methods>
             <lines><line number="2" hits="0"/></lines>
             <class filename="c"><lines><line number="1" hits="1"/></lines></class>
           </class>
           <!-- <class filename="d"/> --><![CDATA[<class filename="e"/>]]>
           <class filename="b"><lines><line number="3" hits="0" branch="true"
             condition-coverage="50% (1/2)"/></lines></class>
         </classes></package></packages></coverage>)x",
     {"b 50/1/2 50/1/2\na 0/0/1 //\n*module_statistics 33/1/3 50/1/2\n", "", ""}},
    // Counts to the largest 64-bit number, percents rounded down.
    {R"x(<coverage><class filename="a"><lines>
         <line number="1" hits="18446744073709551615" branch="true"
           condition-coverage="99% (18446744073709551614/18446744073709551615)"/>
         <line number="2" hits="0"/><line number="3" hits="1"/></lines></class></coverage>)x",
     {"a 66/2/3 99/18446744073709551614/18446744073709551615\n"
      "*module_statistics 66/2/3 99/18446744073709551614/18446744073709551615\n",
      "", ""}},
    // 2^64 drops its file with a message naming the line of the <line>.
    {"<coverage>\n<class filename=\"a\"><lines>\n<line number=\"1\" hits=\"18446744073709551616\"/>"
     "</lines></class>\n<class filename=\"b\"/></coverage>",
     {"b /0/0 //\n*module_statistics /0/0 //\n", "",
      "VIViriZovuro error: Number too large on input line 3, the record was skipped\n"}},
    // The first fault in the text is reported, as a parse of the whole text
    // reports it, whether or not it lies in a class.
    {R"x(<coverage><packages a=1><class filename="a"><lines></class></packages></coverage>)x",
     {"", "Error parsing element attribute at offset 22", ""}},
    {R"x(<coverage><class filename="a"><lines></class></coverage>)x", {"", "Start-end tags mismatch at offset 39", ""}},
    {R"x(<coverage><class filename="a"/></coverage><coverage/>)x",
     {"", "a second root element <coverage> follows <coverage>", ""}},
    {R"x(<report><class filename="a"/></report>)x", {"", "the root element is <report>", ""}},
    {"", {"", "No document element found at offset 0", ""}},
};

TEST(CoberturaReport, Rows) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.report);
    const Read result = read(c.report);
    EXPECT_EQ(result.rows, c.expected.rows);
    EXPECT_EQ(result.problem, c.expected.problem);
    EXPECT_EQ(result.messages, c.expected.messages);
  }
}

// Read one class at a time or whole, a report gives the same rows and
// messages: the cases above and every fixture.
TEST(CoberturaReport, ReadWholeGivesTheSameRows) {
  std::vector<std::string> reports;
  for (const auto& c : cases) reports.push_back(c.report);
  for (const auto& entry : std::filesystem::directory_iterator(VIVIRI_FIXTURES "/Cobertura_Coverage")) {
    if (entry.path().extension() == ".input") reports.push_back(test_support::read_file(entry.path().string()));
  }
  for (const std::string& report : reports) {
    SCOPED_TRACE(report.substr(0, 200));
    const Read by_class = read(report);
    const Read whole = read(declared_latin1(report));
    EXPECT_EQ(whole.rows, by_class.rows);
    EXPECT_EQ(whole.messages, by_class.messages);
    EXPECT_EQ(whole.problem.empty(), by_class.problem.empty());
  }
}

}  // namespace
