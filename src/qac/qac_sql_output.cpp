// The "QAC" output: one q_results row per source file.

#include <algorithm>

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

std::array<std::string, 11> QZQacResultElement::statistics_sql::values() const {
  std::array<std::string, 11> texts;
  for (std::size_t i = 0; i < priority_counts.size(); ++i)
    texts[i] = Detail::my_lexical_cast<unsigned long>(priority_counts[i]);
  texts[10] = Detail::my_lexical_cast<unsigned long>(his_count);
  return texts;
}

void QZQacResultElement::add_sql_rows(const std::vector<file_group>& files, const Detail::options& options,
                                      Detail::TableRows& rows) {
  std::array<std::string_view, 12> row;
  for (const file_group& file : files) {
    const std::string filename = options.platform + "\\" + file.first;
    const std::array<std::string, 11> counts = statistics_sql::of(file.second).values();
    row[0] = filename;
    std::copy(counts.begin(), counts.end(), row.begin() + 1);
    rows.add(row);
  }
}
