#include "detail/line_reader.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> lines_of(const std::string& text, std::size_t block_size = 1 << 20) {
  std::istringstream in(text);
  Detail::LineReader reader(in, block_size);
  std::vector<std::string> lines;
  for (std::string_view line; reader.next(line);) {
    lines.emplace_back(line);
    EXPECT_EQ(reader.line_number(), lines.size());
  }
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, LineEnds) {
  const struct {
    std::string text;
    Lines expected;
  } cases[] = {
      {"", {}},
      {"\n", {""}},
      {"a", {"a"}},                       // a last line without a line feed counts
      {"a\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},         // written on Windows
      {"a\r\nb", {"a", "b"}},
      {"a\r\nb\r", {"a", "b"}},           // a truncated Windows file
      {"a\r\r\n", {"a\r"}},               // only one carriage return belongs to the line end
      {"a\rb\n", {"a\rb"}},               // a carriage return inside a line stays
      {"\n\n\r\n", {"", "", ""}},
      {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
  };
  for (const auto& c : cases) EXPECT_EQ(lines_of(c.text), c.expected) << testing::PrintToString(c.text);
}

TEST(LineReader, LinesLongerThanTheBlock) {
  const std::string text = "first\r\n" + std::string(10000, 'x') + "\r\n\r\nlast";
  for (std::size_t block : {1u, 2u, 3u, 7u, 64u, 4096u}) {
    EXPECT_EQ(lines_of(text, block), (Lines{"first", std::string(10000, 'x'), "", "last"})) << block;
  }
  // A carriage return at a block boundary, right before the line feed.
  EXPECT_EQ(lines_of("ab\r\ncd\r\n", 3), (Lines{"ab", "cd"}));
}

}  // namespace
