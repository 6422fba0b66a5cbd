#include "compiler/compiler_warnings_sarif_element.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/reader_rows.h"

using test_support::Rows;

namespace {

struct Read {
  Rows rows;
  std::string problem;
};

// filename, line, type, error_id, error_num of every row read from `json`.
Read read(const std::string& json) {
  Read read;
  read.rows = test_support::diagnostic_rows<QZCompilerWarningsSarifElement>(
      json, [&](std::istream& in, std::deque<QZCompilerWarningsSarifElement>& out) {
        read.problem = QZCompilerWarningsSarifElement::read_elements(in, out);
      });
  return read;
}

// A log of one run with these results (and these members of the run).
std::string log(const std::string& results, const std::string& run = "") {
  return R"({"version": "2.1.0", "runs": [{)" + run + (run.empty() ? "" : ", ") + R"("results": [)" + results +
         "]}]}";
}

const std::string at =
    R"("locations": [{"physicalLocation": {"artifactLocation": {"uri": "a.c"}, "region": {"startLine": 3}}}])";

TEST(SarifResults, RowRules) {
  const std::string rules =
      R"("tool": {"driver": {"name": "t", "rules": [{"id": "R0", "defaultConfiguration": {"level": "error"}},)"
      R"({"id": "R1"}, {"id": "R2", "defaultConfiguration": {"level": "none"}}]},)"
      R"("extensions": [{"name": "x", "rules": [{"id": "X9", "defaultConfiguration": {"level": "note"}}]}]})";
  const struct {
    std::string results;
    Rows expected;
  } cases[] = {
      {R"({"ruleId": "C6011", "level": "warning", )" + at + "}", {{"a.c", "3", "warning", "C6011", "6011"}}},
      {R"({"ruleId": "R0", "level": "none"}, {"ruleId": "R1", "level": "note"})",
       {{"", "", "note", "R0", "0"}, {"", "", "note", "R1", "1"}}},
      // Without a level: the rule's default (by index, else by identifier), else "warning".
      {R"({"ruleId": "R1", "ruleIndex": 0}, {"ruleId": "R0"}, {"ruleId": "R1"}, {"ruleId": "R2"}, {"ruleId": "R7"})",
       {{"", "", "error", "R1", "1"},
        {"", "", "error", "R0", "0"},
        {"", "", "warning", "R1", "1"},
        {"", "", "note", "R2", "2"},
        {"", "", "warning", "R7", "7"}}},
      {R"({"rule": {"index": 0, "toolComponent": {"index": 0}}}, {"rule": {"id": "R0"}, "ruleIndex": 9})",
       {{"", "", "note", "X9", "9"}, {"", "", "warning", "R0", "0"}}},
      // A result that is not a failure has the level "none" unless it says otherwise.
      {R"({"ruleId": "R0", "kind": "review"}, {"ruleId": "R0", "kind": "fail"}, {"ruleId": "R0", "kind": null})",
       {{"", "", "note", "R0", "0"}, {"", "", "error", "R0", "0"}, {"", "", "error", "R0", "0"}}},
      {R"({"kind": "pass"}, {"kind": "notApplicable", "level": "error"}, {"kind": "open", "level": "error"})",
       {{"", "", "error", "", ""}}},
      // A suppression counts unless it was rejected.
      {R"({"level": "error", "suppressions": [{"kind": "inSource"}]},)"
       R"({"level": "error", "suppressions": [{"status": "rejected"}, {"status": "underReview"}]},)"
       R"({"level": "error", "suppressions": [{"status": "rejected"}]},)"
       R"({"level": "error", "suppressions": [1, "x"]}, {"level": "error", "suppressions": []})",
       {{"", "", "error", "", ""}, {"", "", "error", "", ""}, {"", "", "error", "", ""}}},
      // The first location only; integers only as lines; values of other types pass.
      {R"({"level": "error", "locations": [{"message": {}}, )"
       R"({"physicalLocation": {"artifactLocation": {"uri": "b.c"}, "region": {"startLine": 4}}}]},)"
       R"({"level": 7, "ruleId": ["x"], "locations": [{"physicalLocation": {"region": {"startLine": 2.5}}}]},)"
       R"({"level": "error", "locations": [{"physicalLocation": {"region": {"startLine": "12"}}}]}, 5, "x", null)",
       {{"", "", "error", "", ""}, {"", "", "warning", "", ""}, {"", "", "error", "", ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.results);
    const Read got = read(log(c.results, rules));
    EXPECT_EQ(got.problem, "");
    EXPECT_EQ(got.rows, c.expected);
  }
}

// A run's rules and artifacts may follow its results (clang writes "tool"
// after "results"); each run has its own.
TEST(SarifResults, RunsResolveTheirOwnRulesAndArtifacts) {
  const std::string first =
      R"({"results": [{"ruleIndex": 0, "locations": [{"physicalLocation": {"artifactLocation": {"index": 1}}}]}],)"
      R"("artifacts": [{"location": {"uri": "x.c"}}, {"location": {"uri": "file:///w/Src/y.c"}}],)"
      R"("tool": {"driver": {"rules": [{"id": "deadcode.DeadStores", "defaultConfiguration": {"level": "note"}}]}}})";
  const std::string second =
      R"({"results": [{"ruleIndex": 0, "locations": [{"physicalLocation": {"artifactLocation": {"index": 0}}}]}]})";
  const Read got = read(R"({"runs": [)" + first + ", " + second + "]}");
  EXPECT_EQ(got.problem, "");
  EXPECT_EQ(got.rows, (Rows{{"y.c", "", "note", "deadcode.DeadStores", ""}, {"", "", "warning", "", ""}}));
  EXPECT_EQ(read(R"({"runs": null})").rows, Rows{});
  EXPECT_EQ(read(R"({"runs": [{}, {"results": null}]})").problem, "");
}

TEST(SarifResults, FilePaths) {
  const std::pair<std::string, std::string> cases[] = {
      {"file:///C:/work/Src/a%20b.c", "C:/work/Src/a b.c"},
      {"FILE:///home/w/a.c", "/home/w/a.c"},
      {"file://localhost/home/w/a.c", "/home/w/a.c"},
      {"file://server/share/a.c", "//server/share/a.c"},
      {"file:/home/w/a.c", "/home/w/a.c"},
      {"file:///C|/a.c", "/C|/a.c"},
      {"src/a%2Fb%25c%E2%82%AC.c", "src/a/b%c\xE2\x82\xAC.c"},
      {"a%2.c%zz%", "a%2.c%zz%"},
      {"https://example.com/a%20b.c", "https://example.com/a b.c"},
      {"", ""},
  };
  for (const auto& [uri, path] : cases) EXPECT_EQ(QZCompilerWarningsSarifElement::file_path(uri), path) << uri;
}

// A lone surrogate escape or a number beyond a double's range is JSON the
// parser cannot take: in a value the rows do not read it costs nothing; in
// one they read, that result's row. Both are named with where they stand.
TEST(SarifResults, ValuesTheParserCannotTakeCostAtMostTheirResult) {
  const std::string ok = R"({"ruleId": "R1", "level": "error", "message": {"text": "fine"}})";
  const struct {
    std::string results;
    Rows rows;
    std::vector<std::string> faults;
  } cases[] = {
      {R"({"ruleId": "R0", "level": "error", "message": {"text": "a \ud800 b"}}, )" + ok,
       {{"", "", "error", "R0", "0"}, {"", "", "error", "R1", "1"}},
       {"SARIF value holds a string escape that is not valid UTF-16 at line 1, column 99, offset 98, the value was "
        "passed over"}},
      {R"({"ruleId": "R0", "level": "error", "properties": {"big": 1e999, "small": -2E+400}}, )" + ok,
       {{"", "", "error", "R0", "0"}, {"", "", "error", "R1", "1"}},
       {"SARIF value is a number beyond a double's range at line 1, column 101, offset 100, the value was passed over",
        "SARIF value is a number beyond a double's range at line 1, column 117, offset 116, the value was passed "
        "over"}},
      {R"({"ruleId": "R\udc00", "level": "error"}, )" + ok,
       {{"", "", "error", "R1", "1"}},
       {"SARIF value holds a string escape that is not valid UTF-16 at line 1, column 55, offset 54, the result was "
        "skipped"}},
      {R"({"level": "error", "locations": [{"physicalLocation": {"region": {"startLine": 1e400}}}]}, )" + ok,
       {{"", "", "error", "R1", "1"}},
       {"SARIF value is a number beyond a double's range at line 1, column 123, offset 122, the result was skipped"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.results);
    std::istringstream in(log(c.results));
    std::deque<QZCompilerWarningsSarifElement> elements;
    std::vector<std::string> faults;
    EXPECT_EQ(QZCompilerWarningsSarifElement::read_elements(in, elements, faults), "");
    Rows rows;
    for (const auto& element : elements)
      rows.push_back({element.filename, element.line, element.type, element.error_id, element.error_num});
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(faults, c.faults);
  }
  // Every other fault still refuses the log.
  EXPECT_NE(read(log(R"({"level": "error", "x": "\q"})")).problem, "");
  EXPECT_NE(read(log(R"({"level": "error", "x": 01})")).problem, "");
  EXPECT_NE(read(log(R"({"level": "error", "x": "\ud80"})")).problem, "");
}

TEST(SarifResults, NotASarifLogSaysWhyAndGivesNoRow) {
  const std::string deep = std::string(1025, '[') + std::string(1025, ']');
  const std::string deep_enough = R"({"runs": [], "x": )" + std::string(1022, '[') + std::string(1022, ']') + "}";
  const std::pair<std::string, std::string> cases[] = {
      {"", "Empty: no JSON found"},
      {"{\"runs\": [{\"results\": [{\"level\": \"error\"}]}]", "The JSON document has an improper structure: "
                                                             "missing or superfluous commas, braces, missing keys, "
                                                             "etc. Stopped at line 1, column 45, offset 44"},
      {"{\"runs\": [{\"results\": [{\"level\": \"error\"}]}]}\n{}",
       "Unexpected trailing content in the JSON input. Stopped at line 2, column 1, offset 46"},
      {"{\"runs\": [],\n \"a\": \"b\xFF\"}", "The input is not valid UTF-8. Stopped at line 2, column 9, offset 21"},
      {"{\"runs\": [],\n \"a\": \"\t\"}",
       "Within strings, some characters must be escaped, we found unescaped characters. Stopped at line 2, column 8, "
       "offset 20"},
      {"{\"runs\": [],\n \"a\": \"b}", "A string is opened, but never closed. Stopped at line 2, column 7, offset 19"},
      {"{\"runs\": [], \"a\": [tru]}", "Problem while parsing an atom starting with the letter 't'. Stopped at line 1, "
                                        "column 20, offset 19"},
      {"{\"runs\": [], \"a\": \"\\x\"}", "Problem while parsing a string. Stopped at line 1, column 19, offset 18"},
      {deep, "The JSON document was too deep (too many nested objects and arrays). Stopped at line 1, column 1025, "
             "offset 1024"},
      {"[]", "the top-level value is not an object"},
      {"\"runs\"", "the top-level value is not an object"},
      {R"({"version": "2.1.0"})", "the top-level object has no \"runs\""},
      {R"({"runs": {"results": []}})", "\"runs\" is not an array"},
      {R"({"runs": [{"results": [{"level": "error"}]}], "x": {"runs": []}, "runs": 1})", "\"runs\" is not an array"},
      {deep_enough, ""},
  };
  for (const auto& [json, problem] : cases) {
    SCOPED_TRACE(json.substr(0, 80));
    const Read got = read(json);
    EXPECT_EQ(got.problem, problem);
    EXPECT_EQ(got.rows, Rows{});
  }
}

}  // namespace
