#include "results/console_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ConsoleReader, SkipsOneTimeStampAndOneCtestPrefix) {
  const struct {
    std::string line, text, source;
  } cases[] = {
      {"[2019-08-28T08:44:26.749Z] 12: x", "x", "12"},
      {"[08:44:26] [1] x", "[1] x", ""},         // one time stamp only
      {"[ RUN      ] A.b", "[ RUN      ] A.b", ""},  // GoogleTest's tags begin with a blank
      {"[x1] y", "[x1] y", ""},
      {"[1]y", "[1]y", ""},                      // a blank must follow
      {"3: 4: x", "4: x", "3"},                  // one prefix only
      {"3:x", "3:x", ""},
      {"x 3: y", "x 3: y", ""},
      {"3: ", "", "3"},
  };
  for (const auto& c : cases) {
    const Results::ConsoleLine line = Results::ConsoleReader::without_prefixes(c.line);
    EXPECT_EQ(line.text, c.text) << c.line;
    EXPECT_EQ(line.source, c.source) << c.line;
  }
}

}  // namespace
