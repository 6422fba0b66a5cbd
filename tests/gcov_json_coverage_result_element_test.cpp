#include "coverage/gcov_json_coverage_result_element.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "support/gzip.h"

namespace {

using test_support::gzip;

struct Read {
  std::string rows;  // function_name, C0 percent/tested/testable, C1 percent/tested/testable, one row per line
  std::string problem;
};

Read read(const std::string& report) {
  std::istringstream in(report);
  std::vector<Coverage::coverage_row> rows(1);  // stale content must go
  Read result;
  result.problem = QZGcovJsonCoverageResultElement::read_rows(in, rows);
  for (const Coverage::coverage_row& r : rows) {
    result.rows += r.function_name + " " + r.C0_percent + "/" + r.C0_tested_lines + "/" + r.C0_testable_lines + " " +
                   r.C1_percent + "/" + r.C1_tested_lines + "/" + r.C1_testable_lines + "\n";
  }
  return result;
}

// A document of gcov's shape with `files` as its files.
std::string document(const std::string& files) {
  return R"({"format_version": "1", "gcc_version": "12.2.0", "files": [)" + files + "]}";
}

// A line entry of gcov's shape; `branches` the counts of its branches.
std::string line(int number, long long count, const std::string& branches = "") {
  std::string entry = R"({"branches": [)";
  std::string separator;
  std::istringstream counts(branches);
  for (std::string branch; counts >> branch; separator = ", ")
    entry += separator + R"({"fallthrough": true, "count": )" + branch + R"(, "throw": false})";
  return entry + "], \"count\": " + std::to_string(count) + ", \"line_number\": " + std::to_string(number) +
         R"(, "unexecuted_block": false, "function_name": "f"})";
}

std::string file(const std::string& name, const std::string& lines) {
  return R"({"lines": [)" + lines + R"(], "functions": [], "file": ")" + name + "\"}";
}

const std::string header_in_a = file("h.h", line(1, 0, "0 0") + ", " + line(2, 0));
const std::string header_in_b = file("h.h", line(1, 3, "0 5 0") + ", " + line(3, 0));

const struct {
  std::string name;
  std::string report;
  Read expected;
} cases[] = {
    {"no files", document(""), {"", ""}},
    // A line listed by several functions (template copies) is one line, hit
    // by any copy; its branches count once per position, taken by any copy.
    {"copies of a line",
     document(file("t.hpp", line(5, 0, "0 1") + ", " + line(5, 2, "1 0") + ", " + line(6, 0, "0 0 0") + ", " +
                            line(6, 0, "0"))),
     {"t.hpp 50/1/2 40/2/5\n*module_statistics 50/1/2 40/2/5\n", ""}},
    // A header in the documents of two data files is one row, at its first place.
    {"header merged across documents",
     document(file("a.c", line(1, 1)) + ", " + header_in_a) + "\n" + document(header_in_b + ", " + file("b.c", line(1, 0))),
     {"a.c 100/1/1 //\nh.h 33/1/3 33/1/3\nb.c 0/0/1 //\n*module_statistics 40/2/5 33/1/3\n", ""}},
    {"documents without line feeds between them", document(header_in_a) + document(header_in_b),
     {"h.h 33/1/3 33/1/3\n*module_statistics 33/1/3 33/1/3\n", ""}},
    // The system's and the compiler's headers give no row and no total.
    {"system headers",
     document(file("/usr/include/c++/12/bits/stl_vector.h", line(1, 1)) + ", " +
              file("/usr/lib/gcc/x86_64-linux-gnu/12/include/stddef.h", line(1, 1)) + ", " +
              file("/usr/local/include/x.h", line(1, 1)) + ", " + file("/usr/src/app/a.c", line(1, 0)) + ", " +
              file("/usr/includes/b.c", line(1, 1))),
     {"/usr/src/app/a.c 0/0/1 //\n/usr/includes/b.c 100/1/1 //\n*module_statistics 50/1/2 //\n", ""}},
    {"only system headers", document(file("/usr/include/stdio.h", line(1, 1))), {"", ""}},
    {"a file without lines", document(file("e.h", "")), {"e.h /0/0 //\n*module_statistics /0/0 //\n", ""}},
    // Counts are gcov's signed 64-bit counters; larger ones still count as hit.
    {"counts",
     document(file("c.c", line(1, -5, "-1 18446744073709551615") + ", " +
                              R"({"line_number": 2, "count": 18446744073709551615, "branches": []})")),
     {"c.c 50/1/2 50/1/2\n*module_statistics 50/1/2 50/1/2\n", ""}},
    // Members in any order, escaped keys and names, other members passed over.
    {"member order",
     R"({"files": [{"file": "d\u002ec", "lines": [{"count": 1, "line_number": 7, "extra": [1, {"a": 2}]}]}],)"
     R"( "format_version": "1", "current_working_directory": "/w"})",
     {"d.c 100/1/1 //\n*module_statistics 100/1/1 //\n", ""}},
    {"gzip", gzip(document(file("a.c", line(1, 1)))), {"a.c 100/1/1 //\n*module_statistics 100/1/1 //\n", ""}},
    {"joined gzip files", gzip(document(header_in_a)) + gzip(document(header_in_b)),
     {"h.h 33/1/3 33/1/3\n*module_statistics 33/1/3 33/1/3\n", ""}},

    // Input that is not gcov JSON gives no rows, not even those of good documents before it.
    {"empty", "", {"", "no JSON document"}},
    {"not JSON", "SF:a.c\nend_of_record\n", {"", "The JSON document has an improper structure: missing or superfluous commas, "
                                                 "braces, missing keys, etc."}},
    {"array", "[]", {"", "the top-level value is not an object"}},
    {"other version", R"({"format_version": "2", "files": []})", {"", R"("format_version" is "2", not "1")"}},
    {"no version", R"({"files": []})", {"", R"(no "format_version")"}},
    {"no files member", R"({"format_version": "1"})", {"", R"(no "files")"}},
    {"line without count", document(file("a.c", R"({"line_number": 1})")), {"", R"(line 1 of a.c without "count")"}},
    {"line without number", document(file("a.c", R"({"count": 1})")), {"", R"(a line of a.c without "line_number")"}},
    {"negative line number", document(file("a.c", R"({"count": 1, "line_number": -1})")),
     {"", R"(a "line_number" of a.c: The JSON element does not have the requested type.)"}},
    {"file without name", document(R"({"lines": []})"),
     {"", R"(the "file" of an entry of "files": The JSON field referenced does not exist in this object.)"}},
    {"second document fails", document(file("a.c", line(1, 1))) + "\n" + R"({"format_version": "1"})" + "\n",
     {"", R"(document 2: no "files")"}},
    {"last document cut short", document(file("a.c", line(1, 1))) + "\n" + document(file("b.c", line(1, 1))).substr(0, 40),
     {"", "the last document is cut short"}},
    {"gzip cut short", gzip(document(file("a.c", line(1, 1)))).substr(0, 30), {"", "the gzip stream is cut short"}},
};

TEST(GcovJsonReport, Rows) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Read result = read(c.report);
    EXPECT_EQ(result.rows, c.expected.rows);
    EXPECT_EQ(result.problem, c.expected.problem);
  }
}

// Documents of many lines, longer than the batches the lines of gcov's own
// documents are read in, read whole: the same rows as on one line.
TEST(GcovJsonReport, LargeDocumentsOverSeveralLines) {
  std::string lines;
  for (int number = 1; number <= 100'000; ++number) lines += (number == 1 ? "" : ",\n") + line(number, number % 4, "0 1");
  const std::string several_lines = document(file("big.c", lines));
  std::string one_line = several_lines;
  std::replace(one_line.begin(), one_line.end(), '\n', ' ');
  const std::string expected = "big.c 75/75000/100000 50/100000/200000\n*module_statistics 75/75000/100000 50/100000/200000\n";
  ASSERT_GT(one_line.size(), std::size_t{16} << 20);
  for (const std::string& report : {one_line, one_line + "\n" + one_line, several_lines + "\n" + several_lines}) {
    const Read result = read(report);
    EXPECT_EQ(result.rows, expected);
    EXPECT_EQ(result.problem, "");
  }
  EXPECT_EQ(read(several_lines + "\n" + several_lines.substr(0, 100)).problem, "the last document is cut short");
}

TEST(GcovJsonReport, SystemFiles) {
  const struct {
    std::string path;
    bool system;
  } paths[] = {
      {"/usr/include/stdio.h", true},  {"/usr/lib/gcc/x86_64-linux-gnu/12/include/stddef.h", true},
      {"/usr/local/include/a.h", true}, {"/usr/src/project/a.c", false},
      {"/usr/local/src/a.c", false},    {"usr/include/a.h", false},
      {"/usr/include", false},          {"src/a.c", false},
  };
  for (const auto& c : paths) EXPECT_EQ(QZGcovJsonCoverageResultElement::is_system_file(c.path), c.system) << c.path;
}

}  // namespace
