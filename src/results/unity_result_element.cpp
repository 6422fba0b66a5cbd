#include "results/unity_result_element.h"

#include <algorithm>
#include <map>
#include <string>

#include "detail/messages.h"
#include "results/console_reader.h"
#include "results/results_output.h"

namespace {

// Every result line holds one of these; other lines (the program's own
// output, ctest's lines) are passed over without the pattern.
bool may_be_result(std::string_view text) {
  return text.find(":PASS") != std::string_view::npos || text.find(":FAIL") != std::string_view::npos ||
         text.find(":IGNORE") != std::string_view::npos;
}

// "tests/parse_number.c" and "C:\w\parse_number.c" give "parse_number".
std::string_view file_stem(std::string_view file) {
  const std::size_t slash = file.find_last_of("/\\");
  if (slash != std::string_view::npos) file.remove_prefix(slash + 1);
  const std::size_t dot = file.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? file : file.substr(0, dot);
}

// Per program (ctest prefix): whether a result line came after its last summary.
using AwaitingSummary = std::map<std::string, bool, std::less<>>;

void set_awaiting(AwaitingSummary& awaiting, std::string_view source, bool value) {
  const auto found = awaiting.find(source);
  if (found != awaiting.end())
    found->second = value;
  else
    awaiting.emplace(source, value);
}

const char* verdict_word(std::string_view unity_verdict) {
  if (unity_verdict == "PASS") return "passed";
  if (unity_verdict == "FAIL") return "FAILED";
  return "skipped";
}

}  // namespace

const Detail::Pattern& QZUnityResultElement::result_pattern() {
  static const Detail::Pattern pattern("(.+?):[0-9]+:([A-Za-z_][A-Za-z0-9_]*):(PASS|FAIL|IGNORE)(?:[ \\t]*|:.*)");
  return pattern;
}

const Detail::Pattern& QZUnityResultElement::summary_regex() {
  static const Detail::Pattern pattern("[0-9]+ Tests [0-9]+ Failures [0-9]+ Ignored[ \\t]*");
  return pattern;
}

bool QZUnityResultElement::parse_line(std::string_view text, std::size_t line_number, Detail::Match& groups,
                                      result& row) {
  if (!may_be_result(text) || !Detail::match_input_line(result_pattern(), text, line_number, groups)) return false;
  const std::string_view stem = file_stem(groups[1]);
  row.first = stem.empty() ? groups.str(2) : std::string(stem) + "." + groups.str(2);
  row.second = verdict_word(groups[3]);
  return true;
}

bool QZUnityResultElement::read_results(std::istream& in, std::vector<result>& out) {
  out.clear();
  Results::ConsoleReader reader(in);
  Detail::Match groups;
  result row;
  AwaitingSummary awaiting_summary;
  bool any_text = false;
  for (Results::ConsoleLine line; reader.next(line);) {
    any_text = any_text || line.text.find_first_not_of(" \t\r\f\v") != std::string_view::npos;
    if (parse_line(line.text, reader.line_number(), groups, row)) {
      out.push_back(row);
      set_awaiting(awaiting_summary, line.source, true);
    } else if (Detail::match_input_line(summary_regex(), line.text, reader.line_number(), groups)) {
      set_awaiting(awaiting_summary, line.source, false);
    }
  }
  // A program that died before its buffered output was written leaves an
  // empty log (or only blank lines).
  if (!any_text) return true;
  return std::any_of(awaiting_summary.begin(), awaiting_summary.end(), [](const auto& entry) { return entry.second; });
}

void QZUnityResultElement::get_final_result(const Detail::options& options) {
  Results::convert_results(options, [](std::istream& in, std::vector<result>& out) {
    if (read_results(in, out))
      Detail::print_error("The test output ends without its summary line; the run stopped early");
  });
}
