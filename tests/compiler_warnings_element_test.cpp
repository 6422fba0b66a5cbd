#include "compiler/compiler_warnings_element.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/reader_rows.h"
#include "support/files.h"
#include "support/pattern_differential.h"
#include "support/program.h"
#include "support/sqlite_db.h"

using namespace test_support;

namespace {

Rows read(const std::string& log) {
  return test_support::diagnostic_rows<QZCompilerWarningsElement>(
      log, QZCompilerWarningsElement::GetQZCompilerWarningsElements);
}

TEST(CompilerWarningHeaderLine, PatternSource) {
  EXPECT_EQ(
      QZCompilerWarningsElement::my_regex().source(),
      R"re("(.*)",[[:space:]]+line[[:space:]]+([0-9]+):[[:space:]]+(error|warning)[[:space:]]+(.*):[[:space:]]*)re");
}

TEST(CompilerWarningHeaderLine, ExampleTable) {
  const struct {
    std::string line;
    Rows expected;
  } cases[] = {
      {R"("../Src/app/main.c", line 57: warning #179-D:)", {{"app/main.c", "57", "warning", "#179-D"}}},
      {R"("C:/proj/Src/Src/a.c", line 1: error #20:)", {{"Src/a.c", "1", "error", "#20"}}},  // first marker only
      {R"("a.c", line 3: warning #225-D: function "f" declared implicitly)", {}},  // text after the identifier
      {R"("../Src/b.c", line 007: warning #552-D:)", {{"b.c", "007", "warning", "#552-D"}}},
      {"\"../Src/b.c\", line 8: warning #552-D:  \t ", {{"b.c", "8", "warning", "#552-D"}}},
      {"\"../Src/b.c\", line 8: warning #552-D:\r", {{"b.c", "8", "warning", "#552-D"}}},           // CR CR LF
      {R"("C:\proj\Src\a.c", line 2: error #20:)", {{R"(C:\proj\Src\a.c)", "2", "error", "#20"}}},  // no "/Src/"
      {R"("main.c", line 2: error #20:)", {{"main.c", "2", "error", "#20"}}},
      {R"("../src/a.c", line 2: error #20:)", {{"../src/a.c", "2", "error", "#20"}}},  // the marker is "/Src/"
      {R"("/Src/", line 2: error #20:)", {{"", "2", "error", "#20"}}},
      {R"("a.c", line 3: warning :)", {{"a.c", "3", "warning", ""}}},            // empty identifier
      {R"("a.c", line 3: warning #1: x:)", {{"a.c", "3", "warning", "#1: x"}}},  // up to the last colon
      {R"("a"b.c", line 3: error E1:)", {{R"(a"b.c)", "3", "error", "E1"}}},
      {"\"a.c\",\tline\t3:\twarning\t#1:", {{"a.c", "3", "warning", "#1"}}},
      {R"("a.c", line 3: warning:)", {}},  // white space must follow the severity
      {R"("a.c", line 3: Warning #1:)", {}},
      {R"("a.c", line 3: remark #1:)", {}},
      {R"("a.c", line x3: warning #1:)", {}},
      {R"("a.c",line 3: warning #1:)", {}},
      {R"( "a.c", line 3: warning #1:)", {}},  // the quote must come first
      {R"(a.c, line 3: warning #1:)", {}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.line + "\n"), c.expected) << c.line;
}

TEST(CompilerWarningReader, LineEndsOrderAndDuplicates) {
  const std::string a = R"("../Src/a.c", line 1: warning #179-D:)";
  const std::string b = R"("../Src/b.c", line 2: error #20:)";
  const Rows two = {{"a.c", "1", "warning", "#179-D"}, {"b.c", "2", "error", "#20"}};
  EXPECT_EQ(read(a + "\n  variable \"x\" was declared but never referenced\n" + b + "\n"), two);
  EXPECT_EQ(read(a + "\r\n" + b + "\r\n"), two);  // written on Windows
  EXPECT_EQ(read(a + "\n" + b), two);             // no line feed after the last header
  EXPECT_EQ(read(a + "\r\n" + b), two);
  EXPECT_EQ(read(b + "\n" + a + "\n"), (Rows{two[1], two[0]}));  // log order, nothing sorted
  EXPECT_EQ(read(a + "\n" + a + "\n"), (Rows{two[0], two[0]}));  // nothing merged
  EXPECT_EQ(read(""), Rows{});
}

TEST(CompilerWarningErrorNum, CutsTheIdentifierWithoutRunningPastIt) {
  const std::pair<std::string, std::string> cases[] = {
      {"#179-D", "179"}, {"#1234-D", "1234"}, {"#20", ""}, {"abc", ""},
      {"ab", "b"},       {"a", ""},           {"", ""},    {"E1: x", "1:"},
  };
  for (const auto& [error_id, error_num] : cases)
    EXPECT_EQ(QZCompilerWarningsElement::error_num(error_id), error_num) << error_id;
}

INSTANTIATE_TEST_SUITE_P(CompilerWarnings, PatternDifferential,
                         testing::Values(PatternCase{
                             "compiler_warning_header",
                             &QZCompilerWarningsElement::my_regex,
                             {R"("../Src/app/main.c", line 57: warning #179-D:)",
                              R"("C:/proj/Src/Src/a.c", line 1: error #20:)", "\"a.c\",\tline  007:\twarning :  \t",
                              R"("x:y", line 1: error #1: x: )"}}),
                         pattern_case_name);

std::string convert(const std::string& log, const std::string& name = "out.sql") {
  TempDir dir;
  write_file(dir.file("in.log"), log);
  const RunResult run = run_program(standard_args("Warning", dir.file("in.log"), dir.file(name)));
  EXPECT_EQ(run.exit_status, 0) << run.out;
  return read_file(dir.file(name));
}

TEST(CompilerWarningConversion, SameLogLoadedTwiceGivesEveryRowTwice) {
  const std::string script = convert(
      "\"../Src/app/main.c\", line 007: warning #179-D:\n"
      "\"C:/proj/Src/say \"hi\".c\", line 1: error #20:\n");
  SqliteDb db;
  ASSERT_EQ(db.exec(script), "");
  ASSERT_EQ(db.exec(script), "");
  const Rows once = {
      {"Pwe3", "K7Tr52_App_default", "HASH", "app/main.c", "7", "integer", "warning", "#179-D", "179", "integer"},
      {"Pwe3", "K7Tr52_App_default", "HASH", "say \"hi\".c", "1", "integer", "error", "#20", "", "text"}};
  EXPECT_EQ(db.rows("select platform, project, githash, filename, line, typeof(line), type, error_id, error_num, "
                    "typeof(error_num) from compiler_results order by rowid"),
            (Rows{once[0], once[1], once[0], once[1]}));
}

TEST(CompilerWarningConversion, WindowsAndUnterminatedLogsGiveTheSameScript) {
  const std::string clean = normalise_date_time(convert("\"../Src/a.c\", line 1: warning #179-D:\nmessage\n"));
  EXPECT_EQ(normalise_date_time(convert("\"../Src/a.c\", line 1: warning #179-D:\r\nmessage\r\n")), clean);
  EXPECT_EQ(normalise_date_time(convert("message\n\"../Src/a.c\", line 1: warning #179-D:")), clean);
}

}  // namespace
