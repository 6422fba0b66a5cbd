#include "compare/trends.h"

#include <algorithm>

#include "compare/kind_unit.h"

namespace Compare {

namespace {


std::vector<run_point> window_of(const History& history, const baseline_rule& rule, const std::string& platform,
                                 const std::string& current, std::size_t count) {
  std::vector<run_point> runs = history.runs(platform);
  if (rule.ancestors) {
    std::vector<run_point> line = ancestry_runs(runs, current, *rule.ancestors);
    for (const run_point& run : runs) {
      if (run.githash == current) line.push_back(run);
    }
    runs = std::move(line);
  }
  const auto end = std::find_if(runs.begin(), runs.end(), [&](const run_point& run) { return run.githash == current; });
  if (end == runs.end()) return {};
  const std::size_t last = static_cast<std::size_t>(end - runs.begin()) + 1;
  const std::size_t first = last - std::min(last, count);
  return {runs.begin() + static_cast<std::ptrdiff_t>(first), runs.begin() + static_cast<std::ptrdiff_t>(last)};
}

}  // namespace

std::string number_of(std::string_view column, std::string_view type) {
  return "cast(nullif(cast(" + std::string(column) + " as text), '') as " + std::string(type) + ")";
}

TrendReader::TrendReader(Detail::RowSource& source, const std::string& project, const std::string& platform,
                         const PathMap& paths, std::vector<run_figures>& runs)
    : source_(source), paths_(paths), runs_(runs) {
  parameters_ = {project, platform};
  for (const run_figures& run : runs) parameters_.push_back(run.githash);
  // The run columns compared as texts: a value another writer stored as a
  // number or a blob is found as the comparison finds it.
  const std::span<const std::string> all(parameters_);
  condition_ = "project = $1 and " + source.text_in("platform", 2, all.subspan(1, 1)) + " and " +
               source.text_in("githash", 3, all.subspan(2));
}

std::vector<Detail::stored_row> TrendReader::select(const std::string& statement) {
  return source_.select(statement, parameters_);
}

run_figures& TrendReader::run(const std::string& hash) {
  for (run_figures& figures : runs_) {
    if (figures.githash == hash) return figures;
  }
  return runs_.front();  // the statements name only the window's hashes
}

std::vector<run_figures> read_trends(Detail::RowSource& source, const History& history, const baseline_rule& rule,
                                     const PathMap& paths, const std::string& project, const std::string& platform,
                                     const std::string& current, std::size_t count) {
  std::vector<run_figures> runs;
  for (const run_point& run : window_of(history, rule, platform, current, count))
    runs.push_back({run.githash, run.earliest, {}, {}, {}, {}, {}, {}});
  if (runs.empty()) return runs;
  TrendReader reader(source, project, platform, paths, runs);
  // Only the tables the project has rows in: the others may not exist.
  for (const kind_unit* unit : kind_units()) {
    if (!history.runs(unit->table(), platform).empty()) unit->trends(reader);
  }
  return runs;
}

}  // namespace Compare
