#include "compiler/compiler_map_keil_element.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "support/files.h"
#include "support/reader_rows.h"
#include "support/pattern_differential.h"
#include "support/program.h"
#include "support/sqlite_db.h"

using namespace test_support;

namespace {

Rows read(const std::string& map) {
  return map_rows<QZCompilerMapKeilElement>(map, QZCompilerMapKeilElement::GetQZCompilerMapElements);
}

struct LineCase {
  std::string line;
  Rows expected;
};

const std::string system_init =
    "    SystemInit                               0x00000400   Thumb Code    78  system_stm32f10x.o(.text)";

TEST(CompilerMapKeilPattern, Source) {
  EXPECT_EQ(QZCompilerMapKeilElement::my_regex().source(),
            R"(^\s+(.*)\s+0x([0-9a-f]{8})\s+([a-zA-Z\s]+)\s+([0-9]+)\s+([.a-zA-Z_0-9]+)\((.*?)\)(.*))");
}

TEST(CompilerMapKeilSymbolLine, ExampleTable) {
  const LineCase cases[] = {
      {system_init, {{"00000400", "1024", "4e", "78", ".text", "system_stm32f10x.o"}}},
      {"SystemInit  0x00000400   Thumb Code    78  system_stm32f10x.o(.text)", {}},      // no white space first
      {"    SystemInit  0x0000040A   Thumb Code    78  system_stm32f10x.o(.text)", {}},  // upper-case digit
      {"    SystemInit  0x00000400   Thumb Code    78  system_stm32f10x.o()",
       {{"00000400", "1024", "4e", "78", "", "system_stm32f10x.o"}}},
      {"    SystemInit  0x00000400   Thumb Code    78  system_stm32f10x.o", {}},  // no parentheses
      {"    __ARM_use_no_argv  0x00000000   Number         0  main.o ABSOLUTE", {}},
      {"    __Vectors_End  0x080000ec   Data           0  startup_stm32f10x_md.o(RESET)",
       {{"080000ec", "134217964", "0", "0", "RESET", "startup_stm32f10x_md.o"}}},
      {"    .bss  0x20000000   Section     4096  startup_stm32f10x_md.o(.bss)",
       {{"20000000", "536870912", "1000", "4096", ".bss", "startup_stm32f10x_md.o"}}},
      {"\tbig sym\t0xffffffff\tData\t4294967295\tx_1.o(i.big sym) (tail)",
       {{"ffffffff", "4294967295", "ffffffff", "4294967295", "i.big sym", "x_1.o"}}},
      {"    f  0x00000001   Thumb Code   255  a.o(.text.f)extra", {{"00000001", "1", "ff", "255", ".text.f", "a.o"}}},
      {"    f  0x00000001   Thumb Code   255  a.o(x)(y)", {{"00000001", "1", "ff", "255", "x", "a.o"}}},  // lazy
      {"    f  0x0000001   Thumb Code   8  a.o(.text)", {}},  // seven address digits
      {"    f  00000001   Thumb Code   8  a.o(.text)", {}},   // no "0x"
      {"    f  0x00000001   Thumb Code   8  a-b.o(.text)", {}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.line + "\n"), c.expected) << c.line;
}

TEST(CompilerMapKeilSymbolLine, LineThatDoesNotMatchLeavesTheRecordAlone) {
  QZCompilerMapKeilElement element;
  element.originhex = "kept";
  element.sizedec = 7;
  EXPECT_FALSE(element.parse_input_string("SystemInit  0x00000400   Thumb Code    78  a.o(.text)", 1));
  EXPECT_EQ(element.originhex, "kept");
  EXPECT_EQ(element.sizedec, 7u);
  EXPECT_TRUE(element.parse_input_string(system_init, 1));
  EXPECT_EQ(element.originhex, "00000400");
}

TEST(CompilerMapKeilReader, LineEndsAndDuplicates) {
  const Rows one = {{"00000400", "1024", "4e", "78", ".text", "system_stm32f10x.o"}};
  EXPECT_EQ(read(system_init + "\r\n"), one);                  // written on Windows
  EXPECT_EQ(read("Image Symbol Table\n" + system_init), one);  // no last line feed
  EXPECT_EQ(read(system_init + "\n" + system_init + "\n"), (Rows{one[0], one[0]}));
}

const PatternCase keil_symbol_pattern{"keil_symbol_line",
                                      &QZCompilerMapKeilElement::my_regex,
                                      {system_init, "    x 0x00001000   Data  4096  a.o()",
                                       "\tbig sym\t0xffffffff\tData\t4294967295\tx_1.o(i.big sym) (tail)",
                                       "  f  0x00000001   Thumb Code   255  a.o(x)(y)"}};

INSTANTIATE_TEST_SUITE_P(CompilerMapKeil, PatternDifferential, testing::Values(keil_symbol_pattern),
                         pattern_case_name);

bool scan_keil_symbol_line(std::string_view line, std::vector<std::string_view>& groups) {
  QZCompilerMapKeilElement::SymbolGroups scanned;
  if (!QZCompilerMapKeilElement::scan_symbol_line(line, scanned)) return false;
  std::copy(scanned.begin() + 1, scanned.end(), groups.begin() + 1);
  return true;
}

// Seeds for the scanner's harder paths: an empty name before an address right
// after the indentation, a white-space type, a line end inside the name's
// white space, several addresses, and the name's own "0x".
const PatternCase keil_symbol_scanner_seeds{
    "keil_symbol_line",
    &QZCompilerMapKeilElement::my_regex,
    {system_init, "    x 0x00001000   Data  4096  a.o()", "  0x00000010 Code 4 a.o(x)",
     "\tbig sym\t0xffffffff\tData\t4294967295\tx_1.o(i.big sym) (tail)", " s 0x00000001 \t 7 a(b)",
     "  f  0x00000001   Thumb Code   255  a.o(x)(y)", "  a\n 0x00000002 T 1 b(c)", " a 0x0000000f B 2 c( 0x00000003 D 3 e(f)",
     " g 0x00000004 E\v5 0x00000005 F 6 h(i)"}};

INSTANTIATE_TEST_SUITE_P(CompilerMap, ScannerDifferential,
                         testing::Values(ScannerCase{keil_symbol_scanner_seeds.name, keil_symbol_scanner_seeds.pattern,
                                                     &scan_keil_symbol_line, keil_symbol_scanner_seeds.seeds,
                                                     {"Map_KEIL"}, ""}),
                         scanner_case_name);

// Every later address on this line is a dead end that the pattern engine
// checks to the end of the line, so it gives up; the scanner converts it.
TEST(CompilerMapConversion, KeilLineThePatternEngineGivesUpOnConverts) {
  std::string line = "  main 0x00000400 Code 12 main.o(.text)";
  for (int i = 0; i < 20000; ++i) line += " 0x00000000 A 1 f(";
  ASSERT_EQ(QZCompilerMapKeilElement::my_regex().full_match(line), Detail::MatchResult::gave_up);

  TempDir dir;
  write_file(dir.file("in.map"), line + "\n" + system_init + "\n");
  const RunResult run = run_program(standard_args("Map_KEIL", dir.file("in.map"), dir.file("out.sql")));
  ASSERT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out.find("gave up"), std::string::npos);
  SqliteDb db;
  ASSERT_EQ(db.exec(read_file(dir.file("out.sql"))), "");
  EXPECT_EQ(db.rows("select originhex, sizedec, section, filename from compiler_map order by rowid"),
            (Rows{{"00000400", "12", ".text", "main.o"}, {"00000400", "78", ".text", "system_stm32f10x.o"}}));
}

}  // namespace
