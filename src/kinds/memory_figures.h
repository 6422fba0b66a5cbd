#pragma once
// The figures of a run's compiler_map rows: the bytes per section group, per
// section and file, and the target memory in total. A report loaded twice
// for one hash counts once: rows equal in every column but the date and time
// are one.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "kinds/stored_rows.h"

namespace Kinds {

/// Whether a section (group) takes no target memory: debugging data,
/// comments, notes and attributes.
bool is_non_target_section(std::string_view section);

/// The output section a section's bytes are in, the one grouping of the
/// page, the JSON and the summaries: "A -> B" is in A; an input section
/// named after GNU ld's default placement is in its output section
/// (".text.*" in ".text", ".rodata.*" in ".rodata", ".data.*" in ".data",
/// ".bss.*" and "COMMON" in ".bss", ".tdata.*" in ".tdata", ".tbss.*" in
/// ".tbss"); any other name is its own group. A custom linker script may
/// place them elsewhere.
std::string_view section_group(std::string_view section);

struct memory_sizes {
  std::map<std::string, std::uint64_t> groups;
  std::map<std::pair<std::string, std::string>, std::uint64_t> pairs;  // (section, filename)
  std::uint64_t total = 0;                                             // target memory
};

memory_sizes sizes_of(const rows& stored);
/// The target memory in total, and per section group.
std::uint64_t count_memory(const rows& stored, std::map<std::string, std::uint64_t>* groups = nullptr);

}  // namespace Kinds
