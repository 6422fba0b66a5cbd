#include "clang_tidy/html_report.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "clang_tidy/clang_tidy_element.h"
#include "support/files.h"
#include "support/program.h"

using namespace test_support;

namespace {

TEST(ClangTidyHtml, BaseNames) {
  EXPECT_EQ(ClangTidyHtml::base_name("src/app/main.cpp"), "main.cpp");
  EXPECT_EQ(ClangTidyHtml::base_name("C:\\work\\util.c"), "util.c");
  EXPECT_EQ(ClangTidyHtml::base_name("x.h"), "x.h");
  EXPECT_EQ(ClangTidyHtml::base_name("C:\\work/mixed\\last.c"), "last.c");  // whichever separator comes last
  EXPECT_EQ(ClangTidyHtml::base_name("dir/"), "");
}

TEST(ClangTidyHtml, EscapesMarkupCharacters) {
  EXPECT_EQ(ClangTidyHtml::escape("std::vector<int> & \"q\" 'a'"), "std::vector&lt;int&gt; &amp; &quot;q&quot; 'a'");
  EXPECT_EQ(ClangTidyHtml::escape("</pre><script>x()</script>"), "&lt;/pre&gt;&lt;script&gt;x()&lt;/script&gt;");
  EXPECT_EQ(ClangTidyHtml::escape("&amp;"), "&amp;amp;");  // input text is never taken for markup
  EXPECT_EQ(ClangTidyHtml::escape(""), "");
}

TEST(ClangTidyHtml, FileNamesAreEscapedInSidebarAndHeading) {
  std::vector<ZEZudizOzazIdovuvidurElement::file_group> groups(1);
  groups[0].first = "src/<gen>&.c";
  groups[0].second.resize(1);
  groups[0].second[0].full_text = "t";
  std::deque<std::string> entries;
  ZEZudizOzazIdovuvidurElement::build_html_report(groups, entries);
  ASSERT_GT(entries.size(), 20u);
  EXPECT_EQ(entries[3], "                 &lt;gen&gt;&amp;.c");      // sidebar entry
  EXPECT_EQ(entries[8], "                     &lt;gen&gt;&amp;.c");  // block heading
  EXPECT_EQ(groups[0].first, "src/<gen>&.c");                        // the groups are left as they were
}

struct Converted {
  RunResult run;
  std::string page;
};

Converted convert(const std::string& report) {
  TempDir dir;
  write_file(dir.file("tidy.log"), report);
  Converted converted;
  converted.run = run_program(standard_args("ClangTidy", dir.file("tidy.log"), dir.file("page.html")));
  converted.page = read_file(dir.file("page.html"));
  return converted;
}

std::string fixture(const std::string& name) { return read_file(std::string(VIVIRI_FIXTURES) + "/ClangTidy/" + name); }

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
  return text;
}

// Wraps path, severity and text of every diagnostic line in colour sequences
// the way --use-color prints them, and the caret lines in green.
std::string as_coloured(const std::string& report) {
  std::string coloured;
  std::size_t start = 0;
  while (start < report.size()) {
    const std::size_t end = report.find('\n', start);
    std::string line = report.substr(start, end - start);
    start = end + 1;
    for (const char* severity : {"warning", "error", "note"}) {
      const std::string marker = std::string(": ") + severity + ": ";
      const std::size_t at = line.find(marker);
      if (at == std::string::npos) continue;
      const std::string colour = severity == std::string("error") ? "\x1b[0;1;31m" : "\x1b[0;1;35m";
      line = "\x1b[1m" + line.substr(0, at + 2) + "\x1b[0m" + colour + std::string(severity) + ": \x1b[0m\x1b[1m" +
             line.substr(at + marker.size()) + "\x1b[0m";
      break;
    }
    if (line.find('^') != std::string::npos) line = "\x1b[0;1;32m" + line + "\x1b[0m";
    coloured += line + "\n";
  }
  return coloured;
}

TEST(ClangTidyConversion, LineEndsAndColourDoNotChangeThePage) {
  const std::string report = fixture("two_files.input");
  const std::string expected = fixture("two_files.expected");
  ASSERT_EQ(report.find('\x1b'), std::string::npos);
  ASSERT_NE(as_coloured(report).find("\x1b[1msrc/app/main.cpp:10:5: \x1b[0m\x1b[0;1;35mwarning: \x1b[0m"), std::string::npos);
  const struct {
    const char* name;
    std::string report;
  } variants[] = {
      {"crlf", replace_all(report, "\n", "\r\n")},
      {"no final line feed", report.substr(0, report.size() - 1)},
      {"coloured", as_coloured(report)},
      {"coloured crlf", replace_all(as_coloured(report), "\n", "\r\n")},
  };
  for (const auto& variant : variants) {
    const Converted converted = convert(variant.report);
    EXPECT_EQ(converted.run.exit_status, 0) << variant.name;
    EXPECT_EQ(converted.run.out, "version 0ZEZudizOzazIdovuvidur: Report has been built successfully\n") << variant.name;
    EXPECT_EQ(converted.page, expected) << variant.name;
  }
}

TEST(ClangTidyConversion, WriteFailureIsReportedInsteadOfSuccess) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  TempDir dir;
  write_file(dir.file("tidy.log"), "x.h:1:2: warning: macro is not used [clang-diagnostic-unused-macros]\n");
  const RunResult run = run_program(standard_args("ClangTidy", dir.file("tidy.log"), "/dev/full"));
  EXPECT_EQ(run.exit_status, 252);
  EXPECT_EQ(run.out, "version 0VIViriZovuro error: Could not write output file\n");
}

TEST(ClangTidyConversion, NoMessageLeavesAnEarlierPageEmpty) {
  TempDir dir;
  write_file(dir.file("tidy.log"), "\n");
  write_file(dir.file("page.html"), "an old page\n");
  const RunResult run = run_program(standard_args("ClangTidy", dir.file("tidy.log"), dir.file("page.html")));
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out,
            "version 0 ZEZudizOzazIdovuvidur: No cland-tidy messages were found\n"
            "ZEZudizOzazIdovuvidur: Getting clang-tidy analysis result was not successfull\n");
  EXPECT_EQ(read_file(dir.file("page.html")), "");
}

}  // namespace
