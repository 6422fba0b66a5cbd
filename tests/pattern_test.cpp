#include "detail/pattern.h"

#include <gtest/gtest.h>

namespace {

using Detail::MatchResult;
using Detail::Pattern;

bool full(const char* source, std::string_view subject) {
  return Pattern(source).full_match(subject) == MatchResult::matched;
}

TEST(Pattern, WholeSubjectMatching) {
  EXPECT_TRUE(full("h.*o", "hello"));
  EXPECT_FALSE(full("h.*o", "hello!"));    // must be anchored at the end
  EXPECT_FALSE(full("h.*o", "ahello"));    // must be anchored at the start
  EXPECT_TRUE(full("a|ab", "ab"));         // an alternative that stops early is not the match
  EXPECT_FALSE(full("x$", "x\n"));         // no line-end leniency at the end
  EXPECT_TRUE(full("^\\s+x", "  x"));
  EXPECT_FALSE(full("a.c", "a\rc"));       // "." takes neither carriage return...
  EXPECT_FALSE(full("a.c", "a\nc"));       // ...nor line feed
  EXPECT_TRUE(full("a.c", std::string_view("a\0c", 3)));
  EXPECT_TRUE(full("a.c", "a\xff" "c"));   // bytes stay bytes
  EXPECT_FALSE(full("[[:space:]]", "\xa0"));
  EXPECT_TRUE(full("[[:punct:]]+", "_!~"));
  EXPECT_TRUE(full("\\<tr\\>\\/\\:", "<tr>/:"));  // identity escapes
}

TEST(Pattern, Captures) {
  const Pattern pattern("(a)|(b)(c)?");
  Detail::Match groups;
  ASSERT_EQ(pattern.full_match("b", groups), MatchResult::matched);
  ASSERT_EQ(groups.size(), 4u);
  EXPECT_EQ(groups[0], "b");
  EXPECT_FALSE(groups.matched(1));
  EXPECT_EQ(groups[1], "");
  EXPECT_TRUE(groups.matched(2));
  EXPECT_FALSE(groups.matched(3));
  EXPECT_EQ(groups[9], "");  // past the last group
  EXPECT_EQ(pattern.group_count(), 3u);
  EXPECT_EQ(pattern.source(), "(a)|(b)(c)?");

  ASSERT_EQ(Pattern("(.*)\\.\\)(.*)").full_match("x.) y.) z", groups), MatchResult::matched);
  EXPECT_EQ(groups.str(1), "x.) y");  // greedy: the last ".)" from which the rest matches
  ASSERT_EQ(Pattern("(.*?)\\)(.*)").full_match("a)b)", groups), MatchResult::matched);
  EXPECT_EQ(groups.str(1), "a");
}

TEST(Pattern, BadSourceIsAProgrammingError) { EXPECT_THROW(Pattern("(unclosed"), std::logic_error); }

TEST(Pattern, RunawayMatchGivesUpInsteadOfHanging) {
  const Pattern pattern("(a+)+[bc]", 1000);
  const std::string subject = std::string(40, 'a') + "d";
  EXPECT_EQ(pattern.full_match(subject), MatchResult::gave_up);
  EXPECT_EQ(pattern.full_match("aaab"), MatchResult::matched);  // usable after giving up
}

TEST(Pattern, LongLinesMatchWithoutDeepRecursion) {
  const Pattern pattern("(.*)\\s+0x([0-9a-f]{8})(.*)");
  const std::string subject = std::string(5'000'000, 'x') + " 0x0000abcd tail";
  Detail::Match groups;
  ASSERT_EQ(pattern.full_match(subject, groups), MatchResult::matched);
  EXPECT_EQ(groups[2], "0000abcd");
  EXPECT_EQ(groups[1].size(), 5'000'000u);
}

TEST(MatchInputLine, ReportsAGivenUpLineAndSkipsIt) {
  const Pattern pattern("(a+)+[bc]", 1000);
  Detail::Match groups;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(Detail::match_input_line(pattern, std::string(40, 'a') + "d", 17, groups));
  EXPECT_TRUE(Detail::match_input_line(pattern, "ab", 18, groups));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "VIViriZovuro error: Pattern matching gave up on input line 17, the line was skipped\n");
}

}  // namespace
