#pragma once
// Each kind of rows compared: the current run's rows with its baseline's
// (none: the current figures alone). The rows are as the database holds
// them, every column of the kind's table in order.

#include <span>
#include <string>
#include <vector>

#include "compare/comparison.h"
#include "detail/row_source.h"

namespace Compare {

using rows = std::vector<Detail::stored_row>;

/// Totals and lists of ut_results rows; every still failing test "since"
/// the baseline (the history walk fills in older runs).
tests_comparison compare_tests(const rows& current, const rows* previous);

/// ut_coverage rows of one tool.
coverage_comparison compare_coverage(const rows& current, const rows* previous);

/// compiler_results rows.
warnings_comparison compare_warnings(const rows& current, const rows* previous);

/// q_results rows.
qac_comparison compare_qac(const rows& current, const rows* previous);

/// compiler_map rows.
memory_comparison compare_memory(const rows& current, const rows* previous);

/// The totals of a kind's rows alone, as its comparison counts them (for the
/// history page).
test_totals count_tests(const rows& current);
coverage_totals count_coverage(const rows& current);
counts_by_type count_warnings(const rows& current);
band_counts count_qac(const rows& current);
/// The target memory in total, and per section group.
std::uint64_t count_memory(const rows& current, std::map<std::string, std::uint64_t>* groups = nullptr);

/// Whether a section (group) takes no target memory: debugging data,
/// comments, notes and attributes.
bool is_non_target_section(std::string_view section);

/// The group of a section: its text before " -> ".
std::string_view section_group(std::string_view section);

/// Only the rows whose `column` of `table` holds `value`.
rows rows_where(const rows& all, const Detail::sql_table& table, std::string_view column, std::string_view value);

/// The column's position in `table` (the table descriptions name it).
std::size_t column_of(const Detail::sql_table& table, std::string_view name);

}  // namespace Compare
