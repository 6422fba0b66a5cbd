#pragma once
// A kind of rows compared (tests, coverage, warnings, QAC, memory) as one
// unit: how two runs' rows are compared, and its part of every output. The
// comparison and the outputs go through the kinds of kind_units() in order;
// a new kind is a file pair and one line in that table. What a kind counts
// in a run's rows lives below both programs, in src/kinds/.

#include <optional>
#include <string>
#include <vector>

#include "compare/compare_options.h"
#include "compare/history.h"
#include "compare/line_moves.h"
#include "compare/paths.h"
#include "detail/row_source.h"
#include "detail/sql_table.h"
#include "kinds/stored_rows.h"

namespace Compare {

using Kinds::rows;

struct platform_comparison;
struct totals_row;
struct named_list;
struct run_figures;
struct chart;
class Json;
class TrendReader;

/// Where a kind's runs are on one platform: its baseline's, and whether the
/// current run has rows of it.
struct kind_runs {
  std::optional<baseline> base;
  bool current = false;
};

/// The runs of one platform that a comparison reads, each table's rows of a
/// hash read once.
class PlatformRuns {
 public:
  PlatformRuns(Detail::RowSource& source, const History& history, const compare_options& options,
               const baseline_rule& rule, const PathMap& paths, const CommitMoves& moves, const std::string& platform);

  /// The baseline of the kind in `table` (only `tool`'s runs where given).
  kind_runs find(const Detail::sql_table& table, const std::string* tool = nullptr) const;
  const rows& rows_of(const Detail::sql_table& table, const std::string& hash);

  const std::string& current() const { return options_.hash; }
  const std::string& project() const { return options_.project; }
  const std::string& platform() const { return platform_; }
  const History& history() const { return history_; }
  const baseline_rule& rule() const { return rule_; }
  const PathMap& paths() const { return paths_; }
  const CommitMoves& moves() const { return moves_; }
  /// The runs in `table` on this platform as a line of work, oldest first:
  /// the ancestry's where there is one, else all by date.
  std::vector<run_point> line_of_work(const Detail::sql_table& table) const;
  Detail::RowSource& source() { return source_; }

 private:
  Detail::RowSource& source_;
  const History& history_;
  const compare_options& options_;
  const baseline_rule& rule_;
  const PathMap& paths_;
  const CommitMoves& moves_;
  std::string platform_;
  std::string earliest_;
  std::map<std::pair<std::string_view, std::string>, rows> cache_;  // (table, hash)
};

/// A kind the current run has rows of is compared; a kind only its baseline
/// has is "not loaded in this run" (its previous figures alone); a kind
/// neither has is absent.
template <typename Comparison, typename CompareRows, typename Count>
std::optional<Comparison> compare_kind(PlatformRuns& runs, const Detail::sql_table& table, CompareRows compare_rows,
                                       Count count) {
  const kind_runs found_runs = runs.find(table);
  if (!found_runs.current && !found_runs.base) return std::nullopt;
  const rows* previous = found_runs.base ? &runs.rows_of(table, found_runs.base->hash) : nullptr;
  Comparison found;
  if (found_runs.current) {
    found = compare_rows(runs.rows_of(table, runs.current()), previous);
  } else {
    found.previous = count(*previous);
  }
  found.base = found_runs.base;
  return found;
}

struct kind_unit {
  /// The table the kind's rows are in.
  const Detail::sql_table& (*table)();
  /// Fills the kind's part of `found` from the platform's runs.
  void (*compare)(PlatformRuns& runs, platform_comparison& found);
  /// Its rows of the totals (the summary, the Markdown table, the page).
  void (*totals)(const platform_comparison& run, std::vector<totals_row>& found);
  /// Its lists (new failures, new warnings, ...).
  void (*lists)(const platform_comparison& run, std::vector<named_list>& lists);
  /// Its member of the platform's JSON object.
  void (*json)(Json& json, const platform_comparison& run);
  /// Reads its figures of each run of the page's window.
  void (*trends)(TrendReader& reader);
  /// Its charts of the window's runs.
  void (*charts)(const platform_comparison& run, const std::vector<run_figures>& runs, std::vector<chart>& charts);
};

extern const kind_unit tests_kind;
extern const kind_unit coverage_kind;
extern const kind_unit warnings_kind;
extern const kind_unit qac_kind;
extern const kind_unit memory_kind;

/// Every kind, in the order of the outputs.
const std::vector<const kind_unit*>& kind_units();

}  // namespace Compare
