#include "results/cunit_result_element.h"

#include "detail/line_reader.h"
#include "detail/output_writer.h"
#include "detail/run_files.h"
#include "detail/sql_script.h"
#include "detail/text_helpers.h"
#include "results/results_output.h"

const Detail::Pattern& QZCUnitResultElement::my_regex() {
  static const Detail::Pattern my_regex_local(std::string("[[:space:]]+") + "Test" + "[[:punct:]]+" + "[[:space:]]+" +
                                              "([A-Za-z0-9_]+).*" + "\\(?\\)?" + "[[:space:]]+" + "[[:punct:]]+" +
                                              "(passed|PASSED|failed|FAILED)");
  return my_regex_local;
}

void QZCUnitResultElement::read_results(std::istream& in, std::vector<result>& out) {
  out.clear();
  Detail::LineReader reader(in);
  Detail::Match groups;
  for (std::string_view line; reader.next(line);) {
    if (!Detail::match_input_line(my_regex(), line, reader.line_number(), groups)) continue;
    if (!groups[1].empty()) out.emplace_back(groups.str(1), groups.str(2));
  }
}

void QZCUnitResultElement::GetQZCUnitResultElements(std::ifstream& in, std::vector<result>& out) {
  read_results(in, out);
  in.close();
}

void QZCUnitResultElement::get_final_result(const Detail::options& options) {
  std::string date, time;
  Detail::get_date_and_time_string(date, time);

  std::vector<result> results;
  std::ifstream& in = Detail::take_run_input(options.input);
  GetQZCUnitResultElements(in, results);

  Detail::SqlScript script = Results::results_script_start(options, date, time);
  for (const result& verdict : results) script.add_row({verdict.first, verdict.second});
  Detail::write_output(options.output, script.text());
}
