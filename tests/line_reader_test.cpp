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

TEST(LineReader, MalformedUtf16IsReplacedAndReported) {
  using namespace std::string_literals;  // the texts hold NUL bytes
  const struct {
    std::string text;
    Lines expected;
    std::string messages;
  } cases[] = {
      {"\xFF\xFE" "a\0\n\0b\0"s, {"a", "b"}, ""},
      {"\xFE\xFF" "\0a\0\n\xD8\x3D\xDE\x00"s, {"a", "\xF0\x9F\x98\x80"}, ""},  // a surrogate pair
      {"\xFF\xFE" "a\0\n\0b"s, {"a", "\xEF\xBF\xBD"}, "6"},                   // an odd byte count
      {"\xFF\xFE" "\x00\xDCx\0"s, {"\xEF\xBF\xBDx"}, "2"},                     // a lone low surrogate
      {"\xFF\xFE" "\x3D\xD8x\0"s, {"\xEF\xBF\xBDx"}, "2"},                     // a lone high surrogate
      {"\xFF\xFE" "x\0\x3D\xD8"s, {"x\xEF\xBF\xBD"}, "4"},                     // one at the end
      {"\xEF\xBB\xBF" "a\n"s, {"a"}, ""},                                // a UTF-8 mark is dropped
      {"a\xEF\xBB\xBF\n"s, {"a\xEF\xBB\xBF"}, ""},                              // only at the start
  };
  for (const auto& c : cases) {
    for (std::size_t block : {1u, 2u, 3u, 5u, 4096u}) {
      testing::internal::CaptureStdout();
      const Lines lines = lines_of(c.text, block);
      const std::string printed = testing::internal::GetCapturedStdout();
      EXPECT_EQ(lines, c.expected) << testing::PrintToString(c.text) << " block " << block;
      const std::string message = c.messages.empty() ? "" : "VIViriZovuro error: Input is not valid UTF-16 at byte offset " +
                                                                c.messages + ", the character was replaced by U+FFFD\n";
      EXPECT_EQ(printed, message) << testing::PrintToString(c.text) << " block " << block;
    }
  }
}

// Gives its text, then fails as a file on a broken disk or share does.
struct FailingBuffer : std::streambuf {
  std::string text = "a\nb";
  bool given = false;
  int_type underflow() override {
    if (given) throw std::runtime_error("I/O error");
    given = true;
    setg(text.data(), text.data(), text.data() + text.size());
    return traits_type::to_int_type(text[0]);
  }
};

// Parsers that read past the end (SARIF's JSON parser) get spare bytes after
// the text, also when decoding makes the text longer than the file.
TEST(ReadWhole, KeepsSpareCapacityAfterTheText) {
  using namespace std::string_literals;
  std::string euros = "\xFF\xFE";  // UTF-16: two bytes for each euro sign, three in UTF-8
  for (int i = 0; i < 1000; ++i) euros += "\xAC\x20";
  for (const std::string& text : {""s, "abc"s, euros}) {
    std::istringstream in(text);
    const std::string whole = Detail::read_whole(in, 64);
    EXPECT_GE(whole.capacity(), whole.size() + 64) << whole.size();
  }
  std::istringstream in("a\r\nb");
  EXPECT_EQ(Detail::read_whole(in, 64), "a\r\nb");
}

TEST(LineReader, StreamFailingPartWayThrows) {
  FailingBuffer buffer;
  std::istream in(&buffer);
  Detail::LineReader reader(in, 2);
  std::string_view line;
  ASSERT_TRUE(reader.next(line));
  EXPECT_EQ(line, "a");
  EXPECT_THROW(reader.next(line), Detail::input_read_error);
}

}  // namespace
