#include "compiler/compiler_warnings_msvc_element.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/reader_rows.h"
#include "support/pattern_differential.h"

using test_support::Rows;

namespace {

Rows read(const std::string& log) {
  return test_support::diagnostic_rows<QZCompilerWarningsMsvcElement>(log,
                                                                      QZCompilerWarningsMsvcElement::read_elements);
}

TEST(MsvcDiagnosticLine, ExampleTable) {
  const struct {
    std::string line;
    Rows expected;
  } cases[] = {
      {R"(C:\work\Src\app\main.c(27): warning C4996: 'strcpy': This function may be unsafe.)",
       {{R"(app\main.c)", "27", "warning", "C4996", "4996"}}},
      {R"(main.c(27,5): error C2065: 'x': undeclared identifier)", {{"main.c", "27", "error", "C2065", "2065"}}},
      {R"(C:\Program Files (x86)\Kits\um\winnt.h(123): warning C4668: 'X' is not defined)",
       {{R"(C:\Program Files (x86)\Kits\um\winnt.h)", "123", "warning", "C4668", "4668"}}},
      {R"(m.c(2): fatal error C1083: Cannot open include file: 'x.h': No such file)",
       {{"m.c", "2", "error", "C1083", "1083"}}},
      {R"(  12>C:\w\Src\a.c(9,1): warning C4100: 'p': unreferenced parameter [C:\w\a.vcxproj])",
       {{"a.c", "9", "warning", "C4100", "4100"}}},
      {R"(1>/home/w/Src/b.c(3): error C2: x)", {{"b.c", "3", "error", "C2", "2"}}},
      {"a.c(5,27): warning: unused parameter 'argv' [-Wunused-parameter]",
       {{"a.c", "5", "warning", "-Wunused-parameter", ""}}},
      {R"(a.c(5,27): warning : unused [-Wunused-parameter] [C:\w\App.VCXPROJ])",
       {{"a.c", "5", "warning", "-Wunused-parameter", ""}}},  // clang-cl through MSBuild
      {R"(a.c(5): warning : no option here [C:\w\app.vcxproj])", {{"a.c", "5", "warning", "", ""}}},
      {R"(a.c(5): warning: [x] in brackets, not last)", {{"a.c", "5", "warning", "", ""}}},
      {R"(a.c(6): error: expected ';' [x]y])", {{"a.c", "6", "error", "", ""}}},
      {R"(main.c(12): warning:  #550-D: variable "x" was set but never used)",
       {{"main.c", "12", "warning", "#550-D", "550"}}},
      {R"(..\Src\u.c(3): error:  #5: cannot open source input file "m.h": No such file)",
       {{"u.c", "3", "error", "#5", "5"}}},
      {R"(m.c(3): warning: # not an identifier: x)", {{"m.c", "3", "warning", "", ""}}},
      {R"(old.c(27) : warning C4996: 'strcpy' was declared deprecated)", {{"old.c", "27", "warning", "C4996", "4996"}}},
      {R"(a.c(1): Warning C1: x)", {{"a.c", "1", "warning", "C1", "1"}}},
      {R"(a.c(1): FATAL ERROR C2: x)", {{"a.c", "1", "error", "C2", "2"}}},
      {R"(a.c(1): warning	C4   : x)", {{"a.c", "1", "warning", "C4", "4"}}},
      {R"(a.c(1): warning X: see b.c(2): error Y: z)", {{"a.c", "1", "warning", "X", ""}}},  // the first (LINE)
      {R"(C:\copy (2)\a.c(7): warning C5: x)", {{R"(C:\copy (2)\a.c)", "7", "warning", "C5", "5"}}},
      {R"(x/Src/y\Src\z.c(1): warning C1: w)", {{R"(y\Src\z.c)", "1", "warning", "C1", "1"}}},
      {R"(x\Src\y/Src/z.c(1): warning C1: w)", {{R"(y/Src/z.c)", "1", "warning", "C1", "1"}}},
      {"[2024-05-17T09:05:00.001Z] a.c(4,7): warning: w [-Wx]", {{"a.c", "4", "warning", "-Wx", ""}}},
      {"\x1b[1ma.c(4,7): \x1b[0m\x1b[0;1;35mwarning: \x1b[0m\x1b[1mw [-Wx]\x1b[0m",
       {{"a.c", "4", "warning", "-Wx", ""}}},
      {"a.c(1): warning C1: x" + std::string(200'000, ' ') + "[" + std::string(200'000, ' ') + "]",
       {{"a.c", "1", "warning", "C1", "1"}}},  // long runs of blanks
      {"a.c(1): warning" + std::string(200'000, ' ') + "C1" + std::string(200'000, ' ') + ": x",
       {{"a.c", "1", "warning", "C1", "1"}}},
      {R"(a.c(35,21): note: place parentheses around the assignment)", {}},
      {R"(a.c(3): message : see declaration of 'strcpy')", {}},
      {R"(LINK : fatal error LNK1104: cannot open file 'app.exe')", {}},
      {R"(main.obj : error LNK2019: unresolved external symbol f referenced in function main)", {}},
      {R"(cl : command line warning D9025 : overriding '/W3' with '/W4')", {}},
      {R"(.\Objects\app.axf: Error: L6218E: Undefined symbol f (referred from main.o).)", {}},
      {R"(a.c(1): warnings C1: x)", {}},
      {R"(a.c(1): warning C1 x)", {}},
      {R"(a.c(1):warning C1: x)", {}},
      {R"(a.c(x): warning C1: x)", {}},
      {R"(a.c(1,2,3): warning C1: x)", {}},
      {R"((1): warning C1: x)", {}},
      {R"([a] [b] a.c(1): warning C1: x)", {{"[b] a.c", "1", "warning", "C1", "1"}}},  // one prefix only
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.line + "\n"), c.expected) << c.line;
}

// MSBuild's summary repeats the build's diagnostics: each counts once, and a
// second build in the same log counts again.
TEST(MsvcDiagnosticReader, SkipsMsBuildSummaries) {
  const std::string warning = "a.c(1): warning C1: w [C:\\a.vcxproj]\r\n";
  const std::string error = "  b.c(2): error C2: e [C:\\a.vcxproj]\r\n";
  const std::string log = warning + "\r\nBuild FAILED.\r\n\r\n" + warning + error + "    1 Warning(s)\r\n" +
                          "Time Elapsed 00:00:04.52\r\n" + error + "[12:00:01] Build succeeded.  \r\n" + warning +
                          "[12:00:02]   Time Elapsed 00:00:01.02\r\n" + warning + "Build FAILED.\r\n" + error;
  const Rows w = {{"a.c", "1", "warning", "C1", "1"}}, e = {{"b.c", "2", "error", "C2", "2"}};
  EXPECT_EQ(read(log), (Rows{w[0], e[0], w[0]}));
  EXPECT_EQ(read("Build succeeded\n" + warning + "1>Build FAILED.\n" + error), (Rows{w[0], e[0]}));
  // Without "Time Elapsed" (a log cut after the summary): the summary ends
  // at the first line that is none of its own.
  const std::string summary = "Build succeeded.\n\n\"C:\\work\\app.sln\" (default target) (1) ->\n"
                              "(ClCompile target) -> \n" + warning +
                              "  main.obj : error LNK2019: unresolved external symbol f [C:\\a.vcxproj]\n"
                              "\n    1 Warning(s)\n    1 Error(s)\n\n";
  EXPECT_EQ(read(warning + summary + "Project \"C:\\b.vcxproj\" on node 1 (default targets).\n" + error),
            (Rows{w[0], e[0]}));
  EXPECT_EQ(read(warning + summary + "ClCompile:\n" + error), (Rows{w[0], e[0]}));
}

INSTANTIATE_TEST_SUITE_P(CompilerWarningsMsvc, PatternDifferential,
                         testing::Values(PatternCase{
                             "msvc_diagnostic_line",
                             &QZCompilerWarningsMsvcElement::diagnostic_pattern,
                             {R"(C:\work\Src\app\main.c(27): warning C4996: 'strcpy': This function may be unsafe.)",
                              "[2024-05-17T09:05:00.001Z]   12>a b.c(5,27): Fatal Error: x [-Wy] [C:\\a.vcxproj]",
                              R"(main.c(12) : warning:  #550-D: variable "x" was set but never used)"}}),
                         pattern_case_name);

}  // namespace
