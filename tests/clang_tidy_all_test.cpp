// ClangTidy_all: ClangTidy with a message pattern that takes any file name.

#include <gtest/gtest.h>

#include <sstream>

#include "clang_tidy/clang_tidy_element.h"
#include "support/files.h"
#include "support/pattern_differential.h"
#include "support/program.h"

using Element = ZEZudizOzazIdovuvidurElement;
using namespace test_support;

namespace {

// file_name, line, column, check_name, tail_text, message, full_text; "no" when the text does not parse.
std::vector<std::string> parsed(const std::string& text, const Detail::Pattern& pattern) {
  Element e;
  if (!e.parse_single_tidy_msg(text, 1, pattern)) return {"no"};
  return {e.file_name, std::to_string(e.line), std::to_string(e.column), e.check_name, e.tail_text, e.message,
          e.full_text};
}

TEST(ClangTidyAllPattern, TakesEveryFileAndOtherwiseWhatClangTidyTakes) {
  const std::string source = Element::all_files_tidy_msg_regex().source();
  EXPECT_EQ(source, R"((.*)\:([0-9]+)\:([0-9]+)\:[[:space:]]+(error|note|warning)\:[[:space:]]+(.*)\[(.*)\](.*))");
  EXPECT_EQ(source.substr(4), Element::my_single_tidy_msg_regex().source().substr(15));
  EXPECT_EQ(&Element::message_regex("ClangTidy_all"), &Element::all_files_tidy_msg_regex());
  EXPECT_EQ(&Element::message_regex("ClangTidy"), &Element::my_single_tidy_msg_regex());

  for (const std::string text : {"src/a.cpp:10:5: warning: use nullptr [modernize-use-nullptr]     int *p = 0;     ^",
                                 "C:\\w\\u.c:7:3: note: value [x] assigned here [y] tail",
                                 "d/b.c:old.cpp:3:4:\twarning:  w [k]", "a.h:1:2: error: a.h:3:4: warning: [z] "}) {
    EXPECT_EQ(parsed(text, Element::all_files_tidy_msg_regex()), parsed(text, Element::my_single_tidy_msg_regex()))
        << text;
    EXPECT_NE(parsed(text, Element::all_files_tidy_msg_regex()), std::vector<std::string>{"no"}) << text;
  }
  const std::pair<std::string, std::string> only_all[] = {
      {"src/a.cc:1:2: warning: w [k]", "src/a.cc"},      {"x.cxx:1:2: error: e [k] t", "x.cxx"},
      {"inc/a.hpp:1:2: warning: w [k]", "inc/a.hpp"},   {"inc/vector:1:2: warning: w [k]", "inc/vector"},
      {"a.inl:1:2: note: n [k]", "a.inl"},               {":1:2: warning: no name [k]", ""},
  };
  for (const auto& [text, file] : only_all) {
    EXPECT_EQ(parsed(text, Element::my_single_tidy_msg_regex()), std::vector<std::string>{"no"}) << text;
    EXPECT_EQ(parsed(text, Element::all_files_tidy_msg_regex()).front(), file) << text;
  }
  EXPECT_EQ(parsed("src/a.cc:1:2: warning: no brackets", Element::all_files_tidy_msg_regex()),
            std::vector<std::string>{"no"});
}

INSTANTIATE_TEST_SUITE_P(
    ClangTidyAll, PatternDifferential,
    testing::Values(PatternCase{"tidy_message_text_all_files",
                                &Element::all_files_tidy_msg_regex,
                                {"src/a.cc:10:5: warning: use nullptr [modernize-use-nullptr]     int *p = 0;     ^",
                                 "C:\\w\\u.hpp:7:3: note: value assigned here [x]    buf[i] = 0;",
                                 "a:1:2: error: bad [x] more [y] tail", "d/b.c:old.cxx:3:4:\twarning:  w [k]"}}),
    pattern_case_name);

std::string convert(const std::string& parser_type, const std::string& input_file, std::string& out) {
  TempDir dir;
  const RunResult run = run_program(standard_args(parser_type, input_file, dir.file("page.html")));
  EXPECT_EQ(run.exit_status, 0);
  out = run.out;
  return read_file(dir.file("page.html"));
}

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// The same file names with the extensions ClangTidy keeps.
std::string as_cpp_and_h(std::string text) {
  for (const auto& [from, to] : {std::pair<std::string, std::string>{".cxx:", ".cpp:"}, {".cc:", ".cpp:"},
                                 {".hpp:", ".h:"}, {".cxx\n", ".cpp\n"}, {".cc\n", ".cpp\n"}, {".hpp\n", ".h\n"}})
    text = replace_all(std::move(text), from, to);
  return text;
}

// The message lines of a page: those that begin with the run's folder.
std::vector<std::string> message_lines(const std::string& page) {
  std::vector<std::string> lines;
  std::istringstream in(page);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("/tmp/fixture-build-tidy/", 0) == 0) lines.push_back(line);
  return lines;
}

// The real run of clang-tidy over .cc, .cxx, .hpp and .c sources (fixtures/ClangTidy_all/PROVENANCE.md).
const std::string real_run = std::string(VIVIRI_FIXTURES) + "/ClangTidy_all/mixed_extensions.input";

TEST(ClangTidyAllConversion, BuildsThePageClangTidyBuildsForCppAndHNames) {
  std::string out_all, out_renamed;
  const std::string page_all = convert("ClangTidy_all", real_run, out_all);
  TempDir dir;
  write_file(dir.file("renamed.txt"), as_cpp_and_h(read_file(real_run)));
  const std::string page_renamed = convert("ClangTidy", dir.file("renamed.txt"), out_renamed);
  EXPECT_EQ(message_lines(page_all).size(), 11u);
  EXPECT_NE(as_cpp_and_h(page_all), page_all);
  EXPECT_EQ(as_cpp_and_h(page_all), page_renamed);
  EXPECT_EQ(out_all, out_renamed);
}

TEST(ClangTidyAllConversion, ClangTidyKeepsTheCFindingsOfTheSameRun) {
  std::string out_all, out_tidy;
  const std::vector<std::string> all = message_lines(convert("ClangTidy_all", real_run, out_all));
  const std::vector<std::string> tidy = message_lines(convert("ClangTidy", real_run, out_tidy));
  std::vector<std::string> c_findings;
  for (const std::string& line : all)
    if (line.rfind("/tmp/fixture-build-tidy/legacy.c:", 0) == 0) c_findings.push_back(line);
  EXPECT_EQ(c_findings.size(), 2u);
  EXPECT_EQ(tidy, c_findings);
}

}  // namespace
