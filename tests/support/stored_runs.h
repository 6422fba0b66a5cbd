#pragma once
// A results database filled by the converter, run by run, for the
// comparison's tests: each run's script is written by the program from a
// report and loaded with the run's date and time set by the test, so that
// the history's order is the test's.

#include <map>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/program.h"

namespace test_support {

/// What a run loads: the report, its parser type, the run's values.
struct stored_report {
  std::string parser_type;
  std::string input;
  std::string platform = "Pwe3";
  std::string tool = "GCOV";
};

class StoredRuns {
 public:
  StoredRuns();
  const std::string& database() const { return database_; }

  /// Converts `report` as hash `hash` of project "App" at `date_time`
  /// ("2026-12-01 10:00:00") and loads its rows.
  void load(const std::string& hash, const std::string& date_time, const stored_report& report);

  /// VIViriZovuro-compare on the database for project "App" and `hash`,
  /// with `options` added.
  RunResult compare(const std::string& hash, const std::vector<std::string>& options = {}) const;

  /// The JSON output of compare().
  std::string json(const std::string& hash, const std::vector<std::string>& options = {}) const;

  std::string file(const std::string& name) const { return dir_.file(name); }

 private:
  TempDir dir_;
  std::string database_;
  int loaded_ = 0;
};

/// A GoogleTest console log with these verdicts ("passed", "FAILED",
/// "skipped") of tests named Suite.Name.
std::string gtest_log(const std::map<std::string, std::string>& verdicts);

/// A linker listing ("Map") of sections "origin+size section file".
std::string map_listing(const std::vector<std::string>& placements);

}  // namespace test_support
