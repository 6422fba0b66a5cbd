#include "compare/compare.h"

#include <algorithm>

#include "compare/kind_unit.h"

namespace Compare {

comparison compare_runs(Detail::RowSource& source, const compare_options& options, const baseline_rule& rule) {
  const History history(source, options.project);
  return compare_runs(source, history, options, rule);
}

comparison compare_runs(Detail::RowSource& source, const History& history, const compare_options& options,
                        const baseline_rule& rule) {
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
    PlatformRuns runs(source, history, options, rule, platform);
    platform_comparison& compared = found.runs.emplace_back();
    compared.platform = platform;
    for (const kind_unit* unit : kind_units()) unit->compare(runs, compared);
  }
  return found;
}

}  // namespace Compare
