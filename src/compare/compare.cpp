#include "compare/compare.h"

#include <algorithm>
#include <map>
#include <set>

#include "compare/kinds.h"

namespace Compare {

namespace {

// The rows of one run of a project, read once per table and hash.
class RunRows {
 public:
  RunRows(Detail::RowSource& source, std::string project, std::string platform)
      : source_(source), project_(std::move(project)), platform_(std::move(platform)) {}

  const rows& of(kind what, const std::string& hash) {
    auto [at, inserted] = cache_.try_emplace({what, hash});
    if (inserted) at->second = source_.rows(table_of(what), project_, hash, platform_);
    return at->second;
  }

 private:
  Detail::RowSource& source_;
  std::string project_;
  std::string platform_;
  std::map<std::pair<kind, std::string>, rows> cache_;
};

bool has_run(const std::vector<run_point>& runs, const std::string& hash) {
  return std::any_of(runs.begin(), runs.end(), [&](const run_point& run) { return run.githash == hash; });
}

// Walks back from the baseline through the runs of the tests, oldest first
// in `runs`, while a still failing test kept failing.
void find_failing_since(tests_comparison& tests, const std::vector<run_point>& runs, Detail::RowSource& source,
                        const std::string& project, const std::string& platform) {
  if (tests.still_failing.empty() || !tests.base) return;
  auto at = std::find_if(runs.begin(), runs.end(), [&](const run_point& run) { return run.githash == tests.base->hash; });
  if (at == runs.end()) return;
  std::map<std::string, std::string*> pending;  // name -> its "since"
  for (failing_test& test : tests.still_failing) {
    test.since = tests.base->hash;
    pending.emplace(test.name, &test.since);
  }
  const Detail::sql_table& table = table_of(kind::tests);
  const std::size_t name = column_of(table, "name");
  const std::size_t result = column_of(table, "result");
  // The current run and the baseline are two of the window's runs.
  for (std::size_t looked = 2; at != runs.begin() && looked < failing_since_window && !pending.empty(); ++looked) {
    --at;
    std::vector<std::string> names;
    for (const auto& [test, since] : pending) names.push_back(test);
    std::set<std::string> failed;
    for (const Detail::stored_row& row : source.rows_with(table, project, at->githash, platform, "name", names)) {
      if (row[result] == "FAILED") failed.insert(row[name]);
    }
    for (auto test = pending.begin(); test != pending.end();) {
      if (failed.contains(test->first)) {
        *test->second = at->githash;
        ++test;
      } else {
        test = pending.erase(test);
      }
    }
  }
}

struct kind_runs {
  std::optional<baseline> base;
  bool current = false;
};

class PlatformComparer {
 public:
  PlatformComparer(Detail::RowSource& source, const History& history, const compare_options& options,
                   const baseline_rule& rule, const std::string& platform)
      : source_(source), history_(history), options_(options), rule_(rule), platform_(platform),
        rows_(source, options.project, platform), earliest_(history.earliest(options.hash, platform)) {}

  platform_comparison compare() {
    platform_comparison found{platform_, {}, {}, {}, {}, {}};
    found.tests = compare_kind<tests_comparison>(kind::tests, compare_tests, count_tests);
    if (found.tests) {
      find_failing_since(*found.tests, history_.runs(kind::tests, platform_), source_, options_.project, platform_);
    }
    found.coverage = compare_coverage_tools();
    found.warnings = compare_kind<warnings_comparison>(kind::warnings, compare_warnings, count_warnings);
    found.qac = compare_kind<qac_comparison>(kind::qac, compare_qac, count_qac);
    found.memory = compare_kind<memory_comparison>(kind::memory, compare_memory, count_memory_total);
    return found;
  }

 private:
  static std::uint64_t count_memory_total(const rows& stored) { return count_memory(stored); }

  kind_runs find_runs(kind what, const std::string* tool = nullptr) {
    const std::vector<run_point> runs = history_.runs(what, platform_, tool);
    return {choose_baseline(runs, options_.hash, earliest_, rule_), has_run(runs, options_.hash)};
  }

  // A kind the current run has rows of is compared; a kind only its
  // baseline has is "not loaded in this run"; a kind neither has is absent.
  template <typename Comparison, typename CompareRows, typename Count>
  std::optional<Comparison> compare_kind(kind what, CompareRows compare_rows, Count count) {
    const kind_runs runs = find_runs(what);
    if (!runs.current && !runs.base) return std::nullopt;
    const rows* previous = runs.base ? &rows_.of(what, runs.base->hash) : nullptr;
    Comparison found;
    if (runs.current) {
      found = compare_rows(rows_.of(what, options_.hash), previous);
    } else {
      found.previous = count(*previous);
    }
    found.base = runs.base;
    return found;
  }

  coverage_comparison compare_tool(const std::string& tool) {
    const kind_runs runs = find_runs(kind::coverage, &tool);
    const Detail::sql_table& table = table_of(kind::coverage);
    std::optional<rows> previous;
    if (runs.base) previous = rows_where(rows_.of(kind::coverage, runs.base->hash), table, "tool", tool);
    coverage_comparison found;
    if (runs.current) {
      found = compare_coverage(rows_where(rows_.of(kind::coverage, options_.hash), table, "tool", tool),
                               previous ? &*previous : nullptr);
    } else if (previous) {
      found.previous = count_coverage(*previous);
    }
    found.tool = tool;
    found.base = runs.base;
    return found;
  }

  // Each tool on its own; with no coverage in this run, the tools of the run
  // that would have been its baseline are "not loaded".
  std::vector<coverage_comparison> compare_coverage_tools() {
    std::vector<std::string> tools = history_.coverage_tools(options_.hash, platform_);
    if (tools.empty()) {
      if (const kind_runs runs = find_runs(kind::coverage); runs.base)
        tools = history_.coverage_tools(runs.base->hash, platform_);
    }
    std::vector<coverage_comparison> found;
    for (const std::string& tool : tools) found.push_back(compare_tool(tool));
    return found;
  }

  Detail::RowSource& source_;
  const History& history_;
  const compare_options& options_;
  const baseline_rule& rule_;
  const std::string& platform_;
  RunRows rows_;
  std::string earliest_;
};

}  // namespace

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
  comparison found{options.project, options.hash, {}, {}};
  std::vector<std::string> platforms = history.platforms_of(options.hash);
  if (options.platform) {
    if (std::find(platforms.begin(), platforms.end(), *options.platform) == platforms.end())
      throw no_rows_error("No rows for hash " + options.hash + " of project " + options.project + " on platform " +
                          *options.platform);
    platforms = {*options.platform};
  }
  for (const std::string& platform : platforms)
    found.runs.push_back(PlatformComparer(source, history, options, rule, platform).compare());
  return found;
}

}  // namespace Compare
