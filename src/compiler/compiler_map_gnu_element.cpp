#include "compiler/compiler_map_gnu_element.h"

#include <iostream>
#include <optional>
#include <system_error>
#include <utility>

#include "compiler/compiler_map_output.h"
#include "detail/line_reader.h"
#include "detail/messages.h"

namespace {

const std::string_view memory_map_heading = "Linker script and memory map";
const std::string_view discarded_heading = "Discarded input sections";

/// A heading of the map ("Memory Configuration", "Linker script and memory
/// map"): a line that begins with neither white space nor a line end. Within
/// a section list only the output sections begin at the line start.
bool is_heading(std::string_view text) { return !text.empty() && text[0] != ' ' && text[0] != '\t'; }

/// Appends the record of one input section, unless its address or size does
/// not fit in 64 bits: then the line is reported and skipped.
void add_section(std::deque<QZCompilerMapGnuElement>& out, std::string section, std::string_view address,
                 std::string_view size, std::string_view object, std::size_t line_number) {
  const std::optional<std::uint64_t> origin = CompilerMap::hex_value_64(address);
  const std::optional<std::uint64_t> length = CompilerMap::hex_value_64(size);
  if (!origin || !length) {
    Detail::print_error("A number on input line " + std::to_string(line_number) +
                        " does not fit in 64 bits, the line was skipped");
    return;
  }
  QZCompilerMapGnuElement element;
  element.originhex = address;
  element.origindec = *origin;
  element.sizehex = size;
  element.sizedec = *length;
  element.section = std::move(section);
  element.filename = object;
  out.push_back(std::move(element));
}

}  // namespace

const Detail::Pattern& QZCompilerMapGnuElement::section_pattern() {
  // Names beginning with "*" are `*fill*` and input patterns such as `*(.text*)`.
  static const Detail::Pattern pattern(std::string("^ ([^\\s*]\\S*)") + "(?:\\s+0x([0-9a-fA-F]+)" +
                                              "\\s+0x([0-9a-fA-F]+)" + "\\s+(\\S.*)|\\s*)");
  return pattern;
}

const Detail::Pattern& QZCompilerMapGnuElement::continuation_regex() {
  static const Detail::Pattern pattern(std::string("\\s+0x([0-9a-fA-F]+)") + "\\s+0x([0-9a-fA-F]+)" +
                                              "\\s+(\\S.*)");
  return pattern;
}

void QZCompilerMapGnuElement::read_elements(std::istream& in, std::deque<QZCompilerMapGnuElement>& out) {
  out.clear();
  Detail::LineReader reader(in);
  Detail::Match groups;
  bool in_memory_map = false;
  // The sections the linker threw away are listed like placed ones, before
  // the memory map or (in some maps) within it, up to the next heading.
  bool in_discarded = false;
  std::string long_name;  // a name that stood alone on the line before
  for (std::string_view text; reader.next(text);) {
    if (in_discarded && !is_heading(text)) continue;
    in_discarded = text == discarded_heading;
    if (in_discarded) {
      long_name.clear();
      continue;
    }
    if (!in_memory_map) {
      in_memory_map = text == memory_map_heading;
      continue;
    }
    const std::size_t line_number = reader.line_number();
    if (std::string name = std::exchange(long_name, {}); !name.empty()) {
      if (Detail::match_input_line(continuation_regex(), text, line_number, groups)) {
        add_section(out, std::move(name), groups[1], groups[2], groups[3], line_number);
        continue;
      }
    }
    if (!Detail::match_input_line(section_pattern(), text, line_number, groups)) continue;
    if (groups.matched(2))
      add_section(out, groups.str(1), groups[2], groups[3], groups[4], line_number);
    else
      long_name = groups.str(1);
  }
  if (!in_memory_map) {
    Detail::print_error("The input has no \"" + std::string(memory_map_heading) +
                        "\" line of a GNU ld map, no section was read");
  }
}

void QZCompilerMapGnuElement::get_final_result(const Detail::options& options) {
  CompilerMap::get_final_result<QZCompilerMapGnuElement>(options, read_elements);
}
