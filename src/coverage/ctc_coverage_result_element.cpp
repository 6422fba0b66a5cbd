#include "coverage/ctc_coverage_result_element.h"

#include <string_view>

#include "coverage/coverage_output.h"
#include "detail/line_reader.h"

namespace {

// A line counts only up to the first NUL character it holds.
std::string_view up_to_nul(std::string_view line) { return line.substr(0, line.find('\0')); }

}  // namespace

const Detail::Pattern& QZCtcCoverageResultElement::my_regex() {
  static const Detail::Pattern my_regex_local(
      std::string("\\*\\*\\*") + "TER" + "[[:space:]]+" + "([0-9]+)" + "[[:space:]]+" + "[[:punct:]]+" +
      "[[:space:]]+" + "\\(" + "[[:space:]]*" + "([0-9]+)" + "\\/" + "[[:space:]]*" + "([0-9]+)" + "\\)" + ".*" +
      "FUNCTION" + "[[:space:]]+" + "(.*)" + "\\(" + "\\)" + "[[:space:]]+" + "([0-9]+)" + "[[:space:]]+" +
      "[[:punct:]]+" + "[[:space:]]+" + "\\(" + "[[:space:]]*" + "([0-9]+)" + "\\/" + "[[:space:]]*" + "([0-9]+)" +
      "\\)" + ".*");
  return my_regex_local;
}

const Detail::Pattern& QZCtcCoverageResultElement::my_regex2() {
  static const Detail::Pattern my_regex_local(
      std::string("TER[[:space:]]+[[:punct:]][[:space:]]+([0-9]+)[[:space:]]+[[:punct:]][[:space:]]+"
                  "\\(([0-9]+)\\/([0-9]+)\\)[[:space:]]+decision[[:space:]]*") +
      "TER[[:space:]]+[[:punct:]][[:space:]]+([0-9]+)[[:space:]]+[[:punct:]][[:space:]]+"
      "\\(([0-9]+)\\/([0-9]+)\\)[[:space:]]+statement");
  return my_regex_local;
}

bool QZCtcCoverageResultElement::parse_input_string(const std::string& text, std::size_t first_line_number) {
  Detail::Match groups;
  if (Detail::match_input_line(my_regex(), text, first_line_number, groups)) {
    row.C1_percent = groups.str(1);
    row.C1_tested_lines = groups.str(2);
    row.C1_testable_lines = groups.str(3);
    row.function_name = groups.str(4);
    row.C0_percent = groups.str(5);
    row.C0_tested_lines = groups.str(6);
    row.C0_testable_lines = groups.str(7);
    return true;
  }
  if (Detail::match_input_line(my_regex2(), text, first_line_number, groups)) {
    row.C1_percent = groups.str(1);
    row.C1_tested_lines = groups.str(2);
    row.C1_testable_lines = groups.str(3);
    row.function_name = "*module_statistics";
    row.C0_percent = groups.str(4);
    row.C0_tested_lines = groups.str(5);
    row.C0_testable_lines = groups.str(6);
    return true;
  }
  return false;
}

void QZCtcCoverageResultElement::GetQZCoverageResultElements(std::istream& in,
                                                             std::deque<QZCtcCoverageResultElement>& out) {
  out.clear();
  Detail::LineReader reader(in);
  std::string joined;
  for (std::string_view line; reader.next(line);) {
    const bool function_summary = line.starts_with("***TER");
    if (!function_summary && !line.starts_with("TER")) continue;
    const std::size_t first_line_number = reader.line_number();
    // The view is only valid until the reader moves on: copy the first line now.
    joined.assign(up_to_nul(line));
    if (!function_summary) joined += ' ';
    std::string_view partner;
    if (reader.next(partner)) joined += up_to_nul(partner);

    QZCtcCoverageResultElement element;
    element.is_valid = element.parse_input_string(joined, first_line_number);
    if (element.is_valid) out.push_back(std::move(element));
  }
}

void QZCtcCoverageResultElement::get_final_result(const Detail::options& options) {
  Coverage::convert_to_coverage_script<QZCtcCoverageResultElement>(options, GetQZCoverageResultElements);
}
