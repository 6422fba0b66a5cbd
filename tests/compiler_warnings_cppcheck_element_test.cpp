#include "compiler/compiler_warnings_cppcheck_element.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "support/reader_rows.h"

using test_support::Rows;

namespace {

struct Read {
  Rows rows;
  std::string problem;
};

// filename, line, type, error_id, error_num of every row read from `xml`.
Read read(const std::string& xml) {
  Read read;
  read.rows = test_support::diagnostic_rows<QZCompilerWarningsCppcheckElement>(
      xml, [&](std::istream& in, std::deque<QZCompilerWarningsCppcheckElement>& out) {
        read.problem = QZCompilerWarningsCppcheckElement::read_elements(in, out);
      });
  return read;
}

std::string report(const std::string& errors) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<results version=\"2\">\n<cppcheck version=\"2.10\"/>\n"
         "<errors>\n" +
         errors + "</errors>\n</results>\n";
}

TEST(CppcheckReport, RowRules) {
  const struct {
    std::string errors;
    Rows expected;
  } cases[] = {
      {R"(<error id="nullPointer" severity="error" msg="m" verbose="v" cwe="476" file0="a.c">)"
       R"(<location file="C:\w\Src\app\a.c" line="17" column="10" info="here"/>)"
       R"(<location file="/w/Src/b.c" line="3" column="1"/><symbol>p</symbol></error>)",
       {{"app\\a.c", "17", "error", "nullPointer", "476"}}},
      // No location, no cwe, line 0, inconclusive: rows all the same.
      {R"(<error id="missingInclude" severity="information" msg="m" verbose="v"/>)",
       {{"", "", "information", "missingInclude", ""}}},
      {R"(<error id="x" severity="style" msg="m" verbose="v" inconclusive="true"><location file="a.c" line="0"/></error>)",
       {{"a.c", "0", "style", "x", ""}}},
      // A header's finding reported for each file that includes it: one row each.
      {R"(<error id="h" severity="warning" msg="m" verbose="v" file0="a.c"><location file="h.h" line="2"/></error>)"
       R"(<error id="h" severity="warning" msg="m" verbose="v" file0="b.c"><location file="h.h" line="2"/></error>)",
       {{"h.h", "2", "warning", "h", ""}, {"h.h", "2", "warning", "h", ""}}},
      // Escapes in the messages do not matter; in a path they are read.
      {R"(<error id="p" severity="performance" msg="&quot;s&apos; &lt;" verbose="a\012b &amp;">)"
       R"(<location file="R&amp;D/a.cpp" line="4"/></error>)",
       {{"R&D/a.cpp", "4", "performance", "p", ""}}},
      {R"(<error id="q" severity="portability" msg="m" verbose="v"><symbol>x</symbol><location file="a.c" line="9"/></error>)",
       {{"a.c", "9", "portability", "q", ""}}},
      {"", {}},
  };
  for (const auto& c : cases) {
    const Read got = read(report(c.errors));
    EXPECT_EQ(got.problem, "") << c.errors;
    EXPECT_EQ(got.rows, c.expected) << c.errors;
  }
}

TEST(CppcheckReport, NotAVersion2ReportSaysWhyAndGivesNoRow) {
  const std::string finding =
      R"(<error id="x" severity="error" msg="m" verbose="v"><location file="a.c" line="1"/></error>)";
  const struct {
    std::string text;
    std::string problem;
  } cases[] = {
      {R"(<results><error file="a.c" line="1" id="x" severity="error" msg="m"/></results>)",
       "a version 1 report: <results> has no version"},
      {R"(<results version="3"><errors>)" + finding + "</errors></results>", "version 3"},
      {R"(<results version="2">)" + finding + "</results>", "<results> has no <errors>"},
      {R"(<testsuites><testsuite name="s"/></testsuites>)", "the root element is <testsuites>"},
      {"a.c:1:2: error: e [x]\n", "No document element found at offset 21"},
      {"", "No document element found at offset 0"},
      {report(finding).substr(0, 150), "Could not determine tag type at offset 149"},
      {report(finding + R"(<error id="y" severity="error"><location file="a.c" line="1"></error>)"),
       "Start-end tags mismatch at offset 250"},
      {report(finding) + "<results/>", "a second root element <results> follows <results>"},
  };
  for (const auto& c : cases) {
    const Read got = read(c.text);
    EXPECT_EQ(got.problem, c.problem) << c.text;
    EXPECT_EQ(got.rows, Rows{}) << c.text;
  }
}

// The findings nest as deep as the text makes them without costing stack.
TEST(CppcheckReport, DeepNestingIsRead) {
  const std::string deep = std::string(100'000, '<') + "x" + "/>";
  std::string nested;
  for (int i = 0; i < 100'000; ++i) nested += "<s>";
  for (int i = 0; i < 100'000; ++i) nested += "</s>";
  const Read got = read(report(R"(<error id="d" severity="style" msg="m" verbose="v"><location file="a.c" line="1"/>)" +
                               nested + "</error>"));
  EXPECT_EQ(got.problem, "");
  EXPECT_EQ(got.rows, (Rows{{"a.c", "1", "style", "d", ""}}));
}

// The real reports' rows, counted per severity by reading the XML text with
// a pattern rather than a parser.
TEST(CppcheckReport, RealReportsRowsPerSeverity) {
  for (const char* name : {"own_code", "zlib_examples"}) {
    std::ifstream file(std::string(VIVIRI_FIXTURES) + "/Warning_Cppcheck/" + name + ".input");
    std::stringstream text;
    text << file.rdbuf();
    const std::string xml = text.str();
    std::map<std::string, std::size_t> expected;
    const std::regex error_tag("<error [^>]*severity=\"([a-z]+)\"");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), error_tag); it != std::sregex_iterator(); ++it)
      ++expected[(*it)[1].str()];
    const Read got = read(xml);
    EXPECT_EQ(got.problem, "") << name;
    std::map<std::string, std::size_t> counted;
    for (const std::vector<std::string>& row : got.rows) ++counted[row[2]];
    EXPECT_EQ(counted, expected) << name;
    EXPECT_GT(counted.size(), 4U) << name;
  }
}

}  // namespace
