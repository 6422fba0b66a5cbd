#pragma once
// The stored runs of one project, per table of the kinds compared, and the
// choice of each kind's baseline among them.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compare/baseline.h"
#include "detail/row_source.h"
#include "detail/sql_table.h"

namespace Compare {

/// One run of a kind: its hash and its earliest row's date and time.
struct run_point {
  std::string githash;
  std::string earliest;
};

/// A listed hash names a stored one when they are equal, or one is a prefix
/// of the other and the shorter has at least 7 characters (CI may load short
/// or full hashes).
bool same_hash(std::string_view listed, std::string_view stored);

class History {
 public:
  /// Reads the runs of `project` in the table of every kind.
  History(Detail::RowSource& source, const std::string& project);

  /// Whether any table holds rows of the stored hash `hash`.
  bool has_rows(const std::string& hash) const;
  /// The stored hash `listed` names (same_hash), the newest of several.
  std::optional<std::string> stored_hash(const std::string& listed) const;
  /// The platforms with rows of `hash`, by name.
  std::vector<std::string> platforms_of(const std::string& hash) const;
  /// The coverage tools with rows of `hash` on `platform`, by name.
  std::vector<std::string> coverage_tools(const std::string& hash, const std::string& platform) const;
  /// The runs in `table` on `platform` (only those of `tool` where given),
  /// oldest first by their earliest rows.
  std::vector<run_point> runs(const Detail::sql_table& table, const std::string& platform,
                              const std::string* tool = nullptr) const;
  /// The runs on `platform` in any table, in the same order.
  std::vector<run_point> runs(const std::string& platform) const;
  /// The earliest row of `hash` on `platform` in any table.
  std::string earliest(const std::string& hash, const std::string& platform) const;

 private:
  std::map<std::string_view, std::vector<Detail::stored_run>> runs_;  // by table name
};

/// How the baselines are chosen: --baseline, the ancestry (from --ancestors
/// or from git, newest first), or neither.
struct baseline_rule {
  std::optional<std::string> given;
  std::optional<std::vector<std::string>> ancestors;
  chosen_by ancestry_source = chosen_by::ancestors;
};

/// The runs of `runs` that the ancestry names, oldest first (the current
/// one left out): a line of work without the runs of other branches.
std::vector<run_point> ancestry_runs(const std::vector<run_point>& runs, const std::string& current,
                                     const std::vector<std::string>& ancestors);

/// The newest run older than the current one by date.
std::optional<baseline> newest_older(const std::vector<run_point>& runs, const std::string& current,
                                     const std::string& current_earliest);

/// The baseline of a kind among its `runs` (oldest first) for the run
/// `current`, whose earliest row is `current_earliest` where it has none of
/// the kind; none where no run qualifies.
std::optional<baseline> choose_baseline(const std::vector<run_point>& runs, const std::string& current,
                                        const std::string& current_earliest, const baseline_rule& rule);

}  // namespace Compare
