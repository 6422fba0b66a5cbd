#include "qac/qac_result_element.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "detail/line_reader.h"
#include "detail/output_writer.h"
#include "detail/run_files.h"
#include "detail/record_sort.h"
#include "detail/text_helpers.h"

namespace {

// Paths are kept from this marker on; a path without it is not ours.
const std::string source_marker = "Src_QZ\\";

// Sorts like a stable sort by QZQacResultElement::is_less_than, on compact
// keys: the rank of the file name among the distinct names, the line and the
// message number, so that a long report is not sorted by comparing file names
// scattered over the heap. Only messages equal in all three compare their
// texts; equal messages keep their input order.
void sort_messages(std::deque<QZQacResultElement>& records) {
  std::map<std::string_view, std::uint32_t> ranks;
  for (const QZQacResultElement& record : records) ranks.emplace(record.file_name, 0);
  std::uint32_t next_rank = 0;
  for (auto& name_and_rank : ranks) name_and_rank.second = next_rank++;

  struct key {
    std::uint32_t file, line, number;
    std::size_t index;
  };
  std::vector<key> keys;
  keys.reserve(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const QZQacResultElement& record = records[i];
    keys.push_back({ranks.find(record.file_name)->second, record.line, record.message_number, i});
  }
  std::sort(keys.begin(), keys.end(), [&records](const key& a, const key& b) {
    if (a.file != b.file) return a.file < b.file;
    if (a.line != b.line) return a.line < b.line;
    if (a.number != b.number) return a.number < b.number;
    const std::string& text_a = records[a.index].message_text;
    const std::string& text_b = records[b.index].message_text;
    if (text_a != text_b) return text_a < text_b;
    return a.index < b.index;
  });

  std::vector<std::size_t> order;
  order.reserve(keys.size());
  for (const key& k : keys) order.push_back(k.index);
  std::vector<key>().swap(keys);
  Detail::move_into_order(records, order);
}

}  // namespace

const Detail::Pattern& QZQacResultElement::my_regex() {
  // Group 1 takes the path up to the last ".cpp" or ".c" that lets the rest
  // of the line match.
  static const std::string str_regex = std::string("(.*\\.(?:cpp|c))") + "[[:space:]]+" + "\\(" + "([0-9]+)" + "\\)" +
                                       "[[:space:]]+" + "[[:punct:]]{1}" + "[[:space:]]+" + "(warning|error)" +
                                       "[[:space:]]+" + "[[:punct:]]{1}" + "[[:space:]]+" +
                                       "QAC\\(Prio([0-9]{1})\\)" + "[[:space:]]+" + "Msg" + "[[:punct:]]{1}" +
                                       "[[:space:]]+" + "([0-9]+)" + "\\(" + "(.*)" + "\\.\\)" + "(.*)" +
                                       "[[:space:]]+" + "(Ref)" + "[[:punct:]]{1}" + "(.*)";
  static const Detail::Pattern my_regex_local(str_regex);
  return my_regex_local;
}

const Detail::Pattern& QZQacResultElement::misra_regex() {
  static const std::string str_regex = std::string("(MISRA.*[[:punct:]]{1}[0-9]+)") + "[[:space:]]+" + "(Rule|Dir)" +
                                       "[\\-]{1}" + "([0-9]+)" + "[\\.]{1}" + "([0-9]+)" + "(.*)";
  static const Detail::Pattern my_regex_local(str_regex);
  return my_regex_local;
}

bool QZQacResultElement::parse_input_string(std::string_view input_line, std::size_t line_number) {
  Detail::Match groups;
  if (!Detail::match_input_line(my_regex(), input_line, line_number, groups)) return false;

  const std::string_view path = groups[1];
  const std::size_t marker = path.find(source_marker);
  file_name = marker == std::string_view::npos ? std::string() : std::string(path.substr(marker));
  if (file_name.empty()) return false;

  line = Detail::my_lexical_cast<unsigned int>(groups.str(2));
  priority = Detail::my_lexical_cast<unsigned int>(groups.str(4));
  message_number = Detail::my_lexical_cast<unsigned int>(groups.str(5));
  message_text = groups.str(6);
  reference_text = groups.str(9);

  Detail::Match misra;
  if (reference_text != " " && Detail::match_input_line(misra_regex(), reference_text, line_number, misra)) {
    misra_standard = misra.str(1);
    misra_rule_major = Detail::my_lexical_cast<unsigned int>(misra.str(3));
    misra_rule_minor = Detail::my_lexical_cast<unsigned int>(misra.str(4));
  }
  return true;
}

void QZQacResultElement::read_elements(std::istream& in, std::deque<QZQacResultElement>& out) {
  out.clear();
  Detail::LineReader reader(in);
  for (std::string_view input_line; reader.next(input_line);) {
    QZQacResultElement record;
    record.is_valid = record.parse_input_string(input_line, reader.line_number());
    if (record.is_valid) out.push_back(std::move(record));
  }
  // Stable, so that of equal messages the first one read is the one kept.
  sort_messages(out);
  out.erase(std::unique(out.begin(), out.end(), is_equal), out.end());
}

void QZQacResultElement::GetQZQacResultElements(std::ifstream& in, std::deque<QZQacResultElement>& out) {
  read_elements(in, out);
  in.close();
}

bool QZQacResultElement::is_less_than(const QZQacResultElement& a, const QZQacResultElement& b) {
  if (a.file_name != b.file_name) return a.file_name < b.file_name;
  if (a.line != b.line) return a.line < b.line;
  if (a.message_number != b.message_number) return a.message_number < b.message_number;
  return a.message_text < b.message_text;
}

bool QZQacResultElement::is_equal(const QZQacResultElement& a, const QZQacResultElement& b) {
  return a.file_name == b.file_name && a.line == b.line && a.message_number == b.message_number &&
         a.message_text == b.message_text;
}

std::vector<QZQacResultElement::file_group> QZQacResultElement::group_by_file(
    std::deque<QZQacResultElement> records) {
  std::map<std::string, std::deque<QZQacResultElement>> by_name;
  for (; !records.empty(); records.pop_front()) {
    QZQacResultElement& record = records.front();
    by_name[record.file_name].push_back(std::move(record));
  }

  std::vector<file_group> files(std::make_move_iterator(by_name.begin()), std::make_move_iterator(by_name.end()));
  std::sort(files.begin(), files.end(), [](const file_group& a, const file_group& b) {
    if (a.second.size() != b.second.size()) return a.second.size() > b.second.size();
    return a.first > b.first;
  });
  return files;
}

void QZQacResultElement::get_final_result(const Detail::options& options) {
  std::string date, time;
  Detail::get_date_and_time_string(date, time);

  std::deque<QZQacResultElement> records;
  std::ifstream& in = Detail::take_run_input(options.input);
  GetQZQacResultElements(in, records);
  const std::size_t message_count = records.size();
  const std::vector<file_group> files = group_by_file(std::move(records));

  std::deque<std::string> lines;
  if (options.parser_type == "QAC") lines = sql_lines(files, options, date, time);
  if (options.parser_type == "QAC_full_report") lines = full_report_lines(files, message_count, options);
  Detail::write_output(options.output, lines);
}
