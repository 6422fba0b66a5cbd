#include "clang_tidy/clang_tidy_element.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <tuple>

#include "clang_tidy/message_scanner.h"
#include "clang_tidy/message_table.h"
#include "detail/colour.h"
#include "detail/line_reader.h"
#include "detail/output_writer.h"
#include "detail/run_files.h"
#include "detail/record_sort.h"
#include "detail/text_helpers.h"

const Detail::Pattern& ZEZudizOzazIdovuvidurElement::tidy_report_regex() {
  static const std::string str_regex = std::string(".*") + "\\:" + "([0-9]+)" + "\\:" + "([0-9]+)" + "\\:" +
                                       "[[:space:]]+" + "(error|note|warning)" + "\\:" + "[[:space:]]+" + ".*";
  static const Detail::Pattern my_regex_local(str_regex);
  return my_regex_local;
}

const Detail::Pattern& ZEZudizOzazIdovuvidurElement::my_single_tidy_msg_regex() {
  static const std::string str_regex = std::string("(.*\\.(cpp|c|h))") + "\\:" + "([0-9]+)" + "\\:" + "([0-9]+)" +
                                       "\\:" + "[[:space:]]+" + "(error|note|warning)" + "\\:" + "[[:space:]]+" +
                                       "(.*)" + "\\[" + "(.*)" + "\\]" + "(.*)";
  static const Detail::Pattern my_regex_local(str_regex);
  return my_regex_local;
}

const Detail::Pattern& ZEZudizOzazIdovuvidurElement::all_files_tidy_msg_regex() {
  static const std::string str_regex = std::string("(.*)") + "\\:" + "([0-9]+)" + "\\:" + "([0-9]+)" + "\\:" +
                                       "[[:space:]]+" + "(error|note|warning)" + "\\:" + "[[:space:]]+" + "(.*)" +
                                       "\\[" + "(.*)" + "\\]" + "(.*)";
  static const Detail::Pattern my_regex_local(str_regex);
  return my_regex_local;
}

const Detail::Pattern& ZEZudizOzazIdovuvidurElement::message_regex(const std::string& parser_type) {
  return parser_type == "ClangTidy_all" ? all_files_tidy_msg_regex() : my_single_tidy_msg_regex();
}

std::string ZEZudizOzazIdovuvidurElement::remove_colour(std::string_view line) {
  return Detail::remove_colour(line, "m");
}

namespace {

// Cuts the lines of `in` into message texts (read_message_texts) and calls
// on_text(text, first_line) for each, in order; the text is valid during the
// call. Returns whether `in` held any line.
template <typename OnText>
bool for_each_message_text(std::istream& in, OnText on_text) {
  Detail::LineReader reader(in);
  ClangTidyMessages::DiagnosticGroups diagnostic;  // tidy_report_regex's captures, unused
  std::string current;
  std::string plain;
  std::size_t first_line = 0;
  for (std::string_view raw; reader.next(raw);) {
    // Most lines hold no colour sequence and are used as read.
    std::string_view line = raw;
    if (raw.find('\x1b') != std::string_view::npos) {
      plain = ZEZudizOzazIdovuvidurElement::remove_colour(raw);
      line = plain;
    }
    if (reader.line_number() == 1) {
      current.assign(line);
      first_line = 1;
    } else if (ClangTidyMessages::scan_diagnostic_line(line, diagnostic)) {
      on_text(std::string_view(current), first_line);
      current.assign(line);
      first_line = reader.line_number();
    } else {
      current += Detail::add_space();
      current += line;
    }
  }
  if (first_line == 0) return false;
  on_text(std::string_view(current), first_line);
  return true;
}

}  // namespace

bool ZEZudizOzazIdovuvidurElement::read_message_texts(std::istream& in, std::vector<std::string>& texts,
                                                      std::vector<std::size_t>& first_lines) {
  texts.clear();
  first_lines.clear();
  return for_each_message_text(in, [&](std::string_view text, std::size_t first_line) {
    texts.emplace_back(text);
    first_lines.push_back(first_line);
  });
}

bool ZEZudizOzazIdovuvidurElement::parse_single_tidy_msg(const std::string& text, std::size_t first_line,
                                                         const Detail::Pattern& pattern) {
  Detail::Match groups;
  ClangTidyMessages::Parts parts;
  if (!ClangTidyMessages::parse(pattern, text, first_line, groups, parts)) return false;
  file_name = parts.file_name;
  line = Detail::my_lexical_cast<unsigned int>(std::string(parts.line));
  column = Detail::my_lexical_cast<unsigned int>(std::string(parts.column));
  check_name = parts.check;
  tail_text = parts.tail;
  message = std::string(parts.severity) + Detail::add_space() + std::string(parts.text) + Detail::add_space() +
            check_name + Detail::add_space() + tail_text + Detail::add_space();
  full_text = parts.full;
  return true;
}

bool ZEZudizOzazIdovuvidurElement::is_less_than(const ZEZudizOzazIdovuvidurElement& a,
                                                const ZEZudizOzazIdovuvidurElement& b) {
  return std::tie(a.file_name, a.line, a.check_name, a.message) <
         std::tie(b.file_name, b.line, b.check_name, b.message);
}

bool ZEZudizOzazIdovuvidurElement::is_equal(const ZEZudizOzazIdovuvidurElement& a,
                                            const ZEZudizOzazIdovuvidurElement& b) {
  return a.file_name == b.file_name && a.line == b.line && a.column == b.column && a.check_name == b.check_name &&
         a.full_text == b.full_text;
}

bool ZEZudizOzazIdovuvidurElement::get_relevent_tidy_messages(std::vector<std::string>& texts,
                                                              std::deque<ZEZudizOzazIdovuvidurElement>& records,
                                                              const std::vector<std::size_t>& first_lines,
                                                              const Detail::Pattern& pattern) {
  for (std::size_t i = 0; i < texts.size(); ++i) {
    ZEZudizOzazIdovuvidurElement record;
    record.is_valid = record.parse_single_tidy_msg(texts[i], i < first_lines.size() ? first_lines[i] : 0, pattern);
    std::string().swap(texts[i]);  // the record holds what is needed of it
    if (record.is_valid) records.push_back(std::move(record));
  }
  if (records.empty()) {
    std::cout << " ZEZudizOzazIdovuvidur: No cland-tidy messages were found" << std::endl;
    return false;
  }
  // Records that is_less_than cannot tell apart are ordered by column and
  // full text as well, so that every copy of a diagnostic ends up next to the
  // others and the page does not depend on the sort's whims.
  Detail::stable_sort_records(records,
                              [](const ZEZudizOzazIdovuvidurElement& a, const ZEZudizOzazIdovuvidurElement& b) {
                                if (is_less_than(a, b)) return true;
                                if (is_less_than(b, a)) return false;
                                return std::tie(a.column, a.full_text) < std::tie(b.column, b.full_text);
                              });
  records.erase(std::unique(records.begin(), records.end(), is_equal), records.end());
  return true;
}

std::vector<ZEZudizOzazIdovuvidurElement::file_group> ZEZudizOzazIdovuvidurElement::group_by_file(
    std::deque<ZEZudizOzazIdovuvidurElement> records) {
  std::map<std::string, std::deque<ZEZudizOzazIdovuvidurElement>> by_file;
  for (; !records.empty(); records.pop_front()) {
    ZEZudizOzazIdovuvidurElement& record = records.front();
    by_file[record.file_name].push_back(std::move(record));
  }
  return std::vector<file_group>(std::make_move_iterator(by_file.begin()), std::make_move_iterator(by_file.end()));
}

void ZEZudizOzazIdovuvidurElement::get_final_result(const Detail::options& options) {
  static const char* const not_successful =
      "ZEZudizOzazIdovuvidur: Getting clang-tidy analysis result was not successfull";
  std::ifstream& in = Detail::take_run_input(options.input);

  // The run does what get_relevent_tidy_messages, group_by_file and
  // build_html_report do, on compact records (message_table.h).
  ClangTidyMessages::Table table(message_regex(options.parser_type));
  const bool any_line = for_each_message_text(
      in, [&](std::string_view text, std::size_t first_line) { table.add(text, first_line); });
  if (!any_line) {
    std::cout << "ZEZudizOzazIdovuvidur: Report is empty, there are no msgs" << std::endl;
    std::cout << not_successful << std::endl;
    return;
  }
  in.close();
  if (!table.parse_all()) {
    std::cout << " ZEZudizOzazIdovuvidur: No cland-tidy messages were found" << std::endl;
    std::cout << not_successful << std::endl;
    return;
  }
  std::deque<std::string> entries;
  table.build_page(entries);
  if (!Detail::write_output(options.output, entries, Detail::Echo::no)) return;
  std::cout << "ZEZudizOzazIdovuvidur: Report has been built successfully" << std::endl;
}
