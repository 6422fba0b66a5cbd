#include "coverage/lcov_coverage_result_element.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// function_name, C0 percent/tested/testable, C1 percent/tested/testable, one row per line.
std::string rows(const std::string& tracefile) {
  std::istringstream in(tracefile);
  std::deque<QZLcovCoverageResultElement> records(1);
  QZLcovCoverageResultElement::read_elements(in, records);
  std::string text;
  for (const auto& record : records) {
    const Coverage::coverage_row& r = record.row;
    text += r.function_name + " " + r.C0_percent + "/" + r.C0_tested_lines + "/" + r.C0_testable_lines + " " +
            r.C1_percent + "/" + r.C1_tested_lines + "/" + r.C1_testable_lines + "\n";
  }
  return text;
}

TEST(LcovTracefile, Rows) {
  const struct {
    std::string tracefile;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"TN:\nDA:1,1\nend_of_record\n", ""},
      // Rounded down; no lines found leaves the percent empty.
      {"SF:a\nDA:1,1\nDA:2,4\nDA:3,0\nend_of_record\nSF:b\nend_of_record\n",
       "a 66/2/3 //\nb /0/0 //\n*module_statistics 66/2/3 //\n"},
      // Summary lines win over the detail lines, each on its own.
      {"SF:a\nDA:1,1\nDA:2,0\nLF:7\nBRDA:1,0,0,1\nBRDA:1,0,1,-\nBRDA:1,0,2,0\nBRH:3\nend_of_record\n",
       "a 14/1/7 100/3/3\n*module_statistics 14/1/7 100/3/3\n"},
      // Branch totals come only from the records that have branch data.
      {"SF:a\nLF:4\nLH:4\nend_of_record\nSF:b\nLF:6\nLH:0\nBRF:10\nBRH:1\nend_of_record\n",
       "a 100/4/4 //\nb 0/0/6 10/1/10\n*module_statistics 40/4/10 10/1/10\n"},
      // The largest counts still give exact percents.
      {"SF:a\nLF:18446744073709551615\nLH:18446744073709551614\nend_of_record\n",
       "a 99/18446744073709551614/18446744073709551615 //\n"
       "*module_statistics 99/18446744073709551614/18446744073709551615 //\n"},
      // 2^64 takes its record away, the other records stay.
      {"SF:a\nBRF:18446744073709551616\nend_of_record\nSF:b\nLH:1\nLF:1\nend_of_record\n",
       "b 100/1/1 //\n*module_statistics 100/1/1 //\n"},
      // Malformed lines are passed over.
      {"SF:a\nLF:-1\nLF: 3\nLF:3x\nDA:1\nDA:1,2,3\nBRDA:1,2,3\nBRDA:1,0,(a > b),2\nend_of_record\n",
       "a 100/1/1 100/1/1\n*module_statistics 100/1/1 100/1/1\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tracefile);
    EXPECT_EQ(rows(c.tracefile), c.expected);
  }
}

}  // namespace
