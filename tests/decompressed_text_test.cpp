#include "detail/decompressed_text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/gzip.h"

namespace {

using test_support::gzip;

struct Read {
  std::string text;
  std::string problem;
};

Read read(const std::string& input) {
  std::istringstream in(input);
  Read result;
  result.text = Detail::read_whole_decompressed(in, 64, result.problem);
  if (result.problem.empty()) {
    EXPECT_GE(result.text.capacity(), result.text.size() + 64);
  }
  return result;
}

TEST(DecompressedText, PlainAndGzipInputs) {
  const std::string document = R"({"files": []})";
  std::string damaged = gzip(std::string(1000, 'a') + "b");
  damaged[damaged.size() - 6] ^= 0x55;  // the CRC-32 of the text
  const struct {
    std::string input;
    Read expected;
  } cases[] = {
      {document, {document, ""}},
      {"", {"", ""}},
      {"\x1f", {"\x1f", ""}},  // too short to be gzip
      {"\xef\xbb\xbf" + document, {document, ""}},
      {gzip(document), {document, ""}},
      {gzip(""), {"", ""}},
      // gzip files joined end to end: every member.
      {gzip(document) + gzip("\n") + gzip(document), {document + "\n" + document, ""}},
      {gzip(document) + "\n", {"", "other data follows the gzip stream at offset " +
                                       std::to_string(gzip(document).size())}},
      {damaged, {"", "the gzip stream is damaged (incorrect data check)"}},
      {"\x1f\x8b", {"", "the gzip stream is cut short"}},
      {std::string("\x1f\x8b\x09", 3) + std::string(20, '\0'), {"", "the gzip stream is damaged (unknown compression method)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const Read result = read(c.input);
    EXPECT_EQ(result.text, c.expected.text);
    EXPECT_EQ(result.problem, c.expected.problem);
  }
}

// Every prefix of a stream, cut anywhere before its end, is refused.
TEST(DecompressedText, CutAnywhereIsRefused) {
  const std::string stream = gzip(R"({"format_version": "1", "files": [{"file": "a.c", "lines": []}]})");
  for (std::size_t size = 2; size < stream.size(); ++size) {
    SCOPED_TRACE(size);
    const Read result = read(stream.substr(0, size));
    EXPECT_EQ(result.text, "");
    EXPECT_TRUE(result.problem == "the gzip stream is cut short" || result.problem.starts_with("the gzip stream is damaged"))
        << result.problem;
  }
}

// A few kilobytes that would expand to gigabytes stop at the limit: 100
// times the stream's size, at least 1 MiB.
TEST(DecompressedText, ExpansionIsBounded) {
  const std::string small_bomb = gzip(std::string(std::size_t{2} << 20, ' '));  // 2 MiB from about 2 kB
  EXPECT_EQ(read(small_bomb).problem, "the gzip stream expands past 1048576 bytes (the limit: 100 times the compressed size, at least 1 MiB, at "
            "most 4 GiB)");

  const std::string within = std::string(Detail::min_decompressed_limit, ' ');
  EXPECT_EQ(read(gzip(within)).text, within);

  // The limit is exact: a text of its size passes, one byte more does not.
  const std::string text = "0123456789";
  std::string problem;
  EXPECT_EQ(Detail::gunzip(gzip(text), 0, text.size(), problem), text);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(Detail::gunzip(gzip(text), 0, text.size() - 1, problem), "");
  EXPECT_EQ(problem, "the gzip stream expands past 9 bytes (the limit: 100 times the compressed size, at least 1 MiB, at most "
            "4 GiB)");
}

}  // namespace
