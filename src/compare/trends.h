#pragma once
// The figures of each run of a project's recent history, per kind, as the
// comparison counts them, read with one aggregating statement per table so
// that a long history is never read row by row.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "compare/history.h"
#include "compare/paths.h"
#include "detail/row_source.h"
#include "kinds/coverage_figures.h"
#include "kinds/tests_figures.h"
#include "kinds/warnings_figures.h"

namespace Compare {

struct run_figures {
  std::string githash;
  std::string earliest;  // "2026-12-09 18:04:21"
  std::optional<Kinds::test_totals> tests;
  std::map<std::string, Kinds::coverage_totals> coverage;  // by tool
  std::optional<Kinds::counts_by_type> warnings;
  std::optional<std::pair<std::int64_t, std::int64_t>> qac;  // misra_0-9 summed, his
  std::optional<std::uint64_t> memory;                       // target memory in total
  std::map<std::string, std::uint64_t> memory_groups;        // target memory per section group
};

/// Runs a kind's aggregating statements over the window's runs: each
/// statement's condition is where(), and run() gives a hash's figures.
class TrendReader {
 public:
  TrendReader(Detail::RowSource& source, const std::string& project, const std::string& platform,
              const PathMap& paths, std::vector<run_figures>& runs);

  /// The window's runs: "project = $1", the platform ($2) and the hashes
  /// ($3, ...) compared as texts.
  const std::string& where() const { return condition_; }
  std::vector<Detail::stored_row> select(const std::string& statement);
  run_figures& run(const std::string& hash);
  /// The path of each warning's file, as the comparison maps it.
  const PathMap& paths() const { return paths_; }

 private:
  Detail::RowSource& source_;
  const PathMap& paths_;
  std::vector<run_figures>& runs_;
  std::vector<std::string> parameters_;
  std::string condition_;
};

/// A numeric column's value as a number in both databases: SQLite's '' and
/// PostgreSQL's NULL alike are none.
std::string number_of(std::string_view column, std::string_view type = "bigint");

/// The last `count` runs of `project` on `platform` up to and including
/// `current`, ordered by their earliest rows, each with its figures.
/// With an ancestry, the runs are the current one and its ancestors'.
std::vector<run_figures> read_trends(Detail::RowSource& source, const History& history, const baseline_rule& rule,
                                     const PathMap& paths, const std::string& project, const std::string& platform,
                                     const std::string& current, std::size_t count);

}  // namespace Compare
