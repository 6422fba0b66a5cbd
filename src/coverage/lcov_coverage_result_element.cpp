#include "coverage/lcov_coverage_result_element.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
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

// How far a line or branch got, in the order in which merging keeps the
// furthest: lcov adds the counts of several records, so a branch is taken
// when any record took it, and "-" (never reached) stays only where every
// record says "-".
enum class Reached : unsigned char { never, not_taken, taken };

// A line number and how far it got, in one word: a tracefile of a large
// project lists millions of lines, all kept to the end. Line numbers above
// largest_line (no source has them) are not kept.
class Reach {
 public:
  static constexpr count largest_line = std::numeric_limits<count>::max() >> 2;

  Reach(count line, Reached reached) : packed_(line << 2 | static_cast<count>(reached)) {}
  count line() const { return packed_ >> 2; }
  Reached reached() const { return static_cast<Reached>(packed_ & 3); }
  void reach(Reached other) {
    if (other > reached()) packed_ = (packed_ & ~count{3}) | static_cast<count>(other);
  }

 private:
  count packed_;
};

struct LineDetail {
  Reach at;

  bool operator<(const LineDetail& other) const { return at.line() < other.at.line(); }
  bool same_place(const LineDetail& other) const { return at.line() == other.at.line(); }
};

struct BranchDetail {
  Reach at;
  // The hash of the "block,branch" text, 64 bits: that two branches of one
  // line share it is too unlikely to matter, and it keeps a branch in two words.
  std::size_t branch;

  bool operator<(const BranchDetail& other) const {
    return at.line() != other.at.line() ? at.line() < other.at.line() : branch < other.branch;
  }
  bool same_place(const BranchDetail& other) const { return at.line() == other.at.line() && branch == other.branch; }
};

// Sorts `details` by place and keeps one per place, the furthest reached.
template <typename Place>
void merge_places(std::vector<Place>& details) {
  if (!std::is_sorted(details.begin(), details.end())) std::stable_sort(details.begin(), details.end());
  std::size_t kept = 0;
  for (std::size_t i = 0; i < details.size(); ++i) {
    if (kept > 0 && details[kept - 1].same_place(details[i])) {
      details[kept - 1].at.reach(details[i].at.reached());
    } else {
      details[kept++] = details[i];
    }
  }
  details.erase(details.begin() + static_cast<std::ptrdiff_t>(kept), details.end());
}

// Merges the details of one record into a file's sorted details, which take
// no more memory than they hold; `scratch` keeps its memory from record to
// record.
template <typename Place>
void merge_into(std::vector<Place>& merged, std::vector<Place>& record, std::vector<Place>& scratch) {
  merge_places(record);
  if (merged.empty()) {
    merged.assign(record.begin(), record.end());
    return;
  }
  scratch.clear();
  auto old = merged.begin();
  auto added = record.begin();
  while (old != merged.end() && added != record.end()) {
    if (*old < *added) {
      scratch.push_back(*old++);
    } else if (*added < *old) {
      scratch.push_back(*added++);
    } else {
      scratch.push_back(*old++);
      scratch.back().at.reach((added++)->at.reached());
    }
  }
  scratch.insert(scratch.end(), old, merged.end());
  scratch.insert(scratch.end(), added, record.end());
  merged.assign(scratch.begin(), scratch.end());
}

template <typename Place>
Coverage::Tally tally_of(const std::vector<Place>& details) {
  Coverage::Tally tally{0, details.size()};
  for (const Place& detail : details) tally.hit += detail.at.reached() == Reached::taken;
  return tally;
}

// One source file, over all of its records: a compiler writes one record per
// object a source is built into, and lcov merges them into the file's figures.
struct SourceFile {
  std::string path;
  std::size_t records = 0;
  // The first record as written (LF/LH win), the file's figures while it has
  // no other record.
  Coverage::Tally lines;
  std::optional<Coverage::Tally> branches;
  bool any_branch_data = false;
  // Every record's details, one per place.
  std::vector<LineDetail> line_details;
  std::vector<BranchDetail> branch_details;

  Coverage::Tally merged_lines() const { return records == 1 ? lines : tally_of(line_details); }
  std::optional<Coverage::Tally> merged_branches() const {
    if (records == 1) return branches;
    if (!any_branch_data) return std::nullopt;
    return tally_of(branch_details);
  }
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

  // Ends the last record (also without its "end_of_record"), then gives one
  // row per file, in the order of their first records, and the module row.
  void finish() {
    end_record();
    Coverage::ModuleTotals totals;
    for (SourceFile& file : files_) {
      const Coverage::Tally lines = file.merged_lines();
      const std::optional<Coverage::Tally> branches = file.merged_branches();
      push_row(Coverage::counted_row(std::move(file.path), lines, branches));
      totals.add(lines, branches);
    }
    if (std::optional<Coverage::coverage_row> module = totals.module_row()) push_row(std::move(*module));
  }

 private:
  void start_record(std::string_view path) {
    in_record_ = true;
    path_.assign(path);
    lines_ = {};
    branches_ = {};
    record_lines_.clear();
    record_branches_.clear();
    too_large_line_ = 0;
  }

  void end_record() {
    if (!in_record_) return;
    in_record_ = false;
    if (too_large_line_ != 0) {
      Coverage::report_number_too_large(too_large_line_);
      return;
    }
    const auto [place, added] = file_index_.try_emplace(path_, files_.size());
    if (added) files_.emplace_back().path = path_;
    SourceFile& file = files_[place->second];
    if (++file.records == 1) {
      file.lines = lines_.tally();
      if (branches_.present()) file.branches = branches_.tally();
    }
    file.any_branch_data = file.any_branch_data || branches_.present();
    merge_into(file.line_details, record_lines_, line_scratch_);
    merge_into(file.branch_details, record_branches_, branch_scratch_);
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

  // "DA:<line>,<count>[,<checksum>]". A negative count is not counted in a
  // record by itself; merged with others, lcov reads it as 0.
  void read_line_detail(std::string_view text) {
    split_fields(text, fields_);
    if (fields_.size() < 2) return;
    count line = 0;
    count executed = 0;
    if (!take_number(fields_[0], line)) return;
    Reached reached = Reached::not_taken;
    if (!is_negative(fields_[1])) {
      if (!take_number(fields_[1], executed)) return;
      count_detail(lines_, executed > 0);
      if (executed > 0) reached = Reached::taken;
    }
    if (line <= Reach::largest_line) record_lines_.push_back({Reach(line, reached)});
  }

  // "BRDA:<line>,<block>,<branch>,<taken>"; newer writers may put commas in
  // the branch part, so the count is the last field.
  void read_branch_detail(std::string_view text) {
    split_fields(text, fields_);
    if (fields_.size() < 4) return;
    count line = 0;
    count taken = 0;
    if (!take_number(fields_[0], line)) return;
    const std::string_view taken_text = fields_.back();
    if (taken_text != "-" && !take_number(taken_text, taken)) return;
    const Reached reached = taken_text == "-" ? Reached::never : taken > 0 ? Reached::taken : Reached::not_taken;
    count_detail(branches_, reached == Reached::taken);
    if (line > Reach::largest_line) return;
    const std::size_t place_start = static_cast<std::size_t>(fields_[1].data() - text.data());
    const std::size_t place_end = static_cast<std::size_t>(taken_text.data() - text.data()) - 1;
    const std::string_view block_and_branch = text.substr(place_start, place_end - place_start);
    record_branches_.push_back({Reach(line, reached), std::hash<std::string_view>{}(block_and_branch)});
  }

  static bool is_negative(std::string_view text) {
    return text.size() > 1 && text[0] == '-' &&
           text.find_first_not_of("0123456789", 1) == std::string_view::npos;
  }

  static void count_detail(Measure& measure, bool hit) {
    ++measure.listed;
    if (hit) ++measure.listed_hit;
  }

  std::deque<Element>& out_;
  std::vector<std::string_view> fields_;  // of the detail line being read
  std::size_t line_number_ = 0;
  bool in_record_ = false;
  std::string path_;
  Measure lines_;
  Measure branches_;
  std::vector<LineDetail> record_lines_;
  std::vector<BranchDetail> record_branches_;
  std::vector<LineDetail> line_scratch_;
  std::vector<BranchDetail> branch_scratch_;
  std::size_t too_large_line_ = 0;  // 0 while the record's numbers all fit
  std::vector<SourceFile> files_;   // in the order of their first records
  std::unordered_map<std::string, std::size_t> file_index_;  // SF text as written -> files_
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
