#include "compare/history.h"

#include <algorithm>
#include <map>
#include <set>

#include "compare/kind_unit.h"
#include "detail/tables.h"

namespace Compare {

std::string_view chosen_by_name(chosen_by how) {
  switch (how) {
    case chosen_by::baseline: return "baseline";
    case chosen_by::ancestors: return "ancestors";
    case chosen_by::git: return "git";
    case chosen_by::history: return "history";
  }
  return "";
}

namespace {

// Runs are ordered by their earliest rows; runs loaded in the same second
// by hash.
std::vector<run_point> oldest_first(const std::map<std::string, std::string>& earliest_of) {
  std::vector<run_point> points;
  for (const auto& [hash, earliest] : earliest_of) points.push_back({hash, earliest});
  std::stable_sort(points.begin(), points.end(), [](const run_point& a, const run_point& b) {
    return a.earliest != b.earliest ? a.earliest < b.earliest : a.githash < b.githash;
  });
  return points;
}

void keep_earliest(std::map<std::string, std::string>& earliest_of, const Detail::stored_run& run) {
  auto [at, inserted] = earliest_of.try_emplace(run.githash, run.earliest);
  if (!inserted) at->second = std::min(at->second, run.earliest);
}

}  // namespace

bool same_hash(std::string_view listed, std::string_view stored) {
  if (listed == stored) return true;
  const std::string_view shorter = listed.size() < stored.size() ? listed : stored;
  const std::string_view longer = listed.size() < stored.size() ? stored : listed;
  return shorter.size() >= 7 && longer.starts_with(shorter);
}

History::History(Detail::RowSource& source, const std::string& project) {
  for (const kind_unit* unit : kind_units()) runs_[unit->table().name] = source.runs(unit->table(), project);
}

bool History::has_rows(const std::string& hash) const {
  for (const auto& [name, table] : runs_) {
    for (const Detail::stored_run& run : table) {
      if (run.githash == hash) return true;
    }
  }
  return false;
}

std::optional<std::string> History::stored_hash(const std::string& listed) const {
  std::optional<std::string> found;
  std::string newest;
  for (const auto& [name, table] : runs_) {
    for (const Detail::stored_run& run : table) {
      if (same_hash(listed, run.githash) && (!found || run.earliest > newest)) {
        found = run.githash;
        newest = run.earliest;
      }
    }
  }
  return found;
}

std::vector<std::string> History::platforms_of(const std::string& hash) const {
  std::set<std::string> platforms;
  for (const auto& [name, table] : runs_) {
    for (const Detail::stored_run& run : table) {
      if (run.githash == hash) platforms.insert(run.platform);
    }
  }
  return {platforms.begin(), platforms.end()};
}

std::vector<std::string> History::coverage_tools(const std::string& hash, const std::string& platform) const {
  std::set<std::string> tools;
  const auto coverage = runs_.find(Detail::ut_coverage_table().name);
  if (coverage == runs_.end()) return {};
  for (const Detail::stored_run& run : coverage->second) {
    if (run.githash == hash && run.platform == platform) tools.insert(run.tool);
  }
  return {tools.begin(), tools.end()};
}

std::vector<run_point> History::runs(const Detail::sql_table& table, const std::string& platform,
                                     const std::string* tool) const {
  std::map<std::string, std::string> earliest_of;  // hash -> earliest row over its tools
  const auto stored = runs_.find(table.name);
  if (stored == runs_.end()) return {};
  for (const Detail::stored_run& run : stored->second) {
    if (run.platform == platform && (!tool || run.tool == *tool)) keep_earliest(earliest_of, run);
  }
  return oldest_first(earliest_of);
}

std::vector<run_point> History::runs(const std::string& platform) const {
  std::map<std::string, std::string> earliest_of;  // hash -> earliest row over every table
  for (const auto& [name, table] : runs_) {
    for (const Detail::stored_run& run : table) {
      if (run.platform == platform) keep_earliest(earliest_of, run);
    }
  }
  return oldest_first(earliest_of);
}

std::string History::earliest(const std::string& hash, const std::string& platform) const {
  std::string found;
  for (const auto& [name, table] : runs_) {
    for (const Detail::stored_run& run : table) {
      if (run.githash == hash && run.platform == platform && (found.empty() || run.earliest < found))
        found = run.earliest;
    }
  }
  return found;
}

namespace {

const run_point* find_run(const std::vector<run_point>& runs, std::string_view listed, const std::string& current) {
  const run_point* found = nullptr;
  for (const run_point& run : runs) {
    if (run.githash != current && same_hash(listed, run.githash)) found = &run;  // the newest of several
  }
  return found;
}

}  // namespace

std::optional<baseline> choose_baseline(const std::vector<run_point>& runs, const std::string& current,
                                        const std::string& current_earliest, const baseline_rule& rule) {
  if (rule.given) {
    if (const run_point* run = find_run(runs, *rule.given, current)) return baseline{run->githash, chosen_by::baseline};
    return std::nullopt;
  }
  if (rule.ancestors) {
    for (const std::string& listed : *rule.ancestors) {
      if (const run_point* run = find_run(runs, listed, current)) return baseline{run->githash, rule.ancestry_source};
    }
    return std::nullopt;
  }
  return newest_older(runs, current, current_earliest);
}

std::vector<run_point> ancestry_runs(const std::vector<run_point>& runs, const std::string& current,
                                     const std::vector<std::string>& ancestors) {
  std::vector<run_point> found;
  for (auto listed = ancestors.rbegin(); listed != ancestors.rend(); ++listed) {
    if (const run_point* run = find_run(runs, *listed, current)) {
      if (found.empty() || found.back().githash != run->githash) found.push_back(*run);
    }
  }
  return found;
}

std::optional<baseline> newest_older(const std::vector<run_point>& runs, const std::string& current,
                                     const std::string& current_earliest) {
  std::string since = current_earliest;
  for (const run_point& run : runs) {
    if (run.githash == current) since = run.earliest;
  }
  const run_point* newest = nullptr;
  for (const run_point& run : runs) {
    if (run.githash != current && run.earliest < since) newest = &run;  // runs are oldest first
  }
  if (!newest) return std::nullopt;
  return baseline{newest->githash, chosen_by::history};
}

}  // namespace Compare
