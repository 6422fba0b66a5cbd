#include "compiler/compiler_map_iar_element.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "support/reader_rows.h"

using test_support::Rows;

namespace {

struct Read {
  bool is_map = false;
  Rows rows;
};

// originhex, origindec, sizehex, sizedec, section, filename of every record.
Read read(const std::string& map) {
  Read read;
  read.rows = test_support::map_rows<QZCompilerMapIarElement>(
      map, [&](std::istream& in, std::deque<QZCompilerMapIarElement>& out) {
        read.is_map = QZCompilerMapIarElement::read_elements(in, out);
      });
  return read;
}

const std::string header =
    "*** PLACEMENT SUMMARY\n***\n\n"
    "\"P1\":  place in [from 0x800'0000 to 0x807'ffff] { ro };\n"
    "define block CSTACK with size = 0x400, alignment = 8 { };\n\n"
    "  Section            Kind         Address    Size  Object\n"
    "  -------            ----         -------    ----  ------\n";

TEST(IarMap, TableLines) {
  const struct {
    std::string lines;
    Rows expected;
  } cases[] = {
      {"  .text              ro code   0x800'0150   0xbd0  lcd.o [3]\n",
       {{"08000150", "134218064", "bd0", "3024", ".text", "lcd.o [3]"}}},  // no list of [N]: as printed
      {"  .intvec            ro code  0x08000000  0x188  startup.o\n",
       {{"08000000", "134217728", "188", "392", ".intvec", "startup.o"}}},
      {"  .vregs             uninit   0x000000    0x10  vregs.o\n", {{"00000000", "0", "10", "16", ".vregs", "vregs.o"}}},
      // 9.50 and later: the alignment between the address and the size.
      {"  .text              ro code   0x800'0150         4   0x1'0bd0  lcd.o\n",
       {{"08000150", "134218064", "10bd0", "68560", ".text", "lcd.o"}}},
      {"  Initializer bytes  const     0x800'18a0     0x8  <for P2-1>\n",
       {{"080018a0", "134224032", "8", "8", "Initializer bytes", "<for P2-1>"}}},
      {"  .iar.init_table    const     0x800'17e8    0x24  - Linker created -\n",
       {{"080017e8", "134223848", "24", "36", ".iar.init_table", "- Linker created -"}}},
      {"  .bss               zero     0x2000'0018     0x0  main.o\n",
       {{"20000018", "536870936", "0", "0", ".bss", "main.o"}}},
      {"  .text              ro code  0x1'2345'6789'abcd   0x4  far.o\n",
       {{"123456789abcd", "320255973501901", "4", "4", ".text", "far.o"}}},
      {"  .text              ro code   0x800'0150   0xBD0  upper.o\n",
       {{"08000150", "134218064", "bd0", "3024", ".text", "upper.o"}}},
      // A kind the list does not know, two blanks after the name.
      {"  .sfr               sfr zone   0x800'0000   0x4  regs.o\n",
       {{"08000000", "134217728", "4", "4", ".sfr", "regs.o"}}},
      // A name too long for its column on a line of its own.
      {"  .text.a_very_long_section_name\n                     ro code   0x800'0000   0x4  a.o\n",
       {{"08000000", "134217728", "4", "4", ".text.a_very_long_section_name", "a.o"}}},
      // Blocks, region headers, end lines: no rows.
      {"  P2-1                        0x2000'0000     0x8  <Init block>\n"
       "    .data            inited   0x2000'0000     0x4  main.o\n"
       "  CSTACK                      0x2000'0900   0x100  <Block>\n"
       "    CSTACK           uninit   0x2000'0900   0x100  <Block tail>\n"
       "\"P2\", part 1 of 3:                            0x8\n"
       "\"P1\":                                      0x1714\n"
       "                            - 0x2000'0008     0x8\n",
       {{"20000000", "536870912", "4", "4", ".data", "main.o"},
        {"20000900", "536873216", "100", "256", "CSTACK", "<Block tail>"}}},
      {"                     ro code   0x800'0000   0x4  a.o\n", {}},  // no name at all
      {"  .text              ro code   0x800'0150\n", {}},
      {"  .text              ro code   0x800'0150   0x4\n", {}},
      {"  .text              ro code   0x800'01g0   0x4  a.o\n", {}},
      {"  .text              ro code   0x   0x4  a.o\n", {}},
      {"  .text              ro code   0x1'0000'0000'0000'0000   0x4  a.o\n", {}},  // too large: a message
      {"Unused ranges:\n\n   0x800'18ac   0x807'ffff  0x7'e754\n  .text  ro code   0x800'0000   0x4  a.o\n", {}},
  };
  for (const auto& c : cases) {
    const Read got = read(header + c.lines);
    EXPECT_TRUE(got.is_map);
    EXPECT_EQ(got.rows, c.expected) << c.lines;
  }
}

TEST(IarMap, ObjectsOfLibrariesAndFolders) {
  const std::string map = header +
                          "  .text              ro code   0x800'0000     0x4  exit.o [7]\n"
                          "  .text              ro code   0x800'0004     0x4  main.o [1]\n"
                          "  .text              ro code   0x800'0008     0x4  a.o [2]\n"
                          "  .text              ro code   0x800'000c     0x4  b.o [9]\n"
                          "  .text              ro code   0x800'0010     0x4  c.o [x]\n"
                          "\n*******************************************************************************\n"
                          "*** MODULE SUMMARY\n***\n\n"
                          "dl7M_tln.a: [7]\n    exit.o                 4\n\n"
                          "[1] = C:\\work\\Debug\\Obj\n"
                          "[2] = D:\\libs\\DRIVERS.LIB\n"
                          "[7] = dl7M_tln.a\n";
  const Read got = read(map);
  ASSERT_EQ(got.rows.size(), 5U);
  EXPECT_EQ(got.rows[0][5], "dl7M_tln.a(exit.o)");
  EXPECT_EQ(got.rows[1][5], "main.o");
  EXPECT_EQ(got.rows[2][5], "D:\\libs\\DRIVERS.LIB(a.o)");
  EXPECT_EQ(got.rows[3][5], "b.o [9]");
  EXPECT_EQ(got.rows[4][5], "c.o [x]");
}

TEST(IarMap, NotAnIlinkMap) {
  for (const std::string& text : {std::string(""), std::string("IAR Universal Linker V6.5.1.95\n  MODULE MAP\n"),
                                 std::string("  .text  ro code   0x800'0000   0x4  a.o\n")}) {
    const Read got = read(text);
    EXPECT_FALSE(got.is_map) << text;
    EXPECT_EQ(got.rows, Rows{}) << text;
  }
  // A summary without its table is a map without sections.
  const Read empty = read("*** PLACEMENT SUMMARY\n***\n");
  EXPECT_TRUE(empty.is_map);
  EXPECT_EQ(empty.rows, Rows{});
}

// The sum of the MODULE SUMMARY's numbers in `columns`: columns apart by two
// blanks or more, digit groups joined by a blank or an apostrophe.
long long column_sum(const std::string& columns) {
  long long sum = 0;
  const std::regex column("[0-9]+(?:[' ][0-9]{3})*");
  for (auto it = std::sregex_iterator(columns.begin(), columns.end(), column); it != std::sregex_iterator(); ++it) {
    std::string digits = it->str();
    std::erase_if(digits, [](char c) { return c == ' ' || c == '\''; });
    sum += std::stoll(digits);
  }
  return sum;
}

// The rows of every real map, with the alignment gaps of its MODULE SUMMARY,
// add up to its Grand Total.
TEST(IarMap, RealMapsAddUpToTheirGrandTotal) {
  const struct {
    const char* name;
    long long known_difference;
  } maps[] = {
      {"students_ewarm_6_50", 0},
      // ILINK 6.50 counts the 2 bytes of padding before "Initializer bytes"
      // among its Linker created bytes, not among the gaps.
      {"systick_ewarm_6_50", 2},
      {"robot_car_ewarm_8_22", 0},
      {"rtoswrapper_ewarm_8_40", 0},
      {"traffic_lights_ewarm_9_10", 0},
      {"calculator_ewarm_9_30", 0},
  };
  for (const auto& map : maps) {
    std::ifstream file(std::string(VIVIRI_FIXTURES) + "/Map_IAR/" + map.name + ".input");
    std::stringstream text;
    text << file.rdbuf();
    long long gaps = 0, grand_total = -1;
    for (std::string line; std::getline(text, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.starts_with("    Gaps ")) gaps = column_sum(line.substr(8));
      if (line.starts_with("    Grand Total:")) grand_total = column_sum(line.substr(16));
    }
    const Read got = read(text.str());
    long long rows = 0;
    for (const std::vector<std::string>& row : got.rows) rows += std::stoll(row[3]);
    EXPECT_GT(got.rows.size(), 20U) << map.name;
    EXPECT_EQ(rows + gaps + map.known_difference, grand_total) << map.name;
  }
}

}  // namespace
