#include <gtest/gtest.h>

#include <sstream>

#include "compiler/compiler_map_gnu_element.h"
#include "support/files.h"
#include "support/reader_rows.h"
#include "support/pattern_differential.h"
#include "support/program.h"
#include "support/sqlite_db.h"

using namespace test_support;

namespace {

const std::string heading = "Linker script and memory map\n";

Rows read(const std::string& map) {
  return map_rows<QZCompilerMapGnuElement>(map, QZCompilerMapGnuElement::read_elements);
}

struct MapCase {
  std::string lines;  // after the memory map heading
  Rows expected;
};

TEST(CompilerMapGnuReader, InputSectionLines) {
  const MapCase cases[] = {
      {" .text          0x0000d0d4       0x88 build/startup.o\n",
       {{"0000d0d4", "53460", "88", "136", ".text", "build/startup.o"}}},
      {" .text.startup.main\n                0x00008140     0x4f40 build/main.o\n",
       {{"00008140", "33088", "4f40", "20288", ".text.startup.main", "build/main.o"}}},
      {" COMMON         0x20000400       0x20 build/main.o\n",
       {{"20000400", "536871936", "20", "32", "COMMON", "build/main.o"}}},
      {" .text          0x00008000        0x0 /lib/libc.a(lib_a-memcpy.o)\n",  // placed, though empty
       {{"00008000", "32768", "0", "0", ".text", "/lib/libc.a(lib_a-memcpy.o)"}}},
      {" .glue_7        0x00008590        0x0 linker stubs\n",
       {{"00008590", "34192", "0", "0", ".glue_7", "linker stubs"}}},
      {" .text          0x00007ffff7dd1000       0x22 /usr/lib/crt1.o\n",  // above 32 bits
       {{"00007ffff7dd1000", "140737351847936", "22", "34", ".text", "/usr/lib/crt1.o"}}},
      {" .x 0xffffffffffffffff 0xFFFFFFFFFFFFFFFF a.o\n",
       {{"ffffffffffffffff", "18446744073709551615", "FFFFFFFFFFFFFFFF", "18446744073709551615", ".x", "a.o"}}},
      {" .x 0x000000000000000000000001 0x10 a.o\n",  // leading zeros do not overflow
       {{"000000000000000000000001", "1", "10", "16", ".x", "a.o"}}},
      {" .x 0x10000000000000000 0x10 a.o\n .y 0x1 0x1 b.o\n",  // 2^64: skipped, said so
       {{"1", "1", "1", "1", ".y", "b.o"}}},
      {" .text.long_name\n .text          0x00001000       0x10 a.o\n",  // name without its line
       {{"00001000", "4096", "10", "16", ".text", "a.o"}}},
      {" .eh_frame      0x00002068       0x30 crt1.o\n                                         0x2c (size before "
       "relaxing)\n",
       {{"00002068", "8296", "30", "48", ".eh_frame", "crt1.o"}}},
      {".text           0x00008000     0x5058\n", {}},                      // output section
      {".note.gnu.property\n                0x0000000000000338       0x20\n", {}},
      {" *fill*         0x00001082        0xe \n", {}},
      {" *fill*         0x08000112        0x2 00\n", {}},
      {" *(.text .stub .text.* .gnu.linkonce.t.*)\n", {}},
      {" KEEP (*(SORT_NONE(.init)))\n", {}},
      {"                0x00001060                _start\n", {}},
      {"                [!provide]                        PROVIDE (__etext = .)\n", {}},
      {"                0x00002000                . = ALIGN (CONSTANT (MAXPAGESIZE))\n", {}},
      {"LOAD build/main.o\n", {}},
      {"OUTPUT(app.elf elf32-littlearm)\n", {}},
      {" .text          0x00001000       0x10 \n", {}},   // no object
      {" .text 00001000 10 a.o\n", {}},                 // no "0x": not an address
      {"  .text          0x00001000       0x10 a.o\n", {}},  // two blanks in front
  };
  for (const auto& c : cases) EXPECT_EQ(read(heading + c.lines), c.expected) << c.lines;
}

TEST(CompilerMapGnuReader, OnlyTheMemoryMapCounts) {
  const std::string discarded = "Discarded input sections\n\n .text          0x00000000       0x10 gone.o\n";
  const std::string placed = " .text          0x00001000       0x10 kept.o\n";
  const Rows kept = {{"00001000", "4096", "10", "16", ".text", "kept.o"}};
  EXPECT_EQ(read(discarded + heading + placed), kept);
  EXPECT_EQ(read(discarded + placed), Rows{});
  EXPECT_EQ(read("Linker script and memory map\r\n .text          0x00001000       0x10 kept.o\r\n"), kept);
  EXPECT_EQ(read(heading + placed + placed), (Rows{kept[0], kept[0]}));  // duplicates kept
  EXPECT_EQ(read(heading + " .text          0x00001000       0x10 kept.o"), kept);  // no last line feed
}

// Discarded sections are not in the image, wherever their list stands (here
// a second map after the first one's memory map); the list ends at the next
// heading.
TEST(CompilerMapGnuReader, DiscardedSectionsGiveNoRowWhereverTheyStand) {
  const std::string placed = " .text          0x00001000       0x10 kept.o\n";
  const std::string discarded =
      "Discarded input sections\n\n .text.gone     0x00000000       0x10 gone.o\n .text.long_gone_name\n"
      "                0x00000000       0x10 gone.o\n\n";
  const Rows kept = {{"00001000", "4096", "10", "16", ".text", "kept.o"}};
  EXPECT_EQ(read(heading + placed + discarded + "Memory Configuration\n\n" + heading + placed),
            (Rows{kept[0], kept[0]}));
  EXPECT_EQ(read(heading + discarded + ".text           0x00001000       0x10\n" + placed), kept);
  EXPECT_EQ(read(heading + " .text.long_name\n" + discarded + ".data 0x2 0x2\n" + placed), kept);
  EXPECT_EQ(read(heading + placed + discarded), kept);
}

INSTANTIATE_TEST_SUITE_P(
    CompilerMapGnu, PatternDifferential,
    testing::Values(PatternCase{"gnu_map_input_section_line",
                                &QZCompilerMapGnuElement::section_pattern,
                                {" .text          0x0000d0d4       0x88 build/startup.o", " .text.startup.main",
                                 " COMMON         0x20000400       0x20 build/main.o",
                                 " .glue_7        0x00008590        0x0 linker stubs"}},
                    PatternCase{"gnu_map_continuation_line",
                                &QZCompilerMapGnuElement::continuation_regex,
                                {"                0x00008140     0x4f40 build/main.o",
                                 "                0x0000000000001149       0x19 lib/libc.a(lib_a-memcpy.o)"}}),
    pattern_case_name);

TEST(CompilerMapGnuConversion, RowsLoadWithTheirValuesAndMessages) {
  TempDir dir;
  write_file(dir.file("in.map"), heading + " .x 0x1ffffffffffffffff 0x1 a.o\n .text.long\n"
                                           "                0x0000000100000000       0x10 'q'.o\n");
  const RunResult run = run_program(standard_args("Map_GNU", dir.file("in.map"), dir.file("out.sql")));
  ASSERT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out.rfind("version 0VIViriZovuro error: A number on input line 2 does not fit in 64 bits, the line "
                          "was skipped\nBEGIN TRANSACTION;\ncreate table if not exists compiler_map ",
                          0),
            0u)
      << run.out;
  SqliteDb db;
  ASSERT_EQ(db.exec(read_file(dir.file("out.sql"))), "");
  EXPECT_EQ(db.rows("select originhex, origindec, typeof(origindec), sizedec, section, filename from compiler_map"),
            (Rows{{"0000000100000000", "4294967296", "integer", "16", ".text.long", "'q'.o"}}));
}

}  // namespace
