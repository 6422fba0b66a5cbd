// The "QAC" output: one q_results row per source file.

#include "detail/text_helpers.h"
#include "qac/qac_result_element.h"

QZQacResultElement::statistics_sql QZQacResultElement::statistics_sql::of(
    record_range records) {
  statistics_sql counts;
  counts.message_count = records.size();
  for (const QZQacResultElement& record : records) {
    if (is_his_message(record.message_number))
      ++counts.his_count;
    else if (record.priority < counts.priority_counts.size())  // one digit, as read from the report
      ++counts.priority_counts[record.priority];
  }
  return counts;
}

std::string QZQacResultElement::statistics_sql::get_fancy_string() const {
  std::string values;
  for (const std::uint64_t count : priority_counts) {
    Detail::append_sql_literal(values, Detail::my_lexical_cast<unsigned long>(count));
    values += ", ";
  }
  Detail::append_sql_literal(values, Detail::my_lexical_cast<unsigned long>(his_count));
  return values;
}

std::deque<std::string> QZQacResultElement::sql_lines(const std::vector<file_group>& files,
                                                      const Detail::options& options, const std::string& date,
                                                      const std::string& time) {
  std::deque<std::string> lines;
  lines.push_back(
      "create table if not exists q_results (platform, project, tool, githash, date, time, filename, misra_0, "
      "misra_1, misra_2, misra_3, misra_4, misra_5, misra_6, misra_7, misra_8, misra_9, his, UNIQUE (githash, "
      "filename) ON CONFLICT IGNORE);");
  for (const file_group& file : files) {
    std::string row =
        "insert into q_results (platform, project, tool, githash, date, time, filename, misra_0, misra_1, misra_2, "
        "misra_3, misra_4, misra_5, misra_6, misra_7, misra_8, misra_9, his) values (";
    for (const std::string* value :
         {&options.platform, &options.project_name, &options.tool_name, &options.hash_value, &date, &time}) {
      Detail::append_sql_literal(row, *value);
      row += ", ";
    }
    Detail::append_sql_literal(row, options.platform + "\\" + file.first);
    row += ", ";
    row += statistics_sql::of(file.second).get_fancy_string();
    row += ");";
    lines.push_back(std::move(row));
  }
  return lines;
}
