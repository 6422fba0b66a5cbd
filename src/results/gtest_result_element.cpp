#include "results/gtest_result_element.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <string>

#include "results/console_reader.h"
#include "results/results_output.h"

namespace {

using result = QZGTestResultElement::result;

constexpr std::string_view run_tag = "[ RUN      ] ";
constexpr std::string_view disabled_tag = "[ DISABLED ] ";
constexpr std::string_view suite_failure = ": SetUpTestSuite or TearDownTestSuite";

struct VerdictTag {
  std::string_view tag;
  const char* verdict;
};

constexpr VerdictTag verdict_tags[] = {
    {"[       OK ] ", "passed"}, {"[  FAILED  ] ", "FAILED"}, {"[  SKIPPED ] ", "skipped"}};

// What follows a verdict tag: the name, and whether a time ended the line.
struct Verdict {
  const char* word = nullptr;
  std::size_t at = 0;  // where the tag begins in the line
  std::string_view name;
  bool timed = false;
};

std::string_view without_trailing_blanks(std::string_view text) {
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

// Test names hold no blanks; the summary's counting lines ("3 tests, listed
// below:") do.
bool is_test_name(std::string_view text) {
  return !text.empty() && text.find_first_of(" \t") == std::string_view::npos;
}

// Cuts " (N ms)" from the end of `text`; false when it does not end so.
bool cut_time(std::string_view& text) {
  if (!text.ends_with(" ms)")) return false;
  const std::size_t open = text.rfind(" (");
  if (open == std::string_view::npos) return false;
  const std::string_view digits = text.substr(open + 2, text.size() - open - 6);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return false;
  text = text.substr(0, open);
  return true;
}

// The first verdict tag in `text` and what follows it.
bool find_verdict(std::string_view text, Verdict& verdict) {
  const VerdictTag* found = nullptr;
  verdict.at = std::string_view::npos;
  for (const VerdictTag& candidate : verdict_tags) {
    const std::size_t at = text.find(candidate.tag);
    if (at < verdict.at) {
      verdict.at = at;
      found = &candidate;
    }
  }
  if (found == nullptr) return false;
  verdict.word = found->verdict;
  std::string_view rest = without_trailing_blanks(text.substr(verdict.at + found->tag.size()));
  verdict.timed = cut_time(rest);
  // A parameterised or typed test is followed by ", where GetParam() = ..." or ", where TypeParam = ...".
  verdict.name = rest.substr(0, rest.find(", where "));
  return true;
}

// The tests that started and have no verdict yet, one per program (ctest
// prefix), with the line each started on.
class RunningTests {
 public:
  struct Test {
    std::string name;
    std::size_t line = 0;
  };

  // The running test of `source`, empty when there is none.
  std::string_view of(std::string_view source) const {
    const auto found = tests_.find(source);
    return found == tests_.end() ? std::string_view() : std::string_view(found->second.name);
  }

  // Starts `name`; a test of the same program still running has crashed.
  void start(std::string_view source, std::string_view name, std::size_t line, std::vector<result>& out) {
    Test& test = tests_[std::string(source)];
    if (!test.name.empty()) out.emplace_back(test.name, "FAILED");
    test = {std::string(name), line};
  }

  void finish(std::string_view source) {
    const auto found = tests_.find(source);
    if (found != tests_.end()) found->second.name.clear();
  }

  // At the end of the input: every test still running crashed, in the order they started.
  void crash_all(std::vector<result>& out) {
    std::vector<Test> crashed;
    for (auto& [source, test] : tests_) {
      if (!test.name.empty()) crashed.push_back(std::move(test));
    }
    std::sort(crashed.begin(), crashed.end(), [](const Test& a, const Test& b) { return a.line < b.line; });
    for (Test& test : crashed) out.emplace_back(std::move(test.name), "FAILED");
    tests_.clear();
  }

 private:
  std::map<std::string, Test, std::less<>> tests_;
};

// The verdict line's row, if it gives one. While a test runs only its own
// verdict counts: a timed verdict naming another test is the running test's
// output (a test printing such a line, a death test's child).
void take_verdict(const Results::ConsoleLine& line, const Verdict& verdict, RunningTests& running,
                  std::vector<result>& out) {
  const std::string_view running_test = running.of(line.source);
  const bool names_running = is_test_name(verdict.name) && verdict.name == running_test;
  const bool brief = running_test.empty() && verdict.at == 0 && verdict.timed && is_test_name(verdict.name);
  if (names_running || brief) {
    out.emplace_back(verdict.name, verdict.word);
    if (names_running) running.finish(line.source);
  } else if (verdict.at == 0 && std::string_view(verdict.word) == "FAILED" && verdict.name.ends_with(suite_failure)) {
    const std::string_view suite = verdict.name.substr(0, verdict.name.size() - suite_failure.size());
    if (is_test_name(suite)) out.emplace_back(suite, "FAILED");
  }
}

}  // namespace

void QZGTestResultElement::read_results(std::istream& in, std::vector<result>& out) {
  out.clear();
  Results::ConsoleReader reader(in);
  RunningTests running;
  Verdict verdict;
  for (Results::ConsoleLine line; reader.next(line);) {
    if (line.text.starts_with(run_tag)) {
      const std::string_view name = without_trailing_blanks(line.text.substr(run_tag.size()));
      if (is_test_name(name)) running.start(line.source, name, reader.line_number(), out);
    } else if (line.text.starts_with(disabled_tag)) {
      const std::string_view name = without_trailing_blanks(line.text.substr(disabled_tag.size()));
      if (is_test_name(name)) out.emplace_back(name, "skipped");
    } else if (find_verdict(line.text, verdict)) {
      take_verdict(line, verdict, running, out);
    }
  }
  running.crash_all(out);
}

void QZGTestResultElement::get_final_result(const Detail::options& options) {
  Results::convert_results(options, read_results);
}
