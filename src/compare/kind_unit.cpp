#include "compare/kind_unit.h"

#include <algorithm>

namespace Compare {

const std::vector<const kind_unit*>& kind_units() {
  static const std::vector<const kind_unit*> units = {&tests_kind, &coverage_kind, &warnings_kind, &qac_kind,
                                                      &memory_kind};
  return units;
}

PlatformRuns::PlatformRuns(Detail::RowSource& source, const History& history, const compare_options& options,
                           const baseline_rule& rule, const PathMap& paths, const CommitMoves& moves,
                           const std::string& platform)
    : source_(source), history_(history), options_(options), rule_(rule), paths_(paths), moves_(moves),
      platform_(platform),
      earliest_(history.earliest(options.hash, platform)) {}

kind_runs PlatformRuns::find(const Detail::sql_table& table, const std::string* tool) const {
  const std::vector<run_point> runs = history_.runs(table, platform_, tool);
  const bool current = std::any_of(runs.begin(), runs.end(), [&](const run_point& run) {
    return run.githash == options_.hash;
  });
  return {choose_baseline(runs, options_.hash, earliest_, rule_), current};
}

std::vector<run_point> PlatformRuns::line_of_work(const Detail::sql_table& table) const {
  std::vector<run_point> runs = history_.runs(table, platform_);
  if (!rule_.ancestors) return runs;
  std::vector<run_point> line = ancestry_runs(runs, options_.hash, *rule_.ancestors);
  for (const run_point& run : runs) {
    if (run.githash == options_.hash) line.push_back(run);
  }
  return line;
}

const rows& PlatformRuns::rows_of(const Detail::sql_table& table, const std::string& hash) {
  auto [at, inserted] = cache_.try_emplace({table.name, hash});
  if (inserted) at->second = source_.rows(table, options_.project, hash, platform_);
  return at->second;
}

}  // namespace Compare
