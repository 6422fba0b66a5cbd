#include "qac/qac_result_element.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <numeric>
#include <unordered_map>

#include "detail/line_reader.h"
#include "detail/output_writer.h"
#include "detail/run_files.h"
#include "detail/sql_conversion.h"
#include "detail/tables.h"
#include "detail/text_helpers.h"

namespace {

// Paths are kept from this marker on; a path without it is not ours.
const std::string_view source_marker = "Src_QZ\\";

// The texts of the records that GetQZQacResultElements returns, in large blocks that
// never move, so that records stay plain values that can be copied freely.
// They last as long as the program, or, kept while a scope lives, as long as
// the scope: a conversion frees its texts when it is done, so that a process
// that converts many reports does not grow.
class record_texts {
 public:
  static std::string_view keep(std::string_view text) {
    static record_texts lasting;
    return (active_ ? *active_ : lasting).copy(text);
  }

 private:
  friend class record_texts_scope;
  static inline record_texts* active_ = nullptr;

  std::string_view copy(std::string_view text) {
    if (text.empty()) return {};
    if (text.size() > left_) {
      const std::size_t size = std::max(text.size(), block_size);
      blocks_.push_back(std::make_unique<char[]>(size));
      free_ = blocks_.back().get();
      left_ = size;
    }
    char* const kept = free_;
    std::memcpy(kept, text.data(), text.size());
    free_ += text.size();
    left_ -= text.size();
    return {kept, text.size()};
  }

  static constexpr std::size_t block_size = 1 << 20;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* free_ = nullptr;
  std::size_t left_ = 0;
};

// While it lives, the texts that are kept go to it, and are freed with it.
class record_texts_scope {
 public:
  record_texts_scope() : previous_(record_texts::active_) { record_texts::active_ = &texts_; }
  ~record_texts_scope() { record_texts::active_ = previous_; }
  record_texts_scope(const record_texts_scope&) = delete;
  record_texts_scope& operator=(const record_texts_scope&) = delete;

 private:
  record_texts texts_;
  record_texts* previous_;
};

// One kept copy of each distinct text, so that the few file names and
// references of a report are not copied for every message. A text is first
// looked for among the recent ones under the caller's hint (messages come in
// runs of one file, and a message number mostly comes with one reference).
class text_ids {
 public:
  std::uint32_t id_of(std::string_view text, std::uint32_t hint = 0) {
    std::uint32_t& recent = recent_[hint % recent_.size()];
    if (recent < texts_.size() && texts_[recent] == text) return recent;
    const auto found = ids_.find(text);
    if (found != ids_.end()) return recent = found->second;
    recent = static_cast<std::uint32_t>(texts_.size());
    texts_.push_back(record_texts::keep(text));
    ids_.emplace(texts_.back(), recent);
    return recent;
  }
  std::string_view text(std::uint32_t id) const { return texts_[id]; }
  std::size_t size() const { return texts_.size(); }

 private:
  std::unordered_map<std::string_view, std::uint32_t> ids_;
  std::vector<std::string_view> texts_;
  std::array<std::uint32_t, 1024> recent_ = filled_with_none();

  static std::array<std::uint32_t, 1024> filled_with_none() {
    std::array<std::uint32_t, 1024> none;
    none.fill(std::numeric_limits<std::uint32_t>::max());
    return none;
  }
};

// What the reading loop keeps of a message until the messages are ordered.
struct read_message {
  std::string_view text;  // kept
  std::uint32_t file, line, number, priority, reference;
};

// A message's place in the order, compared without touching any text: the
// rank of its file name among the distinct names with its line, then the
// message number with the message's place in the input.
struct order_key {
  std::uint64_t file_and_line;
  std::uint64_t number_and_index;

  bool operator<(const order_key& other) const {
    if (file_and_line != other.file_and_line) return file_and_line < other.file_and_line;
    return number_and_index < other.number_and_index;
  }
  bool same_place(const order_key& other) const {
    return file_and_line == other.file_and_line && number_and_index >> 32 == other.number_and_index >> 32;
  }
  std::size_t index() const { return number_and_index & 0xffffffffu; }
};

std::vector<std::uint32_t> name_ranks(const text_ids& files) {
  std::vector<std::uint32_t> by_name(files.size());
  std::iota(by_name.begin(), by_name.end(), 0u);
  std::sort(by_name.begin(), by_name.end(),
            [&files](std::uint32_t a, std::uint32_t b) { return files.text(a) < files.text(b); });
  std::vector<std::uint32_t> rank(files.size());
  for (std::uint32_t i = 0; i < by_name.size(); ++i) rank[by_name[i]] = i;
  return rank;
}

// The indices of the messages in the order of QZQacResultElement::is_less_than,
// equal messages in input order, all but the first of equal messages left out.
std::vector<std::size_t> message_order(const std::vector<read_message>& messages, const text_ids& files) {
  const std::vector<std::uint32_t> rank = name_ranks(files);
  // Four thousand million messages would need far more memory than the keys.
  if (messages.size() > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  std::vector<order_key> keys;
  keys.reserve(messages.size());
  for (std::size_t i = 0; i < messages.size(); ++i) {
    const read_message& message = messages[i];
    keys.push_back({std::uint64_t{rank[message.file]} << 32 | message.line, std::uint64_t{message.number} << 32 | i});
  }
  std::sort(keys.begin(), keys.end());

  std::vector<std::size_t> order;
  order.reserve(keys.size());
  auto text_of = [&messages](const order_key& key) { return messages[key.index()].text; };
  for (auto run = keys.begin(); run != keys.end();) {
    auto run_end = std::find_if(run + 1, keys.end(), [run](const order_key& key) { return !run->same_place(key); });
    // Messages at one place are ordered by text; the sort is stable, so of
    // equal ones the first read comes first.
    if (run_end - run > 1)
      std::stable_sort(run, run_end, [&](const order_key& a, const order_key& b) { return text_of(a) < text_of(b); });
    for (auto key = run; key != run_end; ++key)
      if (key == run || text_of(*key) != text_of(*(key - 1))) order.push_back(key->index());
    run = run_end;
  }
  return order;
}

// The value of a run of decimal digits as Detail::my_lexical_cast<unsigned int>
// reads it: past the largest value, the largest value.
std::uint32_t number_of(std::string_view digits) {
  constexpr std::uint64_t largest = std::numeric_limits<std::uint32_t>::max();
  std::uint64_t value = 0;
  for (const char digit : digits) {
    value = value * 10 + static_cast<std::uint64_t>(digit - '0');
    if (value > largest) return static_cast<std::uint32_t>(largest);
  }
  return static_cast<std::uint32_t>(value);
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

bool QZQacResultElement::take_message(const message_line_groups& groups) {
  const std::size_t marker = groups.path.find(source_marker);
  if (marker == std::string_view::npos) return false;
  file_name = groups.path.substr(marker);
  line = number_of(groups.line);
  priority = number_of(groups.priority);
  message_number = number_of(groups.number);
  message_text = groups.text;
  reference_text = groups.reference;
  return true;
}

void QZQacResultElement::take_misra_reference() {
  misra_groups misra;
  if (reference_text == " " || !scan_misra_reference(reference_text, misra)) return;
  misra_standard = misra.standard;
  misra_rule_major = number_of(misra.major);
  misra_rule_minor = number_of(misra.minor);
}

bool QZQacResultElement::parse_input_string(std::string_view input_line, std::size_t /*line_number*/) {
  message_line_groups groups;
  if (!scan_message_line(input_line, groups) || !take_message(groups)) return false;
  take_misra_reference();
  return true;
}

void QZQacResultElement::GetQZQacResultElements(std::istream& in, std::deque<QZQacResultElement>& out) {
  out.clear();
  text_ids files, references;
  std::vector<QZQacResultElement> misra_of_reference;  // a reference's MISRA fields, found once
  std::vector<read_message> messages;
  Detail::LineReader reader(in);
  message_line_groups groups;
  for (std::string_view input_line; reader.next(input_line);) {
    QZQacResultElement record;
    if (!scan_message_line(input_line, groups) || !record.take_message(groups)) continue;
    const std::uint32_t reference = references.id_of(record.reference_text, record.message_number);
    if (reference == misra_of_reference.size()) {
      misra_of_reference.emplace_back().reference_text = references.text(reference);
      misra_of_reference.back().take_misra_reference();
    }
    messages.push_back({record_texts::keep(record.message_text), files.id_of(record.file_name), record.line,
                        record.message_number, record.priority, reference});
  }

  for (const std::size_t index : message_order(messages, files)) {
    const read_message& message = messages[index];
    QZQacResultElement record = misra_of_reference[message.reference];
    record.file_name = files.text(message.file);
    record.line = message.line;
    record.priority = message.priority;
    record.message_number = message.number;
    record.message_text = message.text;
    out.push_back(record);
  }
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
    const std::deque<QZQacResultElement>& records) {
  // Sorted records hold each file's messages in one run.
  std::vector<file_group> files;
  for (auto run = records.begin(); run != records.end();) {
    const std::string_view name = run->file_name;
    const auto run_end =
        std::find_if(run, records.end(), [name](const QZQacResultElement& record) { return record.file_name != name; });
    files.emplace_back(std::string(name), record_range(run, run_end));
    run = run_end;
  }
  std::sort(files.begin(), files.end(), [](const file_group& a, const file_group& b) {
    if (a.second.size() != b.second.size()) return a.second.size() > b.second.size();
    return a.first > b.first;
  });
  return files;
}

void QZQacResultElement::get_final_result(const Detail::options& options) {
  const record_texts_scope texts;  // the records' texts, freed when the output is written
  std::deque<QZQacResultElement> records;
  Detail::convert_to_table(options, Detail::q_results_table(), records, GetQZQacResultElements,
                           [&](Detail::TableRows& rows, const std::deque<QZQacResultElement>& read) {
                             add_sql_rows(group_by_file(read), options, rows);
                           });
}

void QZQacResultElement::write_full_report(const Detail::options& options) {
  const record_texts_scope texts;
  std::deque<QZQacResultElement> records;
  Detail::read_run_input(options.input, records, GetQZQacResultElements);
  Detail::write_output(options.output, full_report_lines(group_by_file(records), records.size(), options));
}
