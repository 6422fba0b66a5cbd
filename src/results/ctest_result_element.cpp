#include "results/ctest_result_element.h"

#include <map>
#include <string>

#include "results/console_reader.h"
#include "results/results_output.h"

namespace {

using result = QZCTestResultElement::result;

// The tests that started and have no result line yet, by test number, with
// the order they started in.
class StartedTests {
 public:
  // Starts test `number`; a test of that number still waiting had no result
  // (an earlier run of CTest that was stopped) and failed.
  void start(std::string_view number, std::string_view name, std::vector<result>& out) {
    const auto [at, inserted] = tests_.try_emplace(std::string(number), Test{std::string(name), started_++});
    if (inserted) return;
    out.emplace_back(std::move(at->second.name), "FAILED");
    at->second = {std::string(name), started_++};
  }

  void finish(std::string_view number) {
    const auto found = tests_.find(number);
    if (found != tests_.end()) tests_.erase(found);
  }

  // At the end of the input: every test still waiting failed, in the order they started.
  void fail_all(std::vector<result>& out) {
    std::map<std::size_t, std::string> by_start;
    for (auto& [number, test] : tests_) by_start.emplace(test.started, std::move(test.name));
    for (auto& [started, name] : by_start) out.emplace_back(std::move(name), "FAILED");
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

}  // namespace

const Detail::Pattern& QZCTestResultElement::my_regex() {
  static const Detail::Pattern pattern(
      "[ \\t]*[0-9]+/[0-9]+ Test +#([0-9]+): (.+?) \\.{3,}(?: +(Passed)\\b.*|[A-Za-z ]*\\*\\*\\*(.*))");
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
  StartedTests started;
  for (Results::ConsoleLine line; reader.next(line);) {
    if (!may_be_result_or_start(line.text)) continue;
    if (Detail::match_input_line(my_regex(), line.text, reader.line_number(), groups)) {
      out.emplace_back(groups.str(2), verdict(groups[3], groups[4]));
      started.finish(groups[1]);
    } else if (Detail::match_input_line(start_regex(), line.text, reader.line_number(), groups)) {
      started.start(groups[1], groups[2], out);
    }
  }
  started.fail_all(out);
}

void QZCTestResultElement::get_final_result(const Detail::options& options) {
  Results::convert_results(options, read_results);
}
