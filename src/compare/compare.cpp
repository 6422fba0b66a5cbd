#include "compare/compare.h"

#include <algorithm>

#include "compare/kind_unit.h"
#include "compare/row_text.h"

namespace Compare {

comparison compare_runs(Detail::RowSource& source, const compare_options& options, const ancestry& line) {
  const History history(source, options.project);
  return compare_runs(source, history, options, line, path_map(options, line));
}

PathMap path_map(const compare_options& options, const ancestry& line) {
  return PathMap(options.path_prefixes, line.repository ? &*line.repository : nullptr, line.commit.value_or(""));
}

comparison compare_runs(Detail::RowSource& source, const History& history, const compare_options& options,
                        const ancestry& line, const PathMap& paths) {
  const baseline_rule& rule = line.rule;
  const CommitMoves moves(line.repository ? &*line.repository : nullptr, line.commit);
  const auto no_rows = [&](const std::string& hash) {
    return no_rows_error("No rows for hash " + hash + " of project " + options.project);
  };
  if (!history.has_rows(options.hash)) throw no_rows(options.hash);
  if (rule.given && !history.stored_hash(*rule.given)) throw no_rows(*rule.given);
  comparison found;
  found.project = options.project;
  found.current_hash = options.hash;
  std::vector<std::string> platforms = history.platforms_of(options.hash);
  if (options.platform) {
    if (std::find(platforms.begin(), platforms.end(), *options.platform) == platforms.end())
      throw no_rows_error("No rows for hash " + options.hash + " of project " + options.project + " on platform " +
                          *options.platform);
    platforms = {*options.platform};
  }
  for (const std::string& platform : platforms) {
    PlatformRuns runs(source, history, options, rule, paths, moves, platform);
    platform_comparison& compared = found.runs.emplace_back();
    compared.platform = platform;
    for (const kind_unit* unit : kind_units()) unit->compare(runs, compared);
  }
  found.window = line.window;
  found.notes = line.notes;
  if (!paths.unmatched().empty()) {
    std::string names;
    for (const std::string& name : paths.unmatched()) names += (names.empty() ? "" : ", ") + name;
    found.notes.push_back(std::to_string(paths.unmatched().size()) +
                          " file names of warnings match no file of the checkout: " + cut_text(names, 120));
  }
  return found;
}

}  // namespace Compare
