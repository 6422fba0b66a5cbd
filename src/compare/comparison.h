#pragma once
// What the comparison of a run with its baseline found, per platform and
// per kind of rows. Every output (the summary, Markdown, JSON, the page) is
// written from these records.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Compare {

/// How a kind's baseline run was chosen: given by --baseline, the first of
/// --ancestors with rows of the kind, or the newest older run in the history.
enum class chosen_by { baseline, ancestors, history };

struct baseline {
  std::string hash;
  chosen_by how = chosen_by::history;
};

struct test_totals {
  std::int64_t passed = 0;
  std::int64_t failed = 0;
  std::int64_t skipped = 0;
  std::int64_t total = 0;
};

struct failing_test {
  std::string name;
  std::string since;  // the hash of the oldest run of its unbroken run of failures
};

/// Every comparison of a kind has its baseline (none: the current figures
/// stand alone) and its current figures (none: not loaded in this run).
struct tests_comparison {
  std::optional<baseline> base;
  std::optional<test_totals> current;
  std::optional<test_totals> previous;
  std::vector<std::string> new_failures;
  std::vector<failing_test> still_failing;
  std::vector<std::string> fixed;
  std::vector<std::string> added;
  std::vector<std::string> removed;
};

struct coverage_totals {
  std::int64_t lines_tested = 0;
  std::int64_t lines_testable = 0;
  std::int64_t branches_tested = 0;
  std::int64_t branches_testable = 0;
};

/// 100 x tested / testable, unrounded; none when nothing is testable.
std::optional<double> percent(std::int64_t tested, std::int64_t testable);

struct coverage_drop {
  std::string name;
  double current_percent = 0;
  double previous_percent = 0;
};

struct coverage_comparison {
  std::string tool;
  std::optional<baseline> base;
  std::optional<coverage_totals> current;
  std::optional<coverage_totals> previous;
  std::vector<coverage_drop> dropped;
  std::vector<std::string> added;
  std::vector<std::string> removed;
};

struct warning {
  std::string filename;
  std::optional<std::int64_t> line;  // none where the diagnostic has no line
  std::string type;
  std::string error_id;
};

using counts_by_type = std::map<std::string, std::int64_t>;

struct warnings_comparison {
  std::optional<baseline> base;
  std::optional<counts_by_type> current;
  std::optional<counts_by_type> previous;
  std::vector<warning> added;  // "new"
  std::vector<warning> fixed;
};

/// misra_0 ... misra_9, his.
inline constexpr std::size_t band_count = 11;
using band_counts = std::array<std::int64_t, band_count>;
/// The band's column name, "misra_0" ... "his".
std::string band_name(std::size_t band);

struct qac_increase {
  std::string filename;
  std::string band;
  std::int64_t current = 0;
  std::int64_t previous = 0;
};

struct qac_comparison {
  std::optional<baseline> base;
  std::optional<band_counts> current;
  std::optional<band_counts> previous;
  std::vector<qac_increase> increased;
};

struct section_sizes {
  std::string section;  // the group: the section's text before " -> "
  bool target = true;   // takes target memory (not .debug*, .comment, ...)
  std::optional<std::uint64_t> current;
  std::optional<std::uint64_t> previous;
};

struct memory_growth {
  std::string section;
  std::string filename;
  std::uint64_t current = 0;
  std::uint64_t previous = 0;
};

struct memory_comparison {
  std::optional<baseline> base;
  std::optional<std::uint64_t> current;
  std::optional<std::uint64_t> previous;
  std::vector<section_sizes> sections;  // by name
  std::vector<memory_growth> grown;     // largest growth first
};

struct platform_comparison {
  std::string platform;
  std::optional<tests_comparison> tests;
  std::vector<coverage_comparison> coverage;  // by tool
  std::optional<warnings_comparison> warnings;
  std::optional<qac_comparison> qac;
  std::optional<memory_comparison> memory;
};

struct broken_rule {
  std::string platform;
  std::string rule;
  std::string detail;
};

struct comparison {
  std::string project;
  std::string current_hash;
  std::vector<platform_comparison> runs;  // by platform
  std::vector<broken_rule> broken;
  bool passed() const { return broken.empty(); }
};

/// "baseline", "ancestors" or "history".
std::string_view chosen_by_name(chosen_by how);

}  // namespace Compare
