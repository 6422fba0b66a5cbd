#include "compiler/compiler_warnings_gcc_element.h"

#include <gtest/gtest.h>

#include <sstream>

#include "detail/colour.h"
#include "support/reader_rows.h"
#include "support/pattern_differential.h"

using test_support::Rows;

namespace {

// filename, line, type, error_id of every record read from `log`; GCC's
// diagnostics have no error number.
Rows read(const std::string& log) {
  Rows rows =
      test_support::diagnostic_rows<QZCompilerWarningsGccElement>(log, QZCompilerWarningsGccElement::read_elements);
  for (std::vector<std::string>& row : rows) {
    EXPECT_EQ(row.back(), "");
    row.pop_back();
  }
  return rows;
}

TEST(GccDiagnosticLine, ExampleTable) {
  const struct {
    std::string line;
    Rows expected;
  } cases[] = {
      {"src/a.c:12:5: warning: unused variable 'x' [-Wunused-variable]",
       {{"src/a.c", "12", "warning", "-Wunused-variable"}}},
      {"/w/Src/app/a.c:3: error: expected ';' before '}' token", {{"app/a.c", "3", "error", ""}}},
      {"a.c:2:10: fatal error: x.h: No such file or directory", {{"a.c", "2", "error", ""}}},
      {"a.c:4:9: error: unused variable 'y' [-Werror=unused-variable]",
       {{"a.c", "4", "error", "-Werror=unused-variable"}}},
      {"a.c:1:1: warning: 'f' [enabled by default]  ", {{"a.c", "1", "warning", "enabled by default"}}},
      {"a.c:9:3: warning: of 'int[5]' [-Warray-bounds]", {{"a.c", "9", "warning", "-Warray-bounds"}}},
      {"a.c:9:3: warning: subscript of 'int[5]'", {{"a.c", "9", "warning", ""}}},
      {"a.c:7:1: error: expected ']' [x] before y", {{"a.c", "7", "error", ""}}},
      {R"(C:\work\Src\a.c:7:2: warning: w [-Wx])", {{R"(C:\work\Src\a.c)", "7", "warning", "-Wx"}}},
      {"C:/my files/Src/b c.c:7:2: warning: w", {{"b c.c", "7", "warning", ""}}},
      {"a:b.c:1:2: warning: w", {{"a:b.c", "1", "warning", ""}}},
      {"a.c:1:x.c:5:6: warning: w", {{"a.c:1:x.c", "5", "warning", ""}}},  // the first ":LINE:" that fits
      {"a.c:5:6: warning: at b.c:7:8: warning: w", {{"a.c", "5", "warning", ""}}},
      {"[2019-08-28T08:44:26.749Z] src/a.c:3:4: warning: w [-Wy]", {{"src/a.c", "3", "warning", "-Wy"}}},
      {"     [exec] /src/a.c:12: warning: w", {{"/src/a.c", "12", "warning", ""}}},  // Ant in a Jenkins log
      {" \t[exec]   a.c:1:2: error: e", {{"a.c", "1", "error", ""}}},
      {"   src/a.c:1:2: warning: w", {{"src/a.c", "1", "warning", ""}}},
      {"[exec]  [ts] a.c:1:2: warning: w", {{"[ts] a.c", "1", "warning", ""}}},  // one prefix only
      {std::string(200'001, ' ') + "x" + std::string(200'000, ' ') + "error: e", {}},
      {"\x1b[01m\x1b[Ka.c:5:7:\x1b[m\x1b[K \x1b[01;35m\x1b[Kwarning: \x1b[m\x1b[Kw [\x1b[01;35m\x1b[K-Wz\x1b[m\x1b[K]",
       {{"a.c", "5", "warning", "-Wz"}}},
      // Long runs of blanks, which a pattern can be slow enough on to give up.
      {"a.c:1:2: warning: x" + std::string(200'000, ' ') + "y [-Wz]" + std::string(200'000, ' '),
       {{"a.c", "1", "warning", "-Wz"}}},
      {"a.c:3:5: note: 'y' declared here", {}},
      {"In file included from src/a.c:3:", {}},
      {"In file included from a.h:1,", {}},
      {"src/a.c: In function 'main':", {}},
      {"a.cpp:10:5:   required from here", {}},
      {"   27 |   short small = argc * 1000;", {}},
      {"main.c:(.text+0x12): undefined reference to `f'", {}},
      {"collect2: error: ld returned 1 exit status", {}},
      {"clang: error: linker command failed with exit code 1 (use -v to see invocation)", {}},
      {"make: *** [Makefile:16: out/broken.o] Error 1", {}},
      {"[3/7] Building C object CMakeFiles/core.dir/Src/app/main.c.o", {}},
      {"a.c:3:5: Warning: w", {}},
      {"a.c:3:5:warning: w", {}},
      {":3: warning: w", {}},
      {"a.c:x: warning: w", {}},
      {"a.c:x:5: warning: w", {{"a.c:x", "5", "warning", ""}}},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.line + "\n"), c.expected) << c.line;
}

TEST(GccDiagnosticReader, LogOrderAndDuplicates) {
  const std::string a = "a.h:1:2: warning: w [-Wa]\n", b = "b.c:3:4: error: e\n";
  const Rows two = {{"a.h", "1", "warning", "-Wa"}, {"b.c", "3", "error", ""}};
  EXPECT_EQ(read(a + "  1 | x\n    | ^\n" + b + a), (Rows{two[0], two[1], two[0]}));
  EXPECT_EQ(read("a.h:1:2: warning: w [-Wa]\r\nb.c:3:4: error: e"), two);
}

TEST(GccDiagnosticLine, CppcheckTextForm) {
  const struct {
    std::string line;
    Rows expected;
  } cases[] = {
      {"cjson.c:120:13: style: The scope of the variable 'x' can be reduced. [variableScope]",
       {{"cjson.c", "120", "style", "variableScope"}}},
      {"/w/Src/a.c:7:3: performance: Function parameter 's' should be passed by const reference. [passedByValue]",
       {{"a.c", "7", "performance", "passedByValue"}}},
      {"a.c:3:1: portability: Casting between int * and float * [invalidPointerCast]",
       {{"a.c", "3", "portability", "invalidPointerCast"}}},
      {"a.c:0:0: information: Include file: \"x.h\" not found. [missingInclude]",
       {{"a.c", "0", "information", "missingInclude"}}},
      {"a.c:5:2: error: Memory leak: p [memleak]", {{"a.c", "5", "error", "memleak"}}},
      {"a.c:5:2: warning: Either the condition is redundant [nullPointerRedundantCheck]",
       {{"a.c", "5", "warning", "nullPointerRedundantCheck"}}},
      {"nofile:0:0: information: Cppcheck cannot find all the include files [missingInclude]", {}},
      {"nofile:0:0: error: e [x]", {}},
      {"nofile:1:0: information: i [x]", {{"nofile", "1", "information", "x"}}},
      {"a.c:5:2: note: total is assigned", {}},
      {"a.c:5:2: Style: s [x]", {}},
      {"a.c:5:2: styles: s [x]", {}},
      {"a.c:5:2: style s [x]", {}},
      {"Checking a.c ...", {}},
      {"1/3 files checked 40% done", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.line + "\n"), c.expected) << c.line;
}

TEST(ColourRemoval, ErasesInLineOnlyWhenAsked) {
  const std::string gcc = "\x1b[01;35m\x1b[Kwarning: \x1b[m\x1b[Kx";
  EXPECT_EQ(Detail::remove_colour(gcc, "mK"), "warning: x");
  EXPECT_EQ(Detail::remove_colour(gcc), "\x1b[Kwarning: \x1b[Kx");  // as clang-tidy output has always been read
  EXPECT_EQ(Detail::remove_colour("\x1b[1Jx\x1b]8;;\x1b\\", "mK"), "\x1b[1Jx\x1b]8;;\x1b\\");
}

INSTANTIATE_TEST_SUITE_P(CompilerWarningsGcc, PatternDifferential,
                         testing::Values(PatternCase{
                             "gcc_diagnostic_line",
                             &QZCompilerWarningsGccElement::diagnostic_pattern,
                             {"src/a.c:12:5: warning: unused variable 'x' [-Wunused-variable]",
                              "[2019-08-28T08:44:26.749Z] C:\\w\\Src\\a b.c:3: fatal error: x.h: No such file",
                              "a:b.c:1:x.c:5:6: error: of 'int[5]' [-Werror=array-bounds]  "}}),
                         pattern_case_name);

}  // namespace
