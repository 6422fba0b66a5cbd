// Whatever a shared database's rows hold, the comparison's outputs show it
// as text: no Markdown, HTML, line or CI command comes from a row; the
// Markdown fits its limit; the files survive a closed standard output.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "compare/compare_options.h"
#include "compare/row_text.h"
#include "detail/tables.h"
#include "support/files.h"
#include "support/program.h"
#include "support/sqlite_db.h"

namespace {

using testing::HasSubstr;
using testing::Not;

TEST(RowText, EachOutputShowsRowsAsText) {
  const struct {
    std::string row, markdown, terminal;
  } cases[] = {
      {"Suite.Name/0", "Suite.Name/0", "Suite.Name/0"},
      {"x\n\n**Gate: passed**", "x␤␤&#42;&#42;Gate&#58; passed&#42;&#42;", "x\\n\\n**Gate: passed**"},
      {"[x](javascript:a)", "&#91;x&#93;(javascript&#58;a)", "[x](javascript:a)"},
      {"<b>&amp;</b> | `c`", "&#60;b&#62;&#38;amp;&#60;/b&#62; &#124; &#96;c&#96;", "<b>&amp;</b> | `c`"},
      {"see www.example.com @me #12", "see www&#46;example.com &#64;me &#35;12", "see www.example.com @me #12"},
      {"\x1b[2K\rGate", "&#92;x1b&#91;2K&#92;x0dGate", "\\x1b[2K\\rGate"},
      {"\xe2\x80\xae" "abc\xc2\x85", "U&#43;202Eabc&#92;x85", "\\u202eabc\\u0085"},
      {"bad \xff\xfe end", "bad \xef\xbf\xbd\xef\xbf\xbd end", "bad \\xff\\xfe end"},
      {"  ::set-output name=x::y", "  &#58;&#58;set-output name=x&#58;&#58;y", "  \\x3a:set-output name=x::y"},
      {"a ##[error]b", "a &#35;&#35;&#91;error&#93;b", "a ##\\x5berror]b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Compare::markdown_text(c.row), c.markdown) << c.row;
    EXPECT_EQ(Compare::terminal_text(c.row), c.terminal) << c.row;
  }
  EXPECT_EQ(Compare::cut_text("ab\xc3\xa9" "cd", 3), "ab\xc3\xa9\xe2\x80\xa6");
  EXPECT_EQ(Compare::cut_text("abc", 3), "abc");
  EXPECT_EQ(Compare::first_characters("\xe2\x82\xac\xe2\x82\xac", 1), "\xe2\x82\xac");
}

TEST(CompareOptions, TheGateIsOnOrOffVisibly) {
  const struct {
    std::string fail_on, problem;
    std::vector<std::string> rules;
  } cases[] = {
      {"", "--fail-on: no rule given", {}},
      {"new-failures,", "--fail-on: no rule given", {}},
      {"new-failures,,new-qac", "--fail-on: no rule given", {}},
      {"none", "", {}},
      {"none,new-qac", "--fail-on: none excludes other rules", {}},
      {"new-failures,new-failures,new-qac", "", {"new-failures", "new-qac"}},
      {"coverage-drop=inf", "--fail-on: coverage-drop needs a number of points of at least 0, not 'inf'", {}},
      {"coverage-drop=nan", "--fail-on: coverage-drop needs a number of points of at least 0, not 'nan'", {}},
  };
  for (const auto& c : cases) {
    std::string problem;
    const auto options = Compare::parse_compare_options(
        {"--database=d", "--project_name=P", "--hash_value=h", "--fail-on=" + c.fail_on}, problem);
    EXPECT_EQ(problem, c.problem) << c.fail_on;
    if (!options) continue;
    std::vector<std::string> rules;
    for (const Compare::gate_rule& rule : options->rules) rules.push_back(rule.text);
    EXPECT_EQ(rules, c.rules) << c.fail_on;
  }
}

// Two runs of ut_results as another writer stored them: the current one's
// tests fail under hostile names.
class HostileRows : public testing::Test {
 protected:
  void store(const std::vector<std::string>& failing) {
    test_support::SqliteDb db(database);
    std::string script = Detail::ut_results_table().create_statement() + "\n";
    script += "insert into ut_results values ('Pwe3', 'P', 'T', 'b1', '2026-01-01', '0', 'Unit', 'ok', 'passed');\n";
    for (const std::string& name : failing) {
      script += "insert into ut_results values ('Pwe3', 'P', 'T', 'c1', '2026-01-02', '0', 'Unit', cast(x'" +
                hex(name) + "' as text), 'FAILED');\n";
    }
    ASSERT_EQ(db.exec(script), "");
  }

  static std::string hex(const std::string& bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    for (char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      out += {digits[byte >> 4], digits[byte & 15]};
    }
    return out;
  }

  test_support::RunResult compare(const std::vector<std::string>& options) const {
    std::vector<std::string> args = {"--database=" + database, "--project_name=P", "--hash_value=c1",
                                     "--fail-on=new-failures"};
    args.insert(args.end(), options.begin(), options.end());
    return test_support::run_compare(args);
  }

  test_support::TempDir dir;
  std::string database = dir.file("shared.db");
  std::string markdown = dir.file("summary.md");
};

const std::vector<std::string> hostile_names = {
    "x\n\n**Gate: passed**\n\n# Injected",
    "[x](javascript:alert(1))",
    "![x](https://example.com/t.png)",
    "<script>alert(1)</script></details>",
    "a\\|b | c `d` ``e",
    "\x1b[2K\rGate: passed",
    "\xe2\x80\xae" "desrever",
    "bad \xff\xfe",
    "::set-output name=x::y",
    "x ##[error]y",
};

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(HostileRows, MarkdownShowsThemAsText) {
  store(hostile_names);
  const test_support::RunResult run = compare({"--markdown=" + markdown});
  EXPECT_EQ(run.exit_status, 1);
  const std::string text = test_support::read_file(markdown);
  for (const char* never : {"<script", "](", "javascript:", "https:", "**Gate: passed", "\x1b", "\r", "``"})
    EXPECT_THAT(text, Not(HasSubstr(never))) << never;
  int verdicts = 0, opened = 0, closed = 0;
  for (const std::string& line : lines_of(text)) {
    verdicts += line.starts_with("**Gate:");
    opened += line.starts_with("<details>");
    closed += line == "</details>";
    if (line.starts_with("#")) {
      EXPECT_TRUE(line.starts_with("## P at ") || line == "### Pwe3") << line;
    }
    if (line.starts_with("| ")) {
      EXPECT_EQ(std::count(line.begin(), line.end(), '|'), 4) << line;
    }
  }
  EXPECT_EQ(verdicts, 1);
  EXPECT_EQ(opened, closed);
}

TEST_F(HostileRows, StandardOutputHasOneLinePerRowAndNoCommand) {
  store(hostile_names);
  const test_support::RunResult run = compare({});
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_THAT(run.out, Not(HasSubstr("\x1b")));
  EXPECT_THAT(run.out, Not(HasSubstr("\r")));
  EXPECT_THAT(run.out, Not(HasSubstr("##[")));
  int verdicts = 0;
  for (const std::string& line : lines_of(run.out)) {
    verdicts += line.starts_with("Gate:");
    EXPECT_FALSE(line.substr(std::min(line.size(), line.find_first_not_of(' '))).starts_with("::")) << line;
  }
  EXPECT_EQ(verdicts, 1);
}

TEST_F(HostileRows, HugeNamesKeepTheMarkdownWithinItsLimit) {
  std::vector<std::string> huge;
  for (char c : std::string("abcde")) huge.push_back(std::string(1 << 20, c) + "*_");
  store(huge);
  EXPECT_EQ(compare({"--markdown=" + markdown, "--markdown-limit=4096"}).exit_status, 1);
  const std::string text = test_support::read_file(markdown);
  EXPECT_LE(text.size(), 4096u);
  EXPECT_THAT(text, HasSubstr("**Gate: failed**"));
  EXPECT_THAT(text, HasSubstr("`new-failures` (Pwe3)"));
}

// The program's exit status with `args`, its standard output a pipe whose
// reader has gone (as when `| head -1` has read its line); 128 + the signal
// where one ended it.
int status_with_closed_reader(const std::vector<std::string>& args) {
  int ends[2];
  if (pipe(ends) != 0) return -1;
  close(ends[0]);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(ends[1], STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDERR_FILENO);
    std::vector<char*> argv = {const_cast<char*>(VIVIRI_COMPARE_PROGRAM)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(ends[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(HostileRows, FilesAreWrittenBeforeAStandardOutputThatFails) {
  store(hostile_names);
  const std::string json = dir.file("c.json");
  const std::vector<std::string> args = {"--database=" + database, "--project_name=P", "--hash_value=c1",
                                         "--json=" + json, "--markdown=" + markdown};
  EXPECT_EQ(status_with_closed_reader(args), 3);
  EXPECT_THAT(test_support::read_file(json), HasSubstr(R"("gate":{"passed":true,"rules":[],"broken":[]})"));
  EXPECT_THAT(test_support::read_file(markdown), HasSubstr("**Gate: no rules (nothing checked)**"));
}

}  // namespace
