// Huge and hostile inputs: a 10 MB line, backtracking bait and raw bytes in
// every parser type. Nothing may crash, hang or go missing: the line either
// converts or is reported as given up, and every other line still converts.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "support/files.h"
#include "support/program.h"
#include "support/sqlite_db.h"

using namespace test_support;

namespace {

struct HostileCase {
  std::string parser_type;
  std::function<std::string(const std::string& filler)> hostile_lines;  // the hostile record, from line 1
  std::string other_lines;  // ordinary records after it
  std::string unit;         // counted once per converted record (or file)
  int units;                // with the hostile record converted
  bool nul_ends_line = false;  // the reader cuts a line at a NUL byte
};

const std::string sql_row = "\ninsert into ";

// `text` as the content of a JSON string: control bytes, bytes past ASCII,
// quotes and backslashes escaped (JSON holds no raw control bytes or invalid UTF-8).
std::string json_escaped(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    char code[8];
    std::snprintf(code, sizeof code, "\\u%04x", byte);
    escaped += byte < 0x20 || byte >= 0x7f || c == '"' || c == '\\' ? std::string(code) : std::string(1, c);
  }
  return escaped;
}

const HostileCase cases[] = {
    {"PassFail", [](const std::string& f) { return "  Test: t_" + f + " ...passed\n"; },
     "  Test: t_after ...FAILED\n", sql_row, 2},
    {"CTC_Coverage",
     [](const std::string& f) { return "***TER  50 % (  1/  2) of FUNCTION f" + f + "()\n       100 % (  3/  3) statement\n"; },
     "***TER 100 % (  1/  1) of FUNCTION after()\n       100 % (  2/  2) statement\n", sql_row, 2, true},
    {"GCOV_Coverage", [](const std::string& f) { return "<tr><td>Lines:</td><td>1</td><td>2</td><td>50" + f + "</td></tr>\n"; },
     "<tr><td>Lines:</td><td>3</td><td>4</td><td>75.0 %</td></tr>\n", sql_row, 2},
    {"QAC",
     [](const std::string& f) { return "D:\\b\\Src_QZ\\a.c (12) : warning : QAC(Prio5) Msg: 3408(" + f + ".) Ref:MISRA C:2012 Rule-8.4\n"; },
     "D:\\b\\Src_QZ\\after.c (3) : error : QAC(Prio9) Msg: 1(Text.) Ref: \n", sql_row, 2},
    {"QAC_full_report",
     [](const std::string& f) { return "D:\\b\\Src_QZ\\a.c (12) : warning : QAC(Prio5) Msg: 3408(" + f + ".) Ref:MISRA C:2012 Rule-8.4\n"; },
     "D:\\b\\Src_QZ\\after.c (3) : error : QAC(Prio9) Msg: 1(Text.) Ref: \n", "\n[filename]: ", 2},
    {"Warning", [](const std::string& f) { return "\"../Src/" + f + ".c\", line 57: warning #179-D:\n"; },
     "\"../Src/after.c\", line 1: error #20:\n", sql_row, 2},
    {"Map", [](const std::string& f) { return "00001000+000200 .text " + f + "\n"; }, "00002000+000010 .data after.o\n",
     sql_row, 2},
    {"Map_KEIL",
     [](const std::string& f) { return "    " + f + " 0x00000400   Thumb Code    78  system.o(.text)\n"; },
     "    After 0x00000800   Data    4  after.o(.data)\n", sql_row, 2},
    {"Map_GNU",
     [](const std::string& f) { return "Linker script and memory map\n .text.long\n                0x00001000 0x200 " + f + "\n"; },
     " .data          0x00002000       0x10 after.o\n", sql_row, 2},
    {"LCOV_Coverage", [](const std::string& f) { return "SF:/src/" + f + ".c\nDA:1,1\nend_of_record\n"; },
     "SF:/src/after.c\nDA:1,0\nend_of_record\n", sql_row, 3},  // two records and the module row
    // A NUL byte is never well-formed XML (that input gives the message alone).
    {"PassFail_XML",
     [](const std::string& f) {
       std::string comment = f;
       std::erase(comment, '\0');
       return "<testsuite>\n<testcase name=\"t\"><system-out><!--" + comment + "--></system-out></testcase>\n";
     },
     "<testcase name=\"after\"/>\n</testsuite>\n", sql_row, 2},
    {"Cobertura_Coverage",
     [](const std::string& f) {
       std::string comment = f;
       std::erase(comment, '\0');
       return "<coverage>\n<class filename=\"a.c\"><lines><line number=\"1\" hits=\"1\"/><!--" + comment +
              "--></lines></class>\n";
     },
     "<class filename=\"after.c\"><lines><line number=\"1\" hits=\"0\"/></lines></class>\n</coverage>\n", sql_row,
     3},  // two files and the module row
    {"ClangTidy", [](const std::string& f) { return "src/a.cpp:10:5: warning: " + f + " [modernize-use-nullptr]\n"; },
     "src/after.cpp:1:1: error: after [misc-after]\n", "onclick=\"toggleInfo(", 2},
    {"ClangTidy_all", [](const std::string& f) { return "src/a.cc:10:5: warning: " + f + " [modernize-use-nullptr]\n"; },
     "src/after.hpp:1:1: error: after [misc-after]\n", "onclick=\"toggleInfo(", 2},
    {"Warning_GCC", [](const std::string& f) { return "src/a.c:10:5: warning: " + f + " [-Wunused]\n"; },
     "src/after.c:1: fatal error: after.h: No such file or directory\n", sql_row, 2},
    {"Warning_TI",
     [](const std::string& f) { return "\"../Src/a.c\", line 57 (col. 3): warning #179-D: " + f + "\n"; },
     "\"../Src/after.c\", line 1: error (dcc:1521): after\n", sql_row, 2},
    {"PassFail_Unity", [](const std::string& f) { return f + ".c:12:test_a:FAIL: " + f + "\n"; },
     "tests/after.c:3:test_after:PASS\n1 Tests 0 Failures 0 Ignored\n", sql_row, 2},
    // Test output left without a line end before the verdict.
    {"PassFail_GTest", [](const std::string& f) { return "[ RUN      ] A.b\n" + f + "[       OK ] A.b (0 ms)\n"; },
     "[  FAILED  ] A.after (1 ms)\n", sql_row, 2},
    {"PassFail_CTest",
     [](const std::string& f) { return "1/2 Test #1: " + f + " .....   Passed    0.01 sec\n"; },
     "2/2 Test #2: after .....***Failed    0.01 sec\n", sql_row, 2},
    {"Warning_MSVC", [](const std::string& f) { return "C:\\w\\Src\\a.c(10,5): warning C4996: " + f + "\n"; },
     "after.c(1): error: after [-Wx] [C:\\w\\a.vcxproj]\n", sql_row, 2},
    // JSON holds no raw control bytes or invalid UTF-8: the hostile text is a string's escaped content.
    {"Warning_SARIF",
     [](const std::string& f) {
       std::string text;
       for (const char c : f) {
         const auto byte = static_cast<unsigned char>(c);
         char escaped[8];
         std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
         text += byte < 0x20 || byte >= 0x7f || c == '"' || c == '\\' ? std::string(escaped) : std::string(1, c);
       }
       return R"({"runs": [{"results": [{"ruleId": "R1", "message": {"text": ")" + text + "\"}},\n";
     },
     "{\"ruleId\": \"R2\", \"level\": \"error\"}]}]}\n", sql_row, 2},
    // A NUL byte is never well-formed XML (that input gives the message alone).
    {"Warning_Cppcheck",
     [](const std::string& f) {
       std::string comment = f;
       std::erase(comment, '\0');
       return "<results version=\"2\"><errors>\n<error id=\"a\" severity=\"style\" msg=\"m\">"
              "<location file=\"a.c\" line=\"1\"/><!--" +
              comment + "--></error>\n";
     },
     "<error id=\"after\" severity=\"error\" msg=\"m\"/>\n</errors></results>\n", sql_row, 2},
    {"Warning_IAR", [](const std::string& f) { return "\"C:\\w\\Src\\a.c\",10  Warning[Pe177]: " + f + "\n"; },
     "Error[Li005]: after\n", sql_row, 2},
    {"Map_IAR",
     [](const std::string& f) {
       return "*** PLACEMENT SUMMARY\n  Section  Kind  Address  Size  Object\n"
              "  .text  ro code   0x800'0000   0x4  " + f + "\n";
     },
     "  .data  inited   0x2000'0000   0x4  after.o\n", sql_row, 2},
    // The hostile text is a file name; two documents give two files and the module row.
    {"GCOV_JSON_Coverage",
     [](const std::string& f) {
       return R"({"format_version": "1", "files": [{"file": ")" + json_escaped(f) +
              R"(", "lines": [{"line_number": 1, "count": 1}]}]})" + "\n";
     },
     R"({"format_version": "1", "files": [{"file": "after.c", "lines": [{"line_number": 1, "count": 0}]}]})" "\n",
     sql_row, 3},
    {"LLVM_Coverage",
     [](const std::string& f) {
       return R"({"data": [{"files": [{"filename": ")" + json_escaped(f) +
              R"(", "segments": [[1, 2]], "summary": {"lines": {"count": 2, "covered": 1}}},)" + "\n";
     },
     R"({"filename": "after.c", "summary": {"lines": {"count": 1, "covered": 1}}}], "functions": [],)"
     R"( "totals": {"lines": {"count": 3, "covered": 2}}}], "type": "llvm.coverage.json.export", "version": "2.0.1"})"
     "\n",
     sql_row, 3},
    // The test's own output between its name and its time.
    {"PassFail_CppUTest", [](const std::string& f) { return "TEST(A, b)" + f + " - 0 ms\n"; },
     "TEST(A, after)\na.c:1: error: Failure in TEST(A, after)\n - 1 ms\nErrors (1 failures, 2 tests)\n", sql_row, 2},
};

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

void expect_nothing_lost(const HostileCase& c, const std::string& filler, const std::string& what,
                         int units_lost = 0) {
  SCOPED_TRACE(c.parser_type + ", " + what);
  TempDir dir;
  write_file(dir.file("in"), c.hostile_lines(filler) + c.other_lines);
  const RunResult run = run_program(standard_args(c.parser_type, dir.file("in"), dir.file("out")));
  ASSERT_EQ(run.exit_status, 0);
  const std::string output = read_file(dir.file("out"));
  const bool gave_up = run.out.find("VIViriZovuro error: Pattern matching gave up on input line 1,") != std::string::npos;
  EXPECT_EQ(count(output, c.unit), static_cast<std::size_t>(c.units - units_lost - (gave_up ? 1 : 0)));
  ASSERT_FALSE(output.empty());
  EXPECT_EQ(output.back(), '\n');
  if (c.unit == sql_row) {
    SqliteDb db;
    EXPECT_EQ(db.exec(output), "");
  }
}

class Hostile : public testing::TestWithParam<HostileCase> {};

TEST_P(Hostile, TenMegabyteLine) { expect_nothing_lost(GetParam(), std::string(10'000'000, 'x'), "10 MB line"); }

TEST_P(Hostile, BacktrackingBait) {
  std::string bait;
  while (bait.size() < 5'000'000) bait += "[a.c:1:2: .) ] x.cpp (1) : Ref: ";
  expect_nothing_lost(GetParam(), bait, "bait");
}

TEST_P(Hostile, RawBytes) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) {
    if (i != '\n' && i != '\r') bytes += static_cast<char>(i);
  }
  // A CTC++ line cut at its NUL loses the rest of the function's line.
  expect_nothing_lost(GetParam(), bytes, "bytes 0-255", GetParam().nul_ends_line ? 1 : 0);
}

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.parser_type; }

INSTANTIATE_TEST_SUITE_P(AllParserTypes, Hostile, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<HostileCase>& tested) { return tested.param.parser_type; });

}  // namespace
