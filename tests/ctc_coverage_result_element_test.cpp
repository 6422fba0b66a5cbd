#include "coverage/ctc_coverage_result_element.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/files.h"
#include "support/pattern_differential.h"
#include "support/program.h"
#include "support/sqlite_db.h"

using namespace test_support;
using namespace std::string_literals;

namespace {

// function_name, then C0 percent, tested, testable, then C1 percent, tested, testable.
using Row = std::vector<std::string>;
using Rows = std::vector<Row>;

Row fields(const QZCtcCoverageResultElement& e) {
  return {e.row.function_name, e.row.C0_percent, e.row.C0_tested_lines, e.row.C0_testable_lines,
          e.row.C1_percent,    e.row.C1_tested_lines, e.row.C1_testable_lines};
}

Rows read(const std::string& listing) {
  std::istringstream in(listing);
  std::deque<QZCtcCoverageResultElement> elements(1);  // stale content must go
  QZCtcCoverageResultElement::GetQZCoverageResultElements(in, elements);
  Rows rows;
  for (const auto& element : elements) {
    EXPECT_TRUE(element.is_valid);
    rows.push_back(fields(element));
  }
  return rows;
}

const std::string function_pair =
    "***TER  50 % (  1/  2) of FUNCTION foo()\n"
    "       100 % (  3/  3) statement\n";
const Row foo_row = {"foo", "100", "3", "3", "50", "1", "2"};
const std::string module_pair =
    "TER : 75 % (3/4) decision\n"
    "TER : 100 % (10/10) statement\n";
const Row module_row = {"*module_statistics", "100", "10", "10", "75", "3", "4"};

TEST(CoverageCtcPatterns, CompiledFromTheListedSource) {
  EXPECT_EQ(QZCtcCoverageResultElement::my_regex().source(),
            R"(\*\*\*TER[[:space:]]+([0-9]+)[[:space:]]+[[:punct:]]+[[:space:]]+\([[:space:]]*([0-9]+)\/[[:space:]]*)"
            R"(([0-9]+)\).*FUNCTION[[:space:]]+(.*)\(\)[[:space:]]+([0-9]+)[[:space:]]+[[:punct:]]+[[:space:]]+\()"
            R"([[:space:]]*([0-9]+)\/[[:space:]]*([0-9]+)\).*)");
  EXPECT_EQ(QZCtcCoverageResultElement::my_regex2().source(),
            R"(TER[[:space:]]+[[:punct:]][[:space:]]+([0-9]+)[[:space:]]+[[:punct:]][[:space:]]+\(([0-9]+)\/)"
            R"(([0-9]+)\)[[:space:]]+decision[[:space:]]*TER[[:space:]]+[[:punct:]][[:space:]]+([0-9]+))"
            R"([[:space:]]+[[:punct:]][[:space:]]+\(([0-9]+)\/([0-9]+)\)[[:space:]]+statement)");
}

TEST(CoverageCtcRecord, WorkedExamplesFieldByField) {
  QZCtcCoverageResultElement function;
  ASSERT_TRUE(function.parse_input_string("***TER  50 % (  1/  2) of FUNCTION foo()       100 % (  3/  3) statement", 1));
  EXPECT_EQ(function.row.function_name, "foo");
  EXPECT_EQ(function.row.C0_percent, "100");
  EXPECT_EQ(function.row.C0_tested_lines, "3");
  EXPECT_EQ(function.row.C0_testable_lines, "3");
  EXPECT_EQ(function.row.C1_percent, "50");
  EXPECT_EQ(function.row.C1_tested_lines, "1");
  EXPECT_EQ(function.row.C1_testable_lines, "2");

  QZCtcCoverageResultElement module;
  ASSERT_TRUE(module.parse_input_string("TER : 75 % (3/4) decision TER : 100 % (10/10) statement", 1));
  EXPECT_EQ(module.row.function_name, "*module_statistics");
  EXPECT_EQ(module.row.C0_percent, "100");
  EXPECT_EQ(module.row.C0_tested_lines, "10");
  EXPECT_EQ(module.row.C0_testable_lines, "10");
  EXPECT_EQ(module.row.C1_percent, "75");
  EXPECT_EQ(module.row.C1_tested_lines, "3");
  EXPECT_EQ(module.row.C1_testable_lines, "4");
}

TEST(CoverageCtcRecord, NoMatchLeavesTheRecordUntouched) {
  QZCtcCoverageResultElement element;
  element.row.function_name = "kept";
  element.row.C0_percent = "1";
  EXPECT_FALSE(element.parse_input_string("***TER 50 % (1/2) of SOURCE FILE a.c 100 % (3/3) statement", 4));
  EXPECT_FALSE(element.is_valid);
  EXPECT_EQ(fields(element), (Row{"kept", "1", "", "", "", "", ""}));
}

TEST(CoverageCtcReader, PairingTable) {
  const struct {
    std::string listing;
    Rows expected;
  } cases[] = {
      {function_pair, {foo_row}},
      {module_pair, {module_row}},
      {function_pair + module_pair + function_pair, {foo_row, module_row, foo_row}},  // input order, duplicates kept
      {"***TER 90 % (9/10) of FUNCTION bar()\n 80 % (8/10) statement\n",  // blanks are optional inside "( / )"
       {{"bar", "80", "8", "10", "90", "9", "10"}}},
      // The partner of a "***TER" line is the next line, whatever it holds: here
      // the next function's line, so both functions are lost.
      {"***TER 50 % (1/2) of FUNCTION a()\n***TER 100 % (2/2) of FUNCTION b()\n 100 % (4/4) statement\n", {}},
      // A consumed partner never begins a pair of its own.
      {"TER : 75 % (3/4) decision\n" + module_pair, {}},
      {"***TER 50 % (1/2) of FUNCTION foo()\n" + module_pair, {}},
      {"***TER  50 % (  1/  2) of FUNCTION foo()\n", {}},  // last line, no partner
      {"TER : 75 % (3/4) decision", {}},
      {" " + function_pair, {}},  // white space before "***TER"
      {"\t" + module_pair, {}},   // ... or "TER" (the second line then pairs with nothing)
      {"TER : 75 % ( 3/4) decision\nTER : 100 % (10/10) statement\n", {}},  // no blanks for the module pattern
      {"TER : 75 % (3/4) decision\nTER : 100 % (10/ 10) statement\n", {}},
      {"TER : 75 % (3/4) decision\nTER : 100 % (10/10) statement.\n", {}},  // "statement" ends the text
      {"***TER 100 % (8/8) of SOURCE FILE prime.c\n 100 % (13/13) statement\n", {}},  // no FUNCTION
      {"***TER 100 % (1/1) of FUNCTION operator()()\n 100 % (2/2) statement\n",
       {{"operator()", "100", "2", "2", "100", "1", "1"}}},
      // The name runs to the last "()" from which the rest still matches.
      {"***TER 100 % (1/1) of FUNCTION a() 1 % (1/1) b()\n   100 % (2/2) statement\n",
       {{"a() 1 % (1/1) b", "100", "2", "2", "100", "1", "1"}}},
      // A line counts only up to a NUL character.
      {"***TER  50 % (  1/  2) of FUNCTION foo()\0junk\n       100 % (  3/  3) statement\n"s, {foo_row}},
      {"TER : 75 % (3/4) decision\0junk\nTER : 100 % (10/10) statement\n"s, {module_row}},
      {"TER : 75 % (3/4) decision\nTER : 100 % (10/10) statement\0 (tail)\n"s, {module_row}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.listing), c.expected) << testing::PrintToString(c.listing);
}

TEST(CoverageCtcReader, LineEnds) {
  const std::string listing = "Listing\n" + function_pair + "----\n" + module_pair;
  const Rows expected = {foo_row, module_row};
  EXPECT_EQ(read(listing), expected);
  std::string crlf;
  for (char c : listing) crlf += c == '\n' ? "\r\n" : std::string(1, c);
  EXPECT_EQ(read(crlf), expected);                                        // written on Windows
  EXPECT_EQ(read(listing.substr(0, listing.size() - 1)), expected);      // the partner is the unterminated last line
  EXPECT_EQ(read(crlf.substr(0, crlf.size() - 2)), expected);
  EXPECT_EQ(read("TER : 75 % (3/4) decision\r\r\nTER : 100 % (10/10) statement\r\n"), Rows{{module_row}});
  EXPECT_EQ(read("TER : 75 % (3/4) decision\nTER : 100 % (10/10) statement\r\r\n"), Rows{});  // one CR is the line end
}

INSTANTIATE_TEST_SUITE_P(
    CoverageCtc, PatternDifferential,
    testing::Values(PatternCase{"ctc_function_summary",
                                &QZCtcCoverageResultElement::my_regex,
                                {"***TER  50 % (  1/  2) of FUNCTION foo()       100 % (  3/  3) statement",
                                 "***TER 90 % (9/10) of FUNCTION bar() 80 % (8/10) statement",
                                 "***TER\t100\t%%\t(1/1) FUNCTION\tns::op()()\v7 ! (\t0/ 12) decision ()",
                                 "***TER 100 % (1/1) of FUNCTION a() 1 % (1/1) b()   100 % (2/2) statement"}},
                    PatternCase{"ctc_module_summary",
                                &QZCtcCoverageResultElement::my_regex2,
                                {"TER : 75 % (3/4) decision TER : 100 % (10/10) statement",
                                 "TER\t:\t0 %\t(0/0)\tdecisionTER  ;  12 #  (5/41)  statement",
                                 "TER                : 89 % (24/27) decision TER : 91 % (30/33) statement"}}),
    pattern_case_name);

struct Converted {
  RunResult run;
  std::string script;
};

Converted convert(const std::string& listing, const std::string& hash = "HASH") {
  TempDir dir;
  write_file(dir.file("listing.txt"), listing);
  std::vector<std::string> args = standard_args("CTC_Coverage", dir.file("listing.txt"), dir.file("out.sql"));
  args.insert(args.begin(), "--hash_value=" + hash);  // the first one wins
  Converted converted;
  converted.run = run_program(args);
  converted.script = read_file(dir.file("out.sql"));
  return converted;
}

const std::string create_line =
    "BEGIN TRANSACTION;\ncreate table if not exists ut_coverage (platform, project, tool, githash, date, time, C0_percent INTEGER, "
    "C0_tested_lines INTEGER, C0_testable_lines INTEGER, C1_percent INTEGER, C1_tested_lines INTEGER, "
    "C1_testable_lines INTEGER, function_name, UNIQUE (project, githash, function_name) ON CONFLICT IGNORE);\n";

TEST(CoverageCtcConversion, WholeScriptOfTheFunctionExample) {
  const Converted converted = convert(function_pair, "1a2b3c4");
  ASSERT_EQ(converted.run.exit_status, 0);
  const std::string expected =
      create_line +
      "insert into ut_coverage (platform, project, tool, githash, date, time, C0_percent, C0_tested_lines, "
      "C0_testable_lines, C1_percent, C1_tested_lines, C1_testable_lines, function_name) values ('Pwe3', "
      "'K7Tr52_App_default', 'CTC', '1a2b3c4', '<date>', '<time>', '100', '3', '3', '50', '1', "
      "'2', 'foo');\nCOMMIT;\n";
  EXPECT_EQ(normalise_date_time(converted.script), expected);
  EXPECT_EQ(normalise_date_time(converted.run.out), "version 0" + expected);
}

TEST(CoverageCtcConversion, NoPairGivesTheCreateLineAlone) {
  for (const std::string listing : {"", "nothing to see\n", "***TER 50 % (1/2) of FUNCTION a()\n"}) {
    const Converted converted = convert(listing);
    EXPECT_EQ(converted.run.exit_status, 0);
    EXPECT_EQ(converted.script, create_line + "COMMIT;\n") << listing;
    EXPECT_EQ(converted.run.out, "version 0" + create_line + "COMMIT;\n") << listing;
  }
}

TEST(CoverageCtcConversion, LoadedRowsKeepTheFirstModuleSummaryAndIntegerCounts) {
  const std::string listing = function_pair + module_pair +
                              "***TER 0 % (0/4) of FUNCTION quote\"d()\n 25 % (1/4) statement\n"
                              "TER : 50 % (1/2) decision\nTER : 60 % (6/10) statement\n";
  const Converted converted = convert(listing);
  ASSERT_EQ(converted.run.exit_status, 0);
  SqliteDb db;
  ASSERT_EQ(db.exec(converted.script), "");
  const Rows expected = {{"foo", "100", "3", "3", "50", "1", "2", "integer"},
                         {"*module_statistics", "100", "10", "10", "75", "3", "4", "integer"},
                         {"quote\"d", "25", "1", "4", "0", "0", "4", "integer"}};
  EXPECT_EQ(db.rows("select function_name, C0_percent, C0_tested_lines, C0_testable_lines, C1_percent, "
                    "C1_tested_lines, C1_testable_lines, typeof(C0_percent) from ut_coverage order by rowid"),
            expected);
  EXPECT_EQ(db.rows("select count(*) from ut_coverage where typeof(C0_tested_lines) = 'integer' and "
                    "typeof(C0_testable_lines) = 'integer' and typeof(C1_percent) = 'integer' and "
                    "typeof(C1_tested_lines) = 'integer' and typeof(C1_testable_lines) = 'integer'"),
            Rows{{"3"}});
  EXPECT_EQ(db.rows("select platform, project, tool, githash from ut_coverage group by githash"),
            (Rows{{"Pwe3", "K7Tr52_App_default", "CTC", "HASH"}}));

  // A second listing of the same project and hash adds only new function names.
  ASSERT_EQ(db.exec(convert("***TER 1 % (1/99) of FUNCTION foo()\n 1 % (1/99) statement\n"
                            "***TER 1 % (1/99) of FUNCTION baz()\n 1 % (1/99) statement\n")
                        .script),
            "");
  EXPECT_EQ(db.rows("select function_name, C0_percent from ut_coverage order by rowid"),
            (Rows{{"foo", "100"}, {"*module_statistics", "100"}, {"quote\"d", "25"}, {"baz", "1"}}));
}

}  // namespace
