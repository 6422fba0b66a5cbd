#include "compiler/compiler_map_element.h"

#include <gtest/gtest.h>

#include <string>

#include "support/files.h"
#include "support/reader_rows.h"
#include "support/pattern_differential.h"
#include "support/program.h"
#include "support/sqlite_db.h"

using namespace test_support;

namespace {

Rows read(const std::string& map) {
  return map_rows<QZCompilerMapElement>(map, QZCompilerMapElement::GetQZCompilerMapElements);
}

struct LineCase {
  std::string line;
  Rows expected;
};

TEST(CompilerMapPatterns, Source) {
  EXPECT_EQ(QZCompilerMapElement::my_regex().source(),
            R"(([0-9a-f]{8})\+([0-9a-f]{6})[[:space:]]+([\.a-zA-Z_0-9]* -> [\.a-zA-Z_0-9]*?|[\.a-zA-Z_0-9]*))"
            R"([[:space:]]+(.*))");
}

TEST(CompilerMapSectionLine, ExampleTable) {
  const LineCase cases[] = {
      {"00001000+000200 .text main.o", {{"00001000", "4096", "000200", "512", ".text", "main.o"}}},
      {"00001000+000200 .text -> .data main.o", {{"00001000", "4096", "000200", "512", ".text -> .data", "main.o"}}},
      {"00001000+000200  lib/x.a(y.o)", {{"00001000", "4096", "000200", "512", "", "lib/x.a(y.o)"}}},
      {"0000100A+000200 .text main.o", {}},  // upper-case digit
      {"00001000+000200 .text", {}},         // nothing after the section
      {"00000000+000000 .bss zero.o", {{"00000000", "0", "000000", "0", ".bss", "zero.o"}}},  // zeros stay
      {"ffffffff+ffffff .x y.o", {{"ffffffff", "4294967295", "ffffff", "16777215", ".x", "y.o"}}},
      {"0800a0c4+00001c\t.rodata_1\tlib/libc.a(printf.o)  # note",
       {{"0800a0c4", "134258884", "00001c", "28", ".rodata_1", "lib/libc.a(printf.o)  # note"}}},
      {"00001000+000200 .text main.o \"q\".o", {{"00001000", "4096", "000200", "512", ".text", "main.o \"q\".o"}}},
      {" 00001000+000200 .text main.o", {}},  // nothing in front of the address
      {"0001000+000200 .text main.o", {}},    // seven address digits
      {"000010000+000200 .text main.o", {}},  // nine
      {"00001000+00200 .text main.o", {}},    // five size digits
      {"00001000-000200 .text main.o", {}},
      {"00001000+000200.text main.o", {}},  // white space before the section
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.line + "\n"), c.expected) << c.line;
}

TEST(CompilerMapReader, LineEndsOrderAndDuplicates) {
  const std::string a = "00001000+000200 .text main.o";
  const std::string b = "00002000+000010 .data io.o";
  const Rows two = {{"00001000", "4096", "000200", "512", ".text", "main.o"},
                    {"00002000", "8192", "000010", "16", ".data", "io.o"}};
  EXPECT_EQ(read("Memory map\n" + a + "\n" + b + "\n"), two);
  EXPECT_EQ(read(a + "\r\n" + b + "\r\n"), two);  // written on Windows
  EXPECT_EQ(read(a + "\n" + b), two);             // no line feed after the last line
  EXPECT_EQ(read(b + "\n" + a + "\n"), (Rows{two[1], two[0]}));
  EXPECT_EQ(read(a + "\n" + a + "\n"), (Rows{two[0], two[0]}));
  EXPECT_EQ(read(""), Rows{});
}

// A Keil map's symbol line: both kinds of map load into the one table.
const std::string system_init =
    "    SystemInit                               0x00000400   Thumb Code    78  system_stm32f10x.o(.text)";

INSTANTIATE_TEST_SUITE_P(
    CompilerMap, PatternDifferential,
    testing::Values(PatternCase{"linker_map_section_line",
                                &QZCompilerMapElement::my_regex,
                                {"00001000+000200 .text main.o", "00001000+000200 .text -> .data main.o",
                                 "00001000+000200  lib/x.a(y.o)", "0800a0c4+00001c\t.rodata_1 -> _2\tlib/c.a(p.o) x"}}),
    pattern_case_name);

std::string convert(const std::string& parser_type, const std::string& map) {
  TempDir dir;
  write_file(dir.file("in.map"), map);
  const RunResult run = run_program(standard_args(parser_type, dir.file("in.map"), dir.file("out.sql")));
  EXPECT_EQ(run.exit_status, 0) << run.out;
  return read_file(dir.file("out.sql"));
}

const char* const loaded_columns =
    "select platform, project, githash, originhex, typeof(originhex), origindec, typeof(origindec), sizehex, "
    "sizedec, typeof(sizedec), section, filename from compiler_map order by rowid";

TEST(CompilerMapConversion, SameMapLoadedTwiceGivesEveryRowTwice) {
  const std::string script = convert("Map", "ffffffff+000000 .bss \"odd\".o\n00000010+000200 .text main.o\n");
  SqliteDb db;
  ASSERT_EQ(db.exec(script), "");
  ASSERT_EQ(db.exec(script), "");
  const Rows once = {{"Pwe3", "K7Tr52_App_default", "HASH", "ffffffff", "text", "4294967295", "integer", "000000", "0",
                      "integer", ".bss", "\"odd\".o"},
                     {"Pwe3", "K7Tr52_App_default", "HASH", "00000010", "text", "16", "integer", "000200", "512",
                      "integer", ".text", "main.o"}};
  EXPECT_EQ(db.rows(loaded_columns), (Rows{once[0], once[1], once[0], once[1]}));
}

TEST(CompilerMapConversion, KeilRowsLoadIntoTheSameTable) {
  SqliteDb db;
  ASSERT_EQ(db.exec(convert("Map", "00001000+000200 .text main.o\n")), "");
  ASSERT_EQ(db.exec(convert("Map_KEIL", system_init + "\n")), "");
  EXPECT_EQ(db.rows(loaded_columns), (Rows{{"Pwe3", "K7Tr52_App_default", "HASH", "00001000", "text", "4096", "integer",
                                            "000200", "512", "integer", ".text", "main.o"},
                                           {"Pwe3", "K7Tr52_App_default", "HASH", "00000400", "text", "1024", "integer",
                                            "4e", "78", "integer", ".text", "system_stm32f10x.o"}}));
}

TEST(CompilerMapConversion, WindowsAndUnterminatedMapsGiveTheSameScript) {
  for (const auto& [parser_type, line] :
       {std::pair<std::string, std::string>{"Map", "00001000+000200 .text main.o"}, {"Map_KEIL", system_init}}) {
    const std::string clean = normalise_date_time(convert(parser_type, "header\n" + line + "\n"));
    EXPECT_NE(clean.find("values"), std::string::npos) << parser_type;
    EXPECT_EQ(normalise_date_time(convert(parser_type, "header\r\n" + line + "\r\n")), clean) << parser_type;
    EXPECT_EQ(normalise_date_time(convert(parser_type, "header\n" + line)), clean) << parser_type;
  }
}

}  // namespace
