#include "compare/trends.h"

#include <algorithm>

#include "compare/kinds.h"
#include "compare/numbers.h"

namespace Compare {

namespace {

// A numeric column's value as a number in both databases: SQLite's '' and
// PostgreSQL's NULL alike are none.
std::string number_of(std::string_view column, std::string_view type = "bigint") {
  return "cast(nullif(cast(" + std::string(column) + " as text), '') as " + std::string(type) + ")";
}

// "project = $1 and platform = $2 and githash in ($3, ...)" for `hashes`.
std::string window_condition(std::size_t hashes) {
  std::string condition = "project = $1 and platform = $2 and githash in (";
  for (std::size_t i = 0; i < hashes; ++i) condition += (i ? ", $" : "$") + std::to_string(i + 3);
  return condition + ")";
}

std::vector<run_point> window_of(const History& history, const std::string& platform, const std::string& current,
                                 std::size_t count) {
  std::map<std::string, std::string> earliest;
  for (kind what : all_kinds) {
    for (const run_point& run : history.runs(what, platform)) {
      auto [at, inserted] = earliest.try_emplace(run.githash, run.earliest);
      if (!inserted) at->second = std::min(at->second, run.earliest);
    }
  }
  std::vector<run_point> runs;
  for (const auto& [hash, when] : earliest) runs.push_back({hash, when});
  std::sort(runs.begin(), runs.end(), [](const run_point& a, const run_point& b) {
    return a.earliest != b.earliest ? a.earliest < b.earliest : a.githash < b.githash;
  });
  const auto end = std::find_if(runs.begin(), runs.end(), [&](const run_point& run) { return run.githash == current; });
  if (end == runs.end()) return {};
  const std::size_t last = static_cast<std::size_t>(end - runs.begin()) + 1;
  const std::size_t first = last - std::min(last, count);
  return {runs.begin() + static_cast<std::ptrdiff_t>(first), runs.begin() + static_cast<std::ptrdiff_t>(last)};
}

class TrendReader {
 public:
  TrendReader(Detail::RowSource& source, const std::string& project, const std::string& platform,
              std::vector<run_figures>& runs)
      : source_(source), runs_(runs) {
    parameters_ = {project, platform};
    for (const run_figures& run : runs) parameters_.push_back(run.githash);
    condition_ = window_condition(runs.size());
  }

  void read_tests() {
    for (const auto& row : select("select githash, result, count(*) from ut_results where " + condition_ +
                                  " group by githash, result")) {
      std::optional<test_totals>& slot = run(row[0]).tests;
      test_totals& totals = slot ? *slot : slot.emplace();
      const std::int64_t count = whole_number(row[2]);
      totals.total += count;
      if (row[1] == "passed") totals.passed += count;
      else if (row[1] == "FAILED") totals.failed += count;
      else if (row[1] == "skipped") totals.skipped += count;
    }
  }

  // The module statistics where a run has them, else the sum of its rows.
  void read_coverage() {
    const std::string statistics = "case when function_name = '*module_statistics' then 1 else 0 end";
    std::map<std::pair<std::string, std::string>, bool> has_statistics;
    for (const auto& row : select("select githash, tool, " + statistics + ", sum(" + number_of("C0_tested_lines") +
                                  "), sum(" + number_of("C0_testable_lines") + "), sum(" +
                                  number_of("C1_tested_lines") + "), sum(" + number_of("C1_testable_lines") +
                                  ") from ut_coverage where " + condition_ + " group by githash, tool, " +
                                  statistics + " order by 3")) {
      const bool of_statistics = row[2] == "1";
      bool& has = has_statistics[{row[0], row[1]}];
      if (has && !of_statistics) continue;
      has = has || of_statistics;
      run(row[0]).coverage[row[1]] = {whole_number(row[3]), whole_number(row[4]), whole_number(row[5]),
                                      whole_number(row[6])};
    }
  }

  void read_warnings() {
    for (const auto& row : select("select githash, type, count(*) from (select distinct githash, filename, line, "
                                  "type, error_id from compiler_results where " + condition_ +
                                  ") d group by githash, type")) {
      std::optional<counts_by_type>& slot = run(row[0]).warnings;
      counts_by_type& types = slot ? *slot : slot.emplace();
      types[row[1]] += whole_number(row[2]);
    }
  }

  void read_qac() {
    std::string misra;
    for (std::size_t band = 0; band + 1 < band_count; ++band)
      misra += (band ? " + sum(" : "sum(") + number_of(band_name(band)) + ")";
    for (const auto& row : select("select githash, " + misra + ", sum(" + number_of("his") +
                                  ") from q_results where " + condition_ + " group by githash"))
      run(row[0]).qac = {whole_number(row[1]), whole_number(row[2])};
  }

  void read_memory() {
    for (const auto& row : select("select githash, section, sum(" + number_of("sizedec", "numeric") +
                                  ") from (select distinct githash, originhex, origindec, sizehex, sizedec, "
                                  "section, filename from compiler_map where " + condition_ +
                                  ") d group by githash, section")) {
      run_figures& figures = run(row[0]);
      std::uint64_t& total = figures.memory ? *figures.memory : figures.memory.emplace();
      const std::string_view group = section_group(row[1]);
      if (is_non_target_section(group)) continue;
      const std::uint64_t bytes = unsigned_number(row[2]);
      total += bytes;
      figures.memory_groups[std::string(group)] += bytes;
    }
  }

 private:
  std::vector<Detail::stored_row> select(const std::string& statement) {
    return source_.select(statement, parameters_);
  }

  run_figures& run(const std::string& hash) {
    for (run_figures& figures : runs_) {
      if (figures.githash == hash) return figures;
    }
    return runs_.front();  // the statements name only the window's hashes
  }

  Detail::RowSource& source_;
  std::vector<run_figures>& runs_;
  std::vector<std::string> parameters_;
  std::string condition_;
};

}  // namespace

std::vector<run_figures> read_trends(Detail::RowSource& source, const History& history, const std::string& project,
                                     const std::string& platform, const std::string& current, std::size_t count) {
  std::vector<run_figures> runs;
  for (const run_point& run : window_of(history, platform, current, count))
    runs.push_back({run.githash, run.earliest, {}, {}, {}, {}, {}, {}});
  if (runs.empty()) return runs;
  TrendReader reader(source, project, platform, runs);
  // Only the tables the project has rows in: the others may not exist.
  const auto stored = [&](kind what) { return !history.runs(what, platform).empty(); };
  if (stored(kind::tests)) reader.read_tests();
  if (stored(kind::coverage)) reader.read_coverage();
  if (stored(kind::warnings)) reader.read_warnings();
  if (stored(kind::qac)) reader.read_qac();
  if (stored(kind::memory)) reader.read_memory();
  return runs;
}

}  // namespace Compare
