#include "compiler/compiler_map_iar_element.h"

#include <algorithm>
#include <optional>
#include <string>
#include <system_error>
#include <unordered_map>
#include <utility>
#include <vector>

#include "compiler/compiler_map_output.h"
#include "detail/line_reader.h"
#include "detail/messages.h"

namespace {

using Element = QZCompilerMapIarElement;

constexpr std::string_view blanks = " \t";

// The kinds of placed sections; a name may hold a blank, and so may a kind.
constexpr std::string_view kinds[] = {"ro code", "rw code", "const", "inited", "zero", "uninit", "ro data", "rw data"};

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool all_digits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), is_digit);
}

// The next word of `text` from `at` on, skipping blanks; `at` moves past it.
std::string_view next_word(std::string_view text, std::size_t& at) {
  const std::size_t begin = text.find_first_not_of(blanks, at);
  if (begin == std::string_view::npos) {
    at = text.size();
    return {};
  }
  const std::size_t end = std::min(text.find_first_of(blanks, begin), text.size());
  at = end;
  return text.substr(begin, end - begin);
}

// The digits of a number such as 0x800'0150, lower case, without "0x" and
// the digit-group apostrophes; none when it is not such a number.
std::optional<std::string> hex_digits(std::string_view word) {
  if (!word.starts_with("0x") || word.size() == 2) return std::nullopt;
  std::string digits;
  for (const char c : word.substr(2)) {
    if (c == '\'') continue;
    if (is_digit(c) || (c >= 'a' && c <= 'f')) {
      digits += c;
    } else if (c >= 'A' && c <= 'F') {
      digits += static_cast<char>(c - 'A' + 'a');
    } else {
      return std::nullopt;
    }
  }
  if (digits.empty()) return std::nullopt;
  return digits;
}

// The section name of the text in front of the address: the text without its
// kind. Empty for a block's own line, which has no kind.
std::string_view section_of(std::string_view front) {
  for (const std::string_view kind : kinds) {
    if (front.size() > kind.size() && front.ends_with(kind) && front[front.size() - kind.size() - 1] == ' ')
      return trimmed(front.substr(0, front.size() - kind.size()));
    if (front == kind) return kind;  // a name wrapped onto the line before: the caller's
  }
  // A kind this list does not know, two blanks or more after the name.
  const std::size_t gap = front.rfind("  ");
  return gap == std::string_view::npos ? std::string_view() : trimmed(front.substr(0, gap));
}

bool is_kind(std::string_view text) {
  return std::find(std::begin(kinds), std::end(kinds), text) != std::end(kinds);
}

// A placed section, before its object's library is known.
struct Placed {
  std::string section;
  std::string address;  // digits
  std::string size;     // digits
  std::string_view object;
  std::string_view module;  // the N of the object's "[N]", if any
};

// One row of the placement table, or none for the table's other lines.
// `wrapped` is a name that stood alone on the line before.
std::optional<Placed> placed_section(std::string_view line, std::string_view wrapped) {
  const std::size_t address_at = line.find(" 0x");
  if (address_at == std::string_view::npos) return std::nullopt;
  const std::string_view front = trimmed(line.substr(0, address_at));
  if (front.empty() || front.front() == '"' || front.front() == '-') return std::nullopt;
  std::string_view section = section_of(front);
  if (is_kind(section)) section = wrapped;
  if (section.empty()) return std::nullopt;

  std::size_t at = address_at;
  const std::optional<std::string> address = hex_digits(next_word(line, at));
  std::string_view word = next_word(line, at);
  if (all_digits(word)) word = next_word(line, at);  // the alignment, from 9.50 on
  const std::optional<std::string> size = hex_digits(word);
  std::string_view object = trimmed(line.substr(at));
  if (!address || !size || object.empty()) return std::nullopt;

  std::string_view module;
  const std::size_t open = object.rfind(" [");
  if (object.back() == ']' && open != std::string_view::npos &&
      all_digits(object.substr(open + 2, object.size() - open - 3))) {
    module = object.substr(open + 2, object.size() - open - 3);
    object = trimmed(object.substr(0, open));
  }
  return Placed{std::string(section), *address, *size, object, module};
}

bool ends_with_ignoring_case(std::string_view text, std::string_view ending) {
  return text.size() >= ending.size() &&
         std::equal(ending.begin(), ending.end(), text.end() - static_cast<std::ptrdiff_t>(ending.size()),
                    [](char lower, char c) { return (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) == lower; });
}

bool is_library(std::string_view name) { return ends_with_ignoring_case(name, ".a") || ends_with_ignoring_case(name, ".lib"); }

enum class Part { before_summary, before_table, table, after_table };

// Reads the map's lines, keeping the placed sections and the names of the
// numbered folders and libraries.
class MapReader {
 public:
  explicit MapReader(std::deque<Element>& out) : out_(out) {}

  void read_line(std::string_view line, std::size_t line_number) {
    switch (part_) {
      case Part::before_summary:
        if (line.starts_with("*** PLACEMENT SUMMARY")) part_ = Part::before_table;
        return;
      case Part::before_table:
        if (begins_table(line)) part_ = Part::table;
        return;
      case Part::table:
        if (line.starts_with("Unused ranges:") || line.starts_with("***")) {
          part_ = Part::after_table;
          return;
        }
        read_table_line(line, line_number);
        return;
      case Part::after_table:
        read_module_name(line);
        return;
    }
  }

  bool found_summary() const { return part_ != Part::before_summary; }

  // Names each object after its library, now that the map's list of them is read.
  void finish() {
    for (const auto& [index, module] : modules_) {
      const auto name = module_names_.find(module);
      Element& element = out_[index];
      if (name == module_names_.end()) {
        element.filename += " [" + module + "]";  // kept as printed
      } else if (is_library(name->second)) {
        element.filename = name->second + "(" + element.filename + ")";
      }
    }
  }

 private:
  static bool begins_table(std::string_view line) {
    const std::string_view text = trimmed(line);
    return text.starts_with("Section ") && text.find(" Kind ") != std::string_view::npos;
  }

  void read_table_line(std::string_view line, std::size_t line_number) {
    if (trimmed(line).starts_with("-------")) return;
    std::optional<Placed> placed = placed_section(line, wrapped_);
    const std::string_view text = trimmed(line);
    const bool alone = !placed && !text.empty() && text.find_first_of(blanks) == std::string_view::npos &&
                       text.front() != '"' && text.front() != '-';
    wrapped_ = alone ? std::string(text) : std::string();
    if (placed) add(std::move(*placed), line_number);
  }

  void add(Placed placed, std::size_t line_number) {
    const std::optional<std::uint64_t> origin = CompilerMap::hex_value_64(placed.address);
    const std::optional<std::uint64_t> length = CompilerMap::hex_value_64(placed.size);
    if (!origin || !length) {
      Detail::print_error("A number on input line " + std::to_string(line_number) +
                          " does not fit in 64 bits, the line was skipped");
      return;
    }
    Element element;
    if (placed.address.size() < 8) placed.address.insert(0, 8 - placed.address.size(), '0');
    element.originhex = std::move(placed.address);
    element.origindec = *origin;
    element.sizehex = std::move(placed.size);
    element.sizedec = *length;
    element.section = std::move(placed.section);
    element.filename = placed.object;
    if (!placed.module.empty()) modules_.emplace_back(out_.size(), std::string(placed.module));
    out_.push_back(std::move(element));
  }

  // "[7] = dl7M_tln.a"
  void read_module_name(std::string_view line) {
    if (!line.starts_with('[')) return;
    const std::size_t close = line.find("] = ");
    if (close == std::string_view::npos || !all_digits(line.substr(1, close - 1))) return;
    module_names_.emplace(std::string(line.substr(1, close - 1)), std::string(trimmed(line.substr(close + 4))));
  }

  std::deque<Element>& out_;
  Part part_ = Part::before_summary;
  std::string wrapped_;
  std::vector<std::pair<std::size_t, std::string>> modules_;  // record index, N of its "[N]"
  std::unordered_map<std::string, std::string> module_names_;
};

}  // namespace

bool Element::read_elements(std::istream& in, std::deque<Element>& out) {
  out.clear();
  MapReader map(out);
  Detail::LineReader reader(in);
  for (std::string_view line; reader.next(line);) map.read_line(line, reader.line_number());
  if (!map.found_summary()) {
    out.clear();
    return false;
  }
  map.finish();
  return true;
}

void Element::get_final_result(const Detail::options& options) {
  CompilerMap::get_final_result<Element>(options, [](std::istream& in, std::deque<Element>& out) {
    if (!read_elements(in, out)) Detail::print_error("Input is not an IAR ILINK map (no PLACEMENT SUMMARY)");
  });
}
