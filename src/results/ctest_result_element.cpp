#include "results/ctest_result_element.h"

#include <map>
#include <string>

#include "results/console_reader.h"
#include "results/results_output.h"

namespace {

using result = QZCTestResultElement::result;

// One row per test, at the place of its first result, with its last
// result: a test that ctest --repeat runs again (until-pass, until-fail,
// after-timeout) ends with the verdict ctest counts.
class TestRows {
 public:
  explicit TestRows(std::vector<result>& out) : out_(out) {}

  void add(std::string name, const char* verdict) {
    const auto [at, inserted] = row_of_.try_emplace(name, out_.size());
    if (inserted) {
      out_.emplace_back(std::move(name), verdict);
    } else {
      out_[at->second].second = verdict;
    }
  }

 private:
  std::vector<result>& out_;
  std::map<std::string, std::size_t, std::less<>> row_of_;
};

// The tests that started and have no result line yet, by test number, with
// the order they started in.
class StartedTests {
 public:
  void start(std::string_view number, std::string_view name) {
    tests_.try_emplace(std::string(number), Test{std::string(name), started_++});
  }

  bool waiting(std::string_view number) const { return tests_.find(number) != tests_.end(); }

  void finish(std::string_view number) {
    const auto found = tests_.find(number);
    if (found != tests_.end()) tests_.erase(found);
  }

  // At the end of the input or of a run of CTest: every test still waiting
  // failed, in the order they started.
  void fail_all(TestRows& out) {
    std::map<std::size_t, std::string> by_start;
    for (auto& [number, test] : tests_) by_start.emplace(test.started, std::move(test.name));
    for (auto& [started, name] : by_start) out.add(std::move(name), "FAILED");
    tests_.clear();
  }

 private:
  struct Test {
    std::string name;
    std::size_t started;
  };
  std::map<std::string, Test, std::less<>> tests_;
  std::size_t started_ = 0;
};

// Result and start lines both hold one of these.
bool may_be_result_or_start(std::string_view text) {
  return text.find(" Test ") != std::string_view::npos || text.find("Start ") != std::string_view::npos;
}

// The first line of a run of CTest.
bool begins_a_run(std::string_view text) { return text.starts_with("Test project "); }

}  // namespace

const Detail::Pattern& QZCTestResultElement::result_pattern() {
  static const Detail::Pattern pattern(
      "[ \\t]*(?:[0-9]+/[0-9]+ )?Test +#([0-9]+): (.+?) \\.{3,}(?: +(Passed)\\b.*|[A-Za-z ]*\\*\\*\\*(.*))");
  return pattern;
}

const Detail::Pattern& QZCTestResultElement::start_regex() {
  static const Detail::Pattern pattern("[ \\t]*Start +([0-9]+): (\\S.*?)[ \\t]*");
  return pattern;
}

const char* QZCTestResultElement::verdict(std::string_view passed, std::string_view failure) {
  if (!passed.empty()) return "passed";
  if (failure.starts_with("Skipped") || failure.starts_with("Not Run (Disabled)")) return "skipped";
  return "FAILED";
}

void QZCTestResultElement::read_results(std::istream& in, std::vector<result>& out) {
  out.clear();
  Results::ConsoleReader reader(in);
  Detail::Match groups;
  TestRows rows(out);
  StartedTests started;
  // CTest prints a test's Start line before its result. Once the log has
  // shown one, a result line counts only for a test that started and has no
  // result yet, and a Start line only for a test that is not waiting for its
  // result: other such lines are a test's own output (--output-on-failure
  // prints it without a prefix).
  bool starts_seen = false;
  for (Results::ConsoleLine line; reader.next(line);) {
    // Under ctest -V a line with a test's "N: " prefix is that test's output.
    if (!line.source.empty()) continue;
    if (begins_a_run(line.text)) started.fail_all(rows);  // the run before it was stopped
    if (!may_be_result_or_start(line.text)) continue;
    if (Detail::match_input_line(result_pattern(), line.text, reader.line_number(), groups)) {
      if (starts_seen && !started.waiting(groups[1])) continue;
      rows.add(groups.str(2), verdict(groups[3], groups[4]));
      started.finish(groups[1]);
    } else if (Detail::match_input_line(start_regex(), line.text, reader.line_number(), groups)) {
      if (started.waiting(groups[1])) continue;
      starts_seen = true;
      started.start(groups[1], groups[2]);
    }
  }
  started.fail_all(rows);
}

void QZCTestResultElement::get_final_result(const Detail::options& options) {
  Results::convert_results(options, read_results);
}
