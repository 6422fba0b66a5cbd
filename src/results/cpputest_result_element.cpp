#include "results/cpputest_result_element.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "detail/messages.h"
#include "results/console_reader.h"

namespace {

using result = QZCppUTestResultElement::result;

constexpr std::string_view test_tag = "TEST(";
constexpr std::string_view ignore_tag = "IGNORE_TEST(";
constexpr std::string_view failure_tag = "Failure in TEST(";
constexpr std::string_view separate_process_failure = "Failed in separate process";

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// "Group, Name)..." at the start of `text` gives "Group.Name" and what
// follows the parenthesis; false when `text` does not begin so.
bool take_name(std::string_view text, std::string& name, std::string_view& rest) {
  const std::size_t comma = text.find(", ");
  if (comma == 0 || comma == std::string_view::npos) return false;
  const std::size_t close = text.find(')', comma + 2);
  if (close == std::string_view::npos || close == comma + 2) return false;
  const std::string_view group = text.substr(0, comma);
  const std::string_view test = text.substr(comma + 2, close - comma - 2);
  constexpr std::string_view not_in_names = " \t,()";
  if (group.find_first_of(not_in_names) != std::string_view::npos ||
      test.find_first_of(not_in_names) != std::string_view::npos)
    return false;
  name.assign(group);
  name += '.';
  name += test;
  rest = text.substr(close + 1);
  return true;
}

// Whether `text` ends with the time that closes a test: " - N ms".
bool ends_with_time(std::string_view text) {
  if (!text.ends_with(" ms")) return false;
  text.remove_suffix(3);
  std::size_t digits = 0;
  while (digits < text.size() && is_digit(text[text.size() - 1 - digits])) ++digits;
  return digits > 0 && text.substr(0, text.size() - digits).ends_with(" - ");
}

bool is_summary(std::string_view text) {
  for (const std::string_view opening : {std::string_view("OK ("), std::string_view("Errors (")}) {
    if (text.starts_with(opening) && text.size() > opening.size() && is_digit(text[opening.size()])) return true;
  }
  return false;
}

// One test program's output, as far as it has been read.
struct Program {
  std::string running;  // the test that started and has no time yet
  std::size_t started_on = 0;
  const char* verdict = "passed";
  bool listed_tests = false;     // it printed a test's name: the verbose form
  bool awaiting_summary = false;  // something came after its last summary line
  std::string last_failure;      // the test the plain form named last
};

class Run {
 public:
  explicit Run(std::vector<result>& out) : out_(out) {}

  void read(const Results::ConsoleLine& line, std::size_t line_number) {
    Program& program = program_of(line.source);
    const bool ignored = line.text.starts_with(ignore_tag);
    std::string_view rest;
    if ((ignored || line.text.starts_with(test_tag)) &&
        take_name(line.text.substr(ignored ? ignore_tag.size() : test_tag.size()), name_, rest)) {
      start(program, ignored, line_number);
      if (ends_with_time(rest)) finish(program);
    } else if (!program.running.empty()) {
      if (line.text.find(failure_tag) != std::string_view::npos ||
          line.text.find(separate_process_failure) != std::string_view::npos)
        program.verdict = "FAILED";
      if (ends_with_time(line.text)) finish(program);
    } else if (is_summary(line.text)) {
      if (!program.listed_tests) gaps_.failures_only = true;
      program.awaiting_summary = false;
      program.last_failure.clear();
    } else if (!program.listed_tests) {
      take_plain_failure(program, line.text);
    }
  }

  // At the end of the input: every test still running crashed its program,
  // in the order they started.
  QZCppUTestResultElement::Gaps end() {
    std::vector<Program*> crashed;
    for (auto& [source, program] : programs_) {
      if (!program.running.empty()) crashed.push_back(&program);
      if (program.awaiting_summary) gaps_.stopped_early = true;
    }
    std::sort(crashed.begin(), crashed.end(),
              [](const Program* a, const Program* b) { return a->started_on < b->started_on; });
    for (Program* program : crashed) out_.emplace_back(std::move(program->running), "FAILED");
    return gaps_;
  }

 private:
  Program& program_of(std::string_view source) {
    const auto found = programs_.find(source);
    if (found != programs_.end()) return found->second;
    return programs_.emplace(std::string(source), Program()).first->second;
  }

  // A test of the same program still running never printed its time: it
  // took its process down (a -p run goes on with the next test).
  void start(Program& program, bool ignored, std::size_t line_number) {
    if (!program.running.empty()) out_.emplace_back(std::move(program.running), "FAILED");
    program.running = name_;
    program.started_on = line_number;
    program.verdict = ignored ? "skipped" : "passed";
    program.listed_tests = true;
    program.awaiting_summary = true;
  }

  void finish(Program& program) {
    out_.emplace_back(std::move(program.running), program.verdict);
    program.running.clear();
  }

  void take_plain_failure(Program& program, std::string_view text) {
    const std::size_t at = text.find(failure_tag);
    std::string_view rest;
    if (at == std::string_view::npos || !take_name(text.substr(at + failure_tag.size()), name_, rest)) return;
    gaps_.failures_only = true;
    program.awaiting_summary = true;
    if (name_ == program.last_failure) return;
    program.last_failure = name_;
    out_.emplace_back(name_, "FAILED");
  }

  std::vector<result>& out_;
  std::map<std::string, Program, std::less<>> programs_;
  std::string name_;
  QZCppUTestResultElement::Gaps gaps_;
};

}  // namespace

QZCppUTestResultElement::Gaps QZCppUTestResultElement::read_results(std::istream& in, std::vector<result>& out) {
  out.clear();
  Results::ConsoleReader reader(in);
  Run run(out);
  for (Results::ConsoleLine line; reader.next(line);) run.read(line, reader.line_number());
  return run.end();
}

void QZCppUTestResultElement::get_final_result(const Detail::options& options) {
  Results::convert_results(options, [](std::istream& in, std::vector<result>& out) {
    const Gaps gaps = read_results(in, out);
    if (gaps.stopped_early) Detail::print_error("The test output ends without its summary line; the run stopped early");
    if (gaps.failures_only)
      Detail::print_error("The test output names only failing tests; run the tests with -v to list every test");
  });
}
