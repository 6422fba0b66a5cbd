#include "coverage/gcov_coverage_result_element.h"

#include <string_view>

#include "coverage/coverage_output.h"
#include "detail/line_reader.h"

const Detail::Pattern& QZGCovCoverageResultElement::my_regex() {
  static const Detail::Pattern my_regex_local(
      std::string("\\<") + "tr" + "\\>" + "\\<" + "td" + "\\>" + "Lines" + "[[:punct:]]+" + "\\<" + "\\/" + "td" +
      "\\>" + "\\<" + "td" + "\\>" + "([0-9]+)" + "\\<" + "\\/" + "td" + "\\>" + "\\<" + "td" + "\\>" + "([0-9]+)" +
      "\\<" + "\\/" + "td" + "\\>" + "\\<" + "td" + "\\>" + "([0-9]+).*" + "\\<" + "\\/" + "td" + "\\>" + "\\<" +
      "\\/" + "tr" + "\\>");
  return my_regex_local;
}

namespace {

// Every line the row pattern matches begins and ends with these. A summary
// page is mostly other lines: checking the two ends first spares the pattern
// engine nearly all of them.
constexpr std::string_view row_start = "<tr><td>Lines";
constexpr std::string_view row_end = "</td></tr>";

}  // namespace

bool QZGCovCoverageResultElement::match_row(std::string_view line, std::size_t line_number, Detail::Match& groups) {
  if (!line.starts_with(row_start) || !line.ends_with(row_end)) return false;
  return Detail::match_input_line(my_regex(), line, line_number, groups);
}

void QZGCovCoverageResultElement::GetQZCoverageResultElements(std::istream& in,
                                                              std::deque<QZGCovCoverageResultElement>& out) {
  out.clear();
  Detail::LineReader reader(in);
  Detail::Match groups;
  for (std::string_view line; reader.next(line);) {
    if (!match_row(line, reader.line_number(), groups)) continue;
    QZGCovCoverageResultElement element;
    element.row.C0_tested_lines = groups.str(1);
    element.row.C0_testable_lines = groups.str(2);
    element.row.C0_percent = groups.str(3);
    out.push_back(std::move(element));
  }
}

void QZGCovCoverageResultElement::get_final_result(const Detail::options& options) {
  Coverage::convert_to_coverage_script<QZGCovCoverageResultElement>(options, GetQZCoverageResultElements);
}
