#include "compiler/compiler_warnings_ti_element.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "compiler/compiler_warnings_element.h"
#include "support/reader_rows.h"
#include "support/pattern_differential.h"

using test_support::Rows;

namespace {

Rows read(const std::string& log) {
  return test_support::diagnostic_rows<QZCompilerWarningsTiElement>(log, QZCompilerWarningsTiElement::read_elements);
}

TEST(TiDiagnosticHeader, ExampleTable) {
  const struct {
    std::string line;
    Rows expected;
  } cases[] = {
      {R"("C:\SCM\src\fxns.c", line 341: remark #880-D: parameter "params" was never referenced)",
       {{R"(C:\SCM\src\fxns.c)", "341", "remark", "#880-D", "880"}}},
      {R"("i2cDisplay12x2.c", line 12: warning: variable "h" was declared but never referenced)",
       {{"i2cDisplay12x2.c", "12", "warning", "", ""}}},
      {R"("D:/ws/Src/mytest.c", line 639 (col. 10): warning #11-D: unrecognized preprocessing directive)",
       {{"mytest.c", "639", "warning", "#11-D", "11"}}},
      {R"("i2cDisplay12x2.c", line 3: fatal error: could not)", {{"i2cDisplay12x2.c", "3", "error", "", ""}}},
      {R"("a.c", line 12: warning (dcc:1521): missing return expression)",
       {{"a.c", "12", "warning", "(dcc:1521)", "1521"}}},
      {R"("a.cpp", line 29: warning #177-D: label)", {{"a.cpp", "29", "warning", "#177-D", "177"}}},
      {R"("../Src/a.c", line 1: error #20:)", {{"a.c", "1", "error", "#20", "20"}}},
      {"\"a.c\",\tline  007 (col.\t3):  fatal \t error  #1965 :\tx", {{"a.c", "007", "error", "#1965", "1965"}}},
      {R"("a.c", line 3: warning dcc:1521: x)", {{"a.c", "3", "warning", "dcc", ""}}},  // up to the first colon
      {R"("a.c", line 3: warning (x) y: z)", {{"a.c", "3", "warning", "(x) y", ""}}},
      {R"("a.c", line 3: warning #225-D: function "f", declared)", {{"a.c", "3", "warning", "#225-D", "225"}}},
      {R"([2019-08-28T08:44:26.749Z] "a.c", line 3: remark #1: x)", {{"a.c", "3", "remark", "#1", "1"}}},
      {"\x1b[1m\"a.c\", line 4: \x1b[35mwarning #179-D:\x1b[0m x", {{"a.c", "4", "warning", "#179-D", "179"}}},
      {"\"a.c\", line 3: warning" + std::string(200'000, ' ') + "#1" + std::string(200'000, ' ') + ": x",
       {{"a.c", "3", "warning", "#1", "1"}}},  // long runs of blanks, which a pattern can be slow enough on to give up
      {R"("a.asm", ERROR!   at line 5: [E0002] Invalid mnemonic "movx")", {}},
      {R"(error #10234-D: unresolved symbols remain)", {}},
      {R"(warning #10210-D: creating ".stack" section with default size)", {}},
      {R"("a.c", line 3: warnings #1: x)", {}},
      {R"("a.c", line 3: Warning #1: x)", {{"a.c", "3", "warning", "#1", "1"}}},
      {R"("main.cpp", line 21: Error:  #5: cannot open source input file)", {{"main.cpp", "21", "error", "", ""}}},
      {R"("a.c", line 2: FATAL  Error #7: x)", {{"a.c", "2", "error", "#7", "7"}}},
      {R"("a.c", line 2: ReMark #7: x)", {{"a.c", "2", "remark", "#7", "7"}}},
      {R"("a.c", line 3: warning #1 x)", {}},
      {R"("a.c" line 3: warning #1: x)", {}},
      {R"([a] [b] "a.c", line 3: warning #1: x)", {}},  // one prefix only
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.line + "\n"), c.expected) << c.line;
}

// Every line that Warning reads gives the same filename, line, type and
// error_id here, but for an identifier that Warning runs across a colon.
TEST(TiDiagnosticHeader, ReadsEveryWarningHeaderAsWarningDoes) {
  std::string log =
      "\"a.c\", line 3: warning :\n\"a\"b.c\", line 3: error E1:\n\"a.c\",\tline\t3:\twarning\t#1:\n"
      "\"../Src/b.c\", line 8: warning #552-D:  \t \n\"x:y\", line 1: error #1: x: \n";
  for (const auto& entry : std::filesystem::directory_iterator(std::string(VIVIRI_FIXTURES) + "/Warning")) {
    if (entry.path().extension() != ".input") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    log += std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()) + "\n";
  }
  std::istringstream lines(log);
  int compared = 0;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream warning_in(line);
    std::deque<QZCompilerWarningsElement> warning;
    QZCompilerWarningsElement::GetQZCompilerWarningsElements(warning_in, warning);
    if (warning.empty()) continue;
    const QZCompilerWarningsElement& w = warning.front();
    Rows ti = read(line);
    ASSERT_EQ(ti.size(), 1u) << line;
    ti[0].pop_back();  // error_num follows its own rule
    EXPECT_EQ(ti[0], (std::vector<std::string>{w.filename, w.line, w.type, w.error_id.substr(0, w.error_id.find(':'))}))
        << line;
    ++compared;
  }
  EXPECT_GT(compared, 10);
}

INSTANTIATE_TEST_SUITE_P(CompilerWarningsTi, PatternDifferential,
                         testing::Values(PatternCase{
                             "ti_diagnostic_header",
                             &QZCompilerWarningsTiElement::header_pattern,
                             {R"("../Src/app/main.c", line 57: warning #179-D: variable "x" was declared)",
                              "[2019-08-28T08:44:26.749Z] \"a.c\",\tline 639 (col. 10):  fatal  error:",
                              R"("x:y", line 1: remark (dcc:1521) : x: )"}}),
                         pattern_case_name);

}  // namespace
