#pragma once
// The figures of each run of a project's recent history, per kind, as the
// comparison counts them, read with one aggregating statement per table so
// that a long history is never read row by row.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "compare/comparison.h"
#include "compare/history.h"
#include "detail/row_source.h"

namespace Compare {

struct run_figures {
  std::string githash;
  std::string earliest;  // "2026-12-09 18:04:21"
  std::optional<test_totals> tests;
  std::map<std::string, coverage_totals> coverage;  // by tool
  std::optional<counts_by_type> warnings;
  std::optional<std::pair<std::int64_t, std::int64_t>> qac;  // misra_0-9 summed, his
  std::optional<std::uint64_t> memory;                       // target memory in total
  std::map<std::string, std::uint64_t> memory_groups;        // target memory per section group
};

/// The last `count` runs of `project` on `platform` up to and including
/// `current`, ordered by their earliest rows, each with its figures.
std::vector<run_figures> read_trends(Detail::RowSource& source, const History& history, const std::string& project,
                                     const std::string& platform, const std::string& current, std::size_t count);

}  // namespace Compare
