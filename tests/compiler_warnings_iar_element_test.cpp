#include "compiler/compiler_warnings_iar_element.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/reader_rows.h"

using test_support::Rows;

namespace {

Rows read(const std::string& log) {
  return test_support::diagnostic_rows<QZCompilerWarningsIarElement>(log, QZCompilerWarningsIarElement::read_elements);
}

TEST(IarDiagnosticLine, ExampleTable) {
  const struct {
    std::string line;
    Rows expected;
  } cases[] = {
      {R"(C:\dev\Src\app\main.c(43) : Warning[Pe177]: variable "x" was declared but never referenced)",
       {{R"(app\main.c)", "43", "warning", "Pe177", "177"}}},
      {R"("C:\dev\Src\app\main.c",43  Warning[Pe177]: variable "x")",
       {{R"(app\main.c)", "43", "warning", "Pe177", "177"}}},
      {R"("/w/Src/a.c",7 Remark[Pa082]: r)", {{"a.c", "7", "remark", "Pa082", "082"}}},
      {"a.c(9): Error[Pe020]: e", {{"a.c", "9", "error", "Pe020", "020"}}},
      {"a.c(9) : Fatal Error[Pe1696]: cannot open", {{"a.c", "9", "error", "Pe1696", "1696"}}},
      {R"("a.s",3  Fatal error[2]: f)", {{"a.s", "3", "error", "2", "2"}}},
      {"Warning[Li026]: the function \"f\" is never referenced", {{"", "", "warning", "Li026", "026"}}},
      {"Error[Lp011]: section placement failed", {{"", "", "error", "Lp011", "011"}}},
      {"Warning[Lt]: no digits", {{"", "", "warning", "Lt", ""}}},
      // The first diagnostic of a line counts.
      {R"("a.c",5  Error[Og006]: Syntax error in inline assembly: "Error[400]: Expression out of range")",
       {{"a.c", "5", "error", "Og006", "006"}}},
      {R"(a(1).c(3) : Warning[Pe1]: w)", {{"a(1).c", "3", "warning", "Pe1", "1"}}},
      // Prefixes, indentation and continuation lines.
      {"     [exec] a.c(1) : Warning[Pe1]: w", {{"a.c", "1", "warning", "Pe1", "1"}}},
      {"[exec] a.c(1) : Warning[Pe1]: w", {{"a.c", "1", "warning", "Pe1", "1"}}},
      {"[2019-08-28T08:44:26.749Z] Warning[Li1]: w", {{"", "", "warning", "Li1", "1"}}},
      {"        Warning[Pe1]: eight blanks still begin a line", {{"", "", "warning", "Pe1", "1"}}},
      {"         Warning[Pe1]: nine blanks continue one", {}},
      {"     [exec]           Error[Pe1]: continued under Ant", {}},
      {"          \"uart_flush\" was declared but never referenced", {}},
      {"\x1b[1;31mError[Pe20]: coloured\x1b[0m", {{"", "", "error", "Pe20", "20"}}},
      {"Warning[Pe177]: v \x01<SRCREF line=41 file=\"C:\\w\\main.c\">main.c 41</SRCREF>",
       {{"", "", "warning", "Pe177", "177"}}},
      // Not diagnostics.
      {R"("src\main\hal\HalAdc.c",129 Severity-Low[MISRAC2012-Rule-14.4_c]:Type of if condition)", {}},
      {R"("desc.c", Warning[Pe177]: no line number)", {}},
      {R"("desc.c",12   Warning[Pe177]: three blanks)", {}},
      {"a.c(x) : Warning[Pe1]: w", {}},
      {"a.c 12 Warning[Pe1]: w", {}},
      {"a note about Warning[Pe177]: in prose", {}},
      {"Warning[]: empty tag", {}},
      {"Warning [Pe1]: a blank before the tag", {}},
      {"Warning[Pe1] missing colon", {}},
      {"FatalError[Pe1]: no such severity", {}},
      {"warning[Pe1]: lower case", {}},
      {"Total number of errors: 3", {}},
      {"Fatal error detected, aborting.", {}},
      {"  __root inline int twice(int i)", {}},
      {"--------------------------------^", {}},
      {"[7/90] Building C object CMakeFiles/app.dir/main.c.r51", {}},
      {std::string(100'000, '[') + "Warning[Pe1]: after prose", {}},
      {std::string(100'000, ' ') + "Warning[Pe1]: deep in blanks", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.line + "\n"), c.expected) << c.line;
}

TEST(IarDiagnosticReader, LogOrderDuplicatesAndLineEnds) {
  const std::string a = "a.c(1) : Warning[Pe1]: w\n", b = "Error[Li5]: e\n";
  const Rows two = {{"a.c", "1", "warning", "Pe1", "1"}, {"", "", "error", "Li5", "5"}};
  EXPECT_EQ(read(a + "  x;\n  ^\n" + b + a), (Rows{two[0], two[1], two[0]}));
  EXPECT_EQ(read("a.c(1) : Warning[Pe1]: w\r\nError[Li5]: e"), two);
  EXPECT_EQ(read(""), Rows{});
}

}  // namespace
