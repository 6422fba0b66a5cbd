#include "detail/text_helpers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

namespace {

TEST(AddQuotes, DoublesInnerQuotes) {
  EXPECT_EQ(Detail::add_quotes(""), "\"\"");
  EXPECT_EQ(Detail::add_quotes("Pwe3"), "\"Pwe3\"");
  EXPECT_EQ(Detail::add_quotes("a\"b"), "\"a\"\"b\"");
  EXPECT_EQ(Detail::add_quotes("\""), "\"\"\"\"");
  EXPECT_EQ(Detail::add_quotes("\"\"x\""), "\"\"\"\"\"x\"\"\"");
  EXPECT_EQ(Detail::add_quotes("a\\b, c\nd\xff"), "\"a\\b, c\nd\xff\"");  // nothing else is touched
  EXPECT_EQ(Detail::add_quotes(std::string("a\0b\0", 4)), "\"ab\"");  // a NUL would end the script's text
}

TEST(AddQuotes, AppendsToExistingText) {
  std::string row = "values (";
  Detail::append_quoted(row, "x\"y");
  EXPECT_EQ(row, "values (\"x\"\"y\"");
}

TEST(SqlLiteral, SingleQuotedWithInnerSingleQuotesDoubled) {
  const struct {
    std::string value, literal;
  } cases[] = {
      {"", "''"},
      {"Pwe3", "'Pwe3'"},
      {"it's", "'it''s'"},
      {"''", "''''''"},
      {"say \"hi\"", "'say \"hi\"'"},  // a double quote is an ordinary character
      {"a\\b, c\nd\xff", "'a\\b, c\nd\xff'"},
      {std::string("a\0'\0", 4), "'a'''"},  // a NUL would end the script's text
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Detail::sql_literal(c.value), c.literal) << c.value;
    std::string row = "values (";
    Detail::append_sql_literal(row, c.value);
    EXPECT_EQ(row, "values (" + c.literal);
  }
}

TEST(AddSpace, IsOneBlank) { EXPECT_EQ(Detail::add_space(), " "); }

TEST(MyLexicalCast, NumberToText) {
  EXPECT_EQ(Detail::my_lexical_cast<unsigned long>(0ul), "0");
  EXPECT_EQ(Detail::my_lexical_cast<unsigned long>(1234567ul), "1234567");
  EXPECT_EQ(Detail::my_lexical_cast<unsigned long>(18446744073709551615ul), "18446744073709551615");
}

TEST(MyLexicalCast, TextToNumberReadsLikeAStream) {
  const char* texts[] = {"00042", "12abc", "4294967295", "4294967296", "99999999999999999999", "", "abc",
                         " \t7",  "+5",    "-1",         "-4294967296", "0x10", "1 2", "\n3\n", "-", "+"};
  for (const char* text : texts) {
    std::istringstream stream(text);
    unsigned int expected = 0;
    stream >> expected;
    EXPECT_EQ(Detail::my_lexical_cast<unsigned int>(std::string(text)), expected) << '"' << text << '"';
  }
  EXPECT_EQ(Detail::my_lexical_cast<unsigned int>(std::string("00042")), 42u);
  EXPECT_EQ(Detail::my_lexical_cast<unsigned int>(std::string("12abc")), 12u);
  EXPECT_EQ(Detail::my_lexical_cast<unsigned int>(std::string("4294967296")), 4294967295u);
  EXPECT_EQ(Detail::my_lexical_cast<unsigned int>(std::string("")), 0u);
}

TEST(DateAndTime, ShapeAndOneReadingPerProcess) {
  std::string date, time;
  Detail::get_date_and_time_string(date, time);
  ASSERT_EQ(date.size(), 10u) << date;
  EXPECT_EQ(date[4], '-');
  EXPECT_EQ(date[7], '-');
  ASSERT_EQ(time.size(), 8u) << time;
  EXPECT_EQ(time[2], ':');
  EXPECT_EQ(time[5], ':');
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  std::string later_date, later_time;
  Detail::get_date_and_time_string(later_date, later_time);
  EXPECT_EQ(later_date, date);
  EXPECT_EQ(later_time, time);
}

}  // namespace
