#include "compiler/diagnostic_columns.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

TEST(DiagnosticColumns, FirstDigitsOfTheIdentifier) {
  const std::pair<std::string, std::string> cases[] = {
      {"#179-D", "179"}, {"#20", "20"}, {"(dcc:1521)", "1521"}, {"E12x34", "12"}, {"#x-D", ""}, {"", ""}};
  for (const auto& [error_id, error_num] : cases)
    EXPECT_EQ(CompilerResults::first_digits(error_id), error_num) << error_id;
}

}  // namespace
