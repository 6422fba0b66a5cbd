#include "coverage/lcov_coverage_result_element.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "support/files.h"

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

// A source built into several objects has a record per object; they merge
// into one row, as lcov merges them.
TEST(LcovTracefile, RecordsOfOneFileMerge) {
  const struct {
    std::string tracefile;
    std::string expected;
  } cases[] = {
      // Lines: found once, hit when any record hit them; LF/LH are not read.
      {"SF:/src/a.c\nDA:1,1\nDA:2,0\nLF:2\nLH:1\nend_of_record\nSF:/src/a.c\nDA:1,0\nDA:2,1\nLF:2\nLH:1\n"
       "end_of_record\n",
       "/src/a.c 100/2/2 //\n*module_statistics 100/2/2 //\n"},
      // A negative count is 0 once merged; a line only one record lists counts.
      {"SF:a\nDA:1,-4\nDA:3,0\nLF:9\nend_of_record\nSF:a\nDA:2,1\nDA:1,-2\nDA:3,0\nend_of_record\n",
       "a 33/1/3 //\n*module_statistics 33/1/3 //\n"},
      // Branches by line, block and branch: "-" with a count gives the count,
      // "-" with "-" stays "-"; BRF/BRH are not read.
      {"SF:a\nBRDA:4,0,0,-\nBRDA:4,0,1,-\nBRDA:5,0,0,-\nBRDA:6,1,0,2\nBRF:9\nBRH:9\nend_of_record\n"
       "SF:a\nBRDA:4,0,0,3\nBRDA:4,0,1,0\nBRDA:5,0,0,-\nBRDA:6,0,0,0\nend_of_record\n",
       "a /0/0 40/2/5\n*module_statistics /0/0 40/2/5\n"},
      // A branch part with commas in it (newer writers) is one branch.
      {"SF:a\nBRDA:1,0,(x, y),0\nend_of_record\nSF:a\nBRDA:1,0,(x, y),3\nBRDA:1,0,(x, z),0\nend_of_record\n",
       "a /0/0 50/1/2\n*module_statistics /0/0 50/1/2\n"},
      // One row per file, where its first record stood; a file of one record
      // keeps its LF/LH; the C1 columns stay empty while no record has branches.
      {"SF:a\nDA:1,0\nend_of_record\nSF:b\nDA:1,1\nLF:5\nLH:5\nend_of_record\nSF:a\nDA:1,7\nend_of_record\n",
       "a 100/1/1 //\nb 100/5/5 //\n*module_statistics 100/6/6 //\n"},
      {"SF:a\nDA:1,0\nend_of_record\nSF:a\nDA:2,0\nBRF:0\nend_of_record\n",
       "a 0/0/2 /0/0\n*module_statistics 0/0/2 /0/0\n"},
      // A record dropped for a number too large leaves the file's other record.
      {"SF:a\nDA:1,1\nLF:4\nLH:1\nend_of_record\nSF:a\nDA:2,18446744073709551616\nend_of_record\n",
       "a 25/1/4 //\n*module_statistics 25/1/4 //\n"},
      // The SF text as written: another spelling is another file.
      {"SF:/src/a.c\nDA:1,1\nend_of_record\nSF:/src/../src/a.c\nDA:1,0\nend_of_record\n",
       "/src/a.c 100/1/1 //\n/src/../src/a.c 0/0/1 //\n*module_statistics 50/1/2 //\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tracefile);
    EXPECT_EQ(rows(c.tracefile), c.expected);
  }
}

// "  lines......: 81.2% (13 of 16 lines)" gives "13/16"; "no data found" gives "/".
std::string lcov_summary_tally(const std::string& summary, const std::string& measure) {
  std::istringstream in(summary);
  for (std::string line; std::getline(in, line);) {
    if (!line.starts_with("  " + measure + ".")) continue;
    const std::size_t open = line.find('(');
    unsigned long hit = 0, found = 0;
    if (open == std::string::npos) return "/";
    if (std::sscanf(line.c_str() + open, "(%lu of %lu", &hit, &found) != 2) return "unreadable: " + line;
    return std::to_string(hit) + "/" + std::to_string(found);
  }
  return "missing";
}

// The module row holds what lcov's own summary says of the same tracefile.
TEST(LcovTracefile, ModuleRowEqualsLcovSummary) {
  int compared = 0;
  for (const auto& file : std::filesystem::directory_iterator(VIVIRI_FIXTURES "/LCOV_Coverage")) {
    if (file.path().extension() != ".lcov-summary") continue;
    SCOPED_TRACE(file.path().string());
    const std::string summary = test_support::read_file(file.path().string());
    const std::filesystem::path input = std::filesystem::path(file.path()).replace_extension(".input");
    std::istringstream in(test_support::read_file(input.string()));
    std::deque<QZLcovCoverageResultElement> records;
    QZLcovCoverageResultElement::read_elements(in, records);
    ASSERT_FALSE(records.empty());
    const Coverage::coverage_row& module = records.back().row;
    EXPECT_EQ(module.function_name, "*module_statistics");
    EXPECT_EQ(module.C0_tested_lines + "/" + module.C0_testable_lines, lcov_summary_tally(summary, "lines"));
    EXPECT_EQ(module.C1_tested_lines + "/" + module.C1_testable_lines, lcov_summary_tally(summary, "branches"));
    ++compared;
  }
  EXPECT_EQ(compared, 2);
}

}  // namespace
