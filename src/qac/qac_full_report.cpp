// The "QAC_full_report" output: totals, one aligned table line per source
// file, then every message file by file.

#include <algorithm>
#include <charconv>

#include "detail/text_helpers.h"
#include "qac/qac_result_element.h"

namespace {

const std::string hyphen_line(88, '-');

// Blanks that bring `line` to `column`; none if it is there already.
void pad_to(std::string& line, std::size_t column) {
  if (line.size() < column) line.append(column - line.size(), ' ');
}

// `count` in quotes, after the blanks that make the field `width` wide
// without its quotes; a wider count gets no blanks.
void append_right_aligned(std::string& out, std::uint64_t count, std::size_t width) {
  const std::string digits = Detail::my_lexical_cast<unsigned long>(count);
  if (digits.size() < width) out.append(width - digits.size(), ' ');
  Detail::append_quoted(out, digits);
}

std::string quoted_count(std::size_t count) {
  return Detail::add_quotes(Detail::my_lexical_cast<unsigned long>(count));
}

// The details of one file as one entry of the report's lines: its
// "[filename]" line and one line per message, each ended by a line feed, so
// that the line feed the writer adds after the entry makes the empty line
// that closes the file. One entry per file rather than per message keeps a
// long report from building a string for every message.
std::string details_of(const QZQacResultElement::file_group& file) {
  static constexpr std::string_view file_label = "[filename]: ";
  constexpr std::size_t longest_number = 10;  // of an unsigned 32-bit line number
  std::size_t size = file_label.size() + file.first.size() + 1;
  for (const QZQacResultElement& record : file.second)
    size += file.first.size() + longest_number + record.message_text.size() + 4;
  std::string details;
  details.reserve(size);
  details.append(file_label).append(file.first).append("\n");
  for (const QZQacResultElement& record : file.second) {
    char number[longest_number];
    char* const number_end = std::to_chars(number, number + longest_number, record.line).ptr;
    details.append(file.first).append("(").append(number, static_cast<std::size_t>(number_end - number)).append("): ");
    details.append(record.message_text).append("\n");
  }
  return details;
}

}  // namespace

QZQacResultElement::statistics_full_report QZQacResultElement::statistics_full_report::of(
    record_range records) {
  statistics_full_report counts;
  counts.message_count = records.size();
  for (const QZQacResultElement& record : records) {
    if (is_his_message(record.message_number))
      ++counts.his_count;
    else if (record.priority <= 4)
      ++counts.prio_4_0_count;
    else if (record.priority <= 7)
      ++counts.prio_7_5_count;
    else
      ++counts.prio_9_8_count;
  }
  return counts;
}

std::string QZQacResultElement::statistics_full_report::get_fancy_string() const {
  std::string counts;
  append_right_aligned(counts, message_count, 41);
  append_right_aligned(counts, prio_9_8_count, 17);
  append_right_aligned(counts, prio_7_5_count, 13);
  append_right_aligned(counts, prio_4_0_count, 13);
  append_right_aligned(counts, his_count, 8);
  return counts;
}

std::deque<std::string> QZQacResultElement::full_report_lines(const std::vector<file_group>& files,
                                                              std::size_t message_count,
                                                              const Detail::options& options) {
  std::deque<std::string> lines;
  lines.push_back("[totals]");
  lines.push_back(hyphen_line);
  lines.push_back("Number of files with warnings/errors : " + quoted_count(files.size()));
  lines.push_back("Number of unique warnings/errors____ : " + quoted_count(message_count));
  lines.push_back("");
  lines.push_back("[info]");
  lines.push_back(hyphen_line);
  lines.push_back("Platform___: " + options.platform);
  lines.push_back("ProjectName: " + options.project_name);
  lines.push_back("Tool_______: " + options.tool_name);
  lines.push_back("");
  lines.push_back("");

  std::size_t width = 72;
  for (const file_group& file : files) width = std::max(width, file.first.size());
  const std::size_t columns[] = {width + 30, width + 60, width + 75, width + 90, width + 105};
  const char* const labels[] = {"[Qac totals per file]", "[Prio 9-8]", "[Prio 7-5]", "[Prio 4-0]", "[HIS]"};

  std::string header = "[Filename]";
  std::string rule(width + 5, '-');
  for (std::size_t i = 0; i < 5; ++i) {
    pad_to(header, columns[i]);
    header += labels[i];
    pad_to(rule, columns[i]);
    rule.append(std::string_view(labels[i]).size(), '-');
  }
  lines.push_back(std::move(header));
  lines.push_back(std::move(rule));

  for (const file_group& file : files) {
    std::string table_line = file.first;
    pad_to(table_line, 80);
    table_line += statistics_full_report::of(file.second).get_fancy_string();
    lines.push_back(std::move(table_line));
  }

  lines.push_back("");
  lines.push_back("[Details Report]");
  lines.push_back(hyphen_line);
  for (const file_group& file : files) lines.push_back(details_of(file));
  return lines;
}
