#include "results/cunit_result_element.h"

#include <algorithm>
#include <array>

#include "detail/line_reader.h"
#include "detail/output_writer.h"
#include "detail/sql_script.h"
#include "results/results_output.h"

const Detail::Pattern& QZCUnitResultElement::my_regex() {
  static const Detail::Pattern my_regex_local(std::string("[[:space:]]+") + "Test" + "[[:punct:]]+" + "[[:space:]]+" +
                                              "([A-Za-z0-9_]+).*" + "\\(?\\)?" + "[[:space:]]+" + "[[:punct:]]+" +
                                              "(passed|PASSED|failed|FAILED)");
  return my_regex_local;
}

namespace {

// The classes of the classic locale: [[:space:]] includes CR, LF, VT and FF;
// [[:punct:]] includes '_'. Bytes from 0x80 up are in none of them.
enum CharClass : unsigned char { space = 1, punct = 2, word = 4, line_end = 8 };

constexpr std::array<unsigned char, 256> make_class_table() {
  std::array<unsigned char, 256> table{};
  for (unsigned c = 0; c < 256; ++c) {
    unsigned char bits = 0;
    if (c == ' ' || (c >= '\t' && c <= '\r')) bits |= space;
    if ((c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') || (c >= '{' && c <= '~'))
      bits |= punct;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') bits |= word;
    if (c == '\r' || c == '\n') bits |= line_end;
    table[c] = bits;
  }
  return table;
}

constexpr std::array<unsigned char, 256> class_table = make_class_table();

bool in_class(char c, CharClass wanted) { return (class_table[static_cast<unsigned char>(c)] & wanted) != 0; }

std::size_t skip_forward(std::string_view line, std::size_t at, CharClass wanted) {
  while (at < line.size() && in_class(line[at], wanted)) ++at;
  return at;
}

std::size_t skip_back(std::string_view line, std::size_t end, CharClass wanted) {
  while (end > 0 && in_class(line[end - 1], wanted)) --end;
  return end;
}

constexpr std::size_t verdict_size = 6;

bool is_verdict(std::string_view text) {
  return text == "passed" || text == "PASSED" || text == "failed" || text == "FAILED";
}

}  // namespace

// The pattern, part by part, and why each part has one way to match:
//   [[:space:]]+ Test [[:punct:]]+ [[:space:]]+  each run is followed by a
//       character outside its class, so it takes the whole run;
//   ([A-Za-z0-9_]+)  the whole run of word characters: whatever the rest
//       matches after a shorter run, ".*" also matches after the whole run;
//   (passed|PASSED|failed|FAILED)  the line's last six characters;
//   [[:punct:]]+  the whole run of punctuation before them, and
//   [[:space:]]+  white space right before that run, after the name;
//   .*\(?\)?  whatever lies between the name and that white space, which
//       ".*" covers (taking the white space from its first character) unless
//       it holds a line end; the optional parentheses can only cover
//       characters that ".*" covers too.
bool QZCUnitResultElement::scan_verdict_line(std::string_view line, std::string_view& name,
                                             std::string_view& verdict) {
  const std::size_t indent_end = skip_forward(line, 0, space);
  if (indent_end == 0 || line.substr(indent_end, 4) != "Test") return false;
  const std::size_t colon_end = skip_forward(line, indent_end + 4, punct);
  if (colon_end == indent_end + 4) return false;
  const std::size_t name_begin = skip_forward(line, colon_end, space);
  if (name_begin == colon_end) return false;
  const std::size_t name_end = skip_forward(line, name_begin, word);
  if (name_end == name_begin || line.size() < name_end + verdict_size) return false;

  const std::size_t verdict_begin = line.size() - verdict_size;
  if (!is_verdict(line.substr(verdict_begin))) return false;
  const std::size_t punct_begin = skip_back(line, verdict_begin, punct);
  if (punct_begin == verdict_begin) return false;
  const std::size_t space_begin = std::max(skip_back(line, punct_begin, space), name_end);
  if (space_begin >= punct_begin) return false;
  const std::string_view between = line.substr(name_end, space_begin - name_end);
  if (std::any_of(between.begin(), between.end(), [](char c) { return in_class(c, line_end); })) return false;

  name = line.substr(name_begin, name_end - name_begin);
  verdict = line.substr(verdict_begin);
  return true;
}

void QZCUnitResultElement::GetQZCUnitResultElements(std::istream& in, std::vector<result>& out) {
  out.clear();
  Detail::LineReader reader(in);
  std::string_view name, verdict;
  for (std::string_view line; reader.next(line);) {
    if (scan_verdict_line(line, name, verdict)) out.emplace_back(name, verdict);
  }
}

void QZCUnitResultElement::get_final_result(const Detail::options& options) {
  Results::convert_results(options, GetQZCUnitResultElements);
}
