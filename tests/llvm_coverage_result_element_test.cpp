#include "coverage/llvm_coverage_result_element.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/gzip.h"

namespace {

struct Read {
  std::string rows;  // function_name, C0 percent/tested/testable, C1 percent/tested/testable, one row per line
  std::string problem;
};

Read read(const std::string& report) {
  std::istringstream in(report);
  std::vector<Coverage::coverage_row> rows(1);  // stale content must go
  Read result;
  result.problem = QZLlvmCoverageResultElement::read_rows(in, rows);
  for (const Coverage::coverage_row& r : rows) {
    result.rows += r.function_name + " " + r.C0_percent + "/" + r.C0_tested_lines + "/" + r.C0_testable_lines + " " +
                   r.C1_percent + "/" + r.C1_tested_lines + "/" + r.C1_testable_lines + "\n";
  }
  return result;
}

// A summary of llvm-cov's shape: lines and branches as covered/count.
std::string summary(int lines_covered, int lines, int branches_covered, int branches) {
  const auto tally = [](int covered, int count) {
    return R"({"count": )" + std::to_string(count) + R"(, "covered": )" + std::to_string(covered) +
           R"(, "notcovered": )" + std::to_string(count - covered) + R"(, "percent": 0})";
  };
  return R"({"branches": )" + tally(branches_covered, branches) + R"(, "functions": {"count": 1, "covered": 1},)" +
         R"( "lines": )" + tally(lines_covered, lines) + R"(, "regions": )" + tally(1, 2) + "}";
}

// A file with the details of a full export around its name and summary.
std::string file(const std::string& name, const std::string& file_summary) {
  return R"({"branches": [[8, 7, 8, 15, 0, 1, 0, 0, 4]], "expansions": [], "filename": ")" + name +
         R"(", "segments": [[4, 33, 1, true, true, false]], "summary": )" + file_summary + "}";
}

std::string one_export(const std::string& files, const std::string& totals) {
  return R"({"files": [)" + files + R"(], "functions": [{"name": "f", "count": 1, "regions": [[1, 2, 3]]}], "totals": )" +
         totals + "}";
}

std::string report(const std::string& exports, const std::string& header = R"("type": "llvm.coverage.json.export", "version": "2.0.1")") {
  return R"({"data": [)" + exports + "], " + header + "}";
}

const std::string two_files =
    one_export(file("/src/a.c", summary(3, 4, 1, 2)) + ", " + file("/src/b.h", summary(0, 0, 0, 0)), summary(3, 4, 1, 2));

const struct {
  std::string name;
  std::string report;
  Read expected;
} cases[] = {
    // A file with nothing to count gives its row with empty percents.
    {"full export", report(two_files),
     {"/src/a.c 75/3/4 50/1/2\n/src/b.h /0/0 /0/0\n*module_statistics 75/3/4 50/1/2\n", ""}},
    {"header first, members in another order",
     R"({"version": "2.0.0", "type": "llvm.coverage.json.export", "data": [{"totals": )" + summary(1, 3, 0, 0) +
         R"(, "files": [{"summary": )" + summary(1, 3, 0, 0) + R"(, "filename": "x\u002ec"}]}]})",
     {"x.c 33/1/3 /0/0\n*module_statistics 33/1/3 /0/0\n", ""}},
    // The module row is the export's totals, not a sum of the files.
    {"totals as written", report(one_export(file("a.c", summary(1, 2, 0, 0)), summary(7, 9, 2, 3))),
     {"a.c 50/1/2 /0/0\n*module_statistics 77/7/9 66/2/3\n", ""}},
    {"several exports", report(two_files + ", " + one_export(file("c.c", summary(1, 1, 1, 1)), summary(1, 1, 1, 1))),
     {"/src/a.c 75/3/4 50/1/2\n/src/b.h /0/0 /0/0\nc.c 100/1/1 100/1/1\n*module_statistics 80/4/5 66/2/3\n", ""}},
    // Summaries from before llvm counted branches.
    {"no branch summary",
     report(one_export(R"({"filename": "a.c", "summary": {"lines": {"count": 2, "covered": 1}}})",
                       R"({"lines": {"count": 2, "covered": 1}})")),
     {"a.c 50/1/2 //\n*module_statistics 50/1/2 //\n", ""}},
    {"no files", report(one_export("", summary(0, 0, 0, 0))), {"*module_statistics /0/0 /0/0\n", ""}},
    {"gzip", test_support::gzip(report(two_files)),
     {"/src/a.c 75/3/4 50/1/2\n/src/b.h /0/0 /0/0\n*module_statistics 75/3/4 50/1/2\n", ""}},

    // The details are passed over whatever they hold: brackets and quotes in
    // strings, nesting, a "branches" that is the summary's object.
    {"details with brackets in strings",
     report(one_export(R"({"segments": [[1, 2, "]\"[", [[]]]], "filename": "a]\"[.c", "expansions": [{"filenames": ["x[.c"]}],)"
                       R"( "summary": )" + summary(1, 2, 1, 2) + "}",
                       summary(1, 2, 1, 2)) +
            R"(, {"functions": [{"name": "f]\\", "regions": [[1, 2]]}], "files": [], "totals": )" + summary(0, 0, 0, 0) + "}"),
     {"a]\"[.c 50/1/2 50/1/2\n*module_statistics 50/1/2 50/1/2\n", ""}},
    {"details cut short", report(one_export(file("a.c", summary(1, 2, 1, 2)), summary(1, 2, 1, 2))).substr(0, 80),
     {"", "JSON document ended early in the middle of an object or array."}},

    {"empty", "", {"", "Empty: no JSON found"}},
    {"array", "[]", {"", "the top-level value is not an object"}},
    {"no type", R"({"data": [], "version": "2.0.1"})", {"", R"(no "type")"}},
    {"other type", report(two_files, R"("type": "llvm.coverage.json.summary", "version": "2.0.1")"),
     {"", R"("type" is "llvm.coverage.json.summary")"}},
    {"other version", report(two_files, R"("type": "llvm.coverage.json.export", "version": "3.0.0")"),
     {"", R"("version" is "3.0.0", not 2.x)"}},
    {"version 20", report(two_files, R"("type": "llvm.coverage.json.export", "version": "20.1")"),
     {"", R"("version" is "20.1", not 2.x)"}},
    {"no version", report(two_files, R"("type": "llvm.coverage.json.export")"), {"", R"(no "version")"}},
    {"no data", R"({"type": "llvm.coverage.json.export", "version": "2.0.1"})", {"", R"(no "data")"}},
    {"no totals", report(R"({"files": []})"), {"", R"(an entry of "data" without "totals")"}},
    {"file without name", report(one_export(R"({"summary": )" + summary(1, 1, 0, 0) + "}", summary(1, 1, 0, 0))),
     {"", R"(an entry of "files" without "filename")"}},
    {"file without lines", report(one_export(R"({"filename": "a.c", "summary": {}})", summary(1, 1, 0, 0))),
     {"", R"(a file's "summary" without "lines")"}},
    {"count not a number", report(one_export(file("a.c", R"({"lines": {"count": "2", "covered": 1}})"), summary(1, 1, 0, 0))),
     {"", R"(a file's "summary"'s "lines": The JSON element does not have the requested type.)"}},
    {"cut short", report(two_files).substr(0, 200), {"", "JSON document ended early in the middle of an object or array."}},
    {"data after the export", report(two_files) + " {}", {"", "other data follows the export"}},
};

TEST(LlvmExport, Rows) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Read result = read(c.report);
    EXPECT_EQ(result.rows, c.expected.rows);
    EXPECT_EQ(result.problem, c.expected.problem);
  }
}

}  // namespace
