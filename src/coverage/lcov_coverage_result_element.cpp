#include "coverage/lcov_coverage_result_element.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "coverage/coverage_counts.h"
#include "coverage/coverage_output.h"
#include "detail/line_reader.h"

namespace {

using Element = QZLcovCoverageResultElement;
using Coverage::count;
using Coverage::Number;

// Into `fields`, reused from line to line: a vector per DA line would cost
// more than the rest of the reading.
void split_fields(std::string_view text, std::vector<std::string_view>& fields) {
  fields.clear();
  for (std::size_t comma; (comma = text.find(',')) != std::string_view::npos; text.remove_prefix(comma + 1))
    fields.push_back(text.substr(0, comma));
  fields.push_back(text);
}

// Lines or branches of one record: the summary lines (LF/LH, BRF/BRH) as
// written, and what the detail lines (DA, BRDA) count.
struct Measure {
  std::optional<count> found_line;
  std::optional<count> hit_line;
  count listed = 0;
  count listed_hit = 0;

  bool present() const { return found_line || hit_line || listed > 0; }
  Coverage::Tally tally() const { return {hit_line.value_or(listed_hit), found_line.value_or(listed)}; }
};

class TracefileReader {
 public:
  explicit TracefileReader(std::deque<Element>& out) : out_(out) {}

  void read_line(std::string_view line, std::size_t line_number) {
    line_number_ = line_number;
    if (line.starts_with("SF:")) {
      end_record();
      start_record(line.substr(3));
    } else if (!in_record_) {
      return;
    } else if (line.starts_with("end_of_record")) {
      end_record();
    } else if (line.starts_with("DA:")) {
      read_line_detail(line.substr(3));
    } else if (line.starts_with("BRDA:")) {
      read_branch_detail(line.substr(5));
    } else if (line.starts_with("LF:")) {
      read_summary(line.substr(3), lines_.found_line);
    } else if (line.starts_with("LH:")) {
      read_summary(line.substr(3), lines_.hit_line);
    } else if (line.starts_with("BRF:")) {
      read_summary(line.substr(4), branches_.found_line);
    } else if (line.starts_with("BRH:")) {
      read_summary(line.substr(4), branches_.hit_line);
    }
  }

  // Ends the last record (also without its "end_of_record") and adds the module row.
  void finish() {
    end_record();
    if (std::optional<Coverage::coverage_row> module = totals_.module_row()) push_row(std::move(*module));
  }

 private:
  void start_record(std::string_view path) {
    in_record_ = true;
    path_.assign(path);
    lines_ = {};
    branches_ = {};
    too_large_line_ = 0;
  }

  void end_record() {
    if (!in_record_) return;
    in_record_ = false;
    if (too_large_line_ != 0) {
      Coverage::report_number_too_large(too_large_line_);
      return;
    }
    std::optional<Coverage::Tally> branches;
    if (branches_.present()) branches = branches_.tally();
    push_row(Coverage::counted_row(std::move(path_), lines_.tally(), branches));
    totals_.add(lines_.tally(), branches);
  }

  void push_row(Coverage::coverage_row row) {
    Element element;
    element.row = std::move(row);
    out_.push_back(std::move(element));
  }

  // False for a field that is not a number; a number too large marks the record.
  bool take_number(std::string_view text, count& value) {
    const Number result = Coverage::parse_number(text, value);
    if (result == Number::too_large && too_large_line_ == 0) too_large_line_ = line_number_;
    return result == Number::ok;
  }

  void read_summary(std::string_view text, std::optional<count>& into) {
    count value = 0;
    if (take_number(text, value)) into = value;
  }

  // "DA:<line>,<count>[,<checksum>]".
  void read_line_detail(std::string_view text) {
    split_fields(text, fields_);
    if (fields_.size() >= 2) count_detail(fields_[0], fields_[1], lines_);
  }

  // "BRDA:<line>,<block>,<branch>,<taken>"; newer writers may put commas in
  // the branch part, so the count is the last field.
  void read_branch_detail(std::string_view text) {
    split_fields(text, fields_);
    if (fields_.size() >= 4) count_detail(fields_[0], fields_.back(), branches_);
  }

  // A count "-" (a branch never reached) is a detail not hit.
  void count_detail(std::string_view line_text, std::string_view count_text, Measure& measure) {
    count line = 0;
    count taken = 0;
    if (!take_number(line_text, line)) return;
    if (count_text != "-" && !take_number(count_text, taken)) return;
    ++measure.listed;
    if (taken > 0) ++measure.listed_hit;
  }

  std::deque<Element>& out_;
  std::vector<std::string_view> fields_;  // of the detail line being read
  std::size_t line_number_ = 0;
  bool in_record_ = false;
  std::string path_;
  Measure lines_;
  Measure branches_;
  std::size_t too_large_line_ = 0;  // 0 while the record's numbers all fit
  Coverage::ModuleTotals totals_;
};

}  // namespace

void QZLcovCoverageResultElement::read_elements(std::istream& in, std::deque<QZLcovCoverageResultElement>& out) {
  out.clear();
  Detail::LineReader reader(in);
  TracefileReader tracefile(out);
  for (std::string_view line; reader.next(line);) tracefile.read_line(line, reader.line_number());
  tracefile.finish();
}

void QZLcovCoverageResultElement::get_final_result(const Detail::options& options) {
  Coverage::convert_to_coverage_script<QZLcovCoverageResultElement>(options, read_elements);
}
