#include "compare/tests_kind.h"

#include <algorithm>
#include <map>
#include <set>

#include "compare/comparison.h"
#include "compare/format.h"
#include "compare/json_writer.h"
#include "compare/kind_unit.h"
#include "compare/page_chart.h"
#include "compare/reports.h"
#include "detail/tables.h"

namespace Compare {

tests_comparison compare_tests(const Kinds::rows& current, const Kinds::rows* previous) {
  tests_comparison found;
  const Kinds::verdicts now = Kinds::verdicts_of(current);
  found.current = Kinds::totals_of(now);
  if (!previous) return found;
  const Kinds::verdicts before = Kinds::verdicts_of(*previous);
  found.previous = Kinds::totals_of(before);
  for (const auto& [name, result] : now) {
    const auto earlier = before.find(name);
    const bool failed_before = earlier != before.end() && earlier->second == "FAILED";
    if (earlier == before.end()) found.added.push_back(name);
    if (result == "FAILED") {
      if (failed_before) found.still_failing.push_back({name, {}});
      else found.new_failures.push_back(name);
    } else if (result == "passed" && failed_before) {
      found.fixed.push_back(name);
    }
  }
  for (const auto& [name, result] : before) {
    if (!now.contains(name)) found.removed.push_back(name);
  }
  return found;
}

void judge_new_failures(const platform_comparison& run, const gate_rule&, std::vector<std::string>& details) {
  if (!run.tests || !run.tests->current || !run.tests->base || run.tests->new_failures.empty()) return;
  details.push_back(count_of(run.tests->new_failures.size(), "new failure: ", "new failures: ") +
                    first_names(run.tests->new_failures));
}

namespace {

// Walks back from the baseline through the runs of the tests (the line of
// work: the ancestry's runs where there is one), while a still failing test
// kept failing.
void find_failing_since(tests_comparison& tests, PlatformRuns& platform) {
  if (tests.still_failing.empty() || !tests.base) return;
  const Detail::sql_table& table = Detail::ut_results_table();
  const std::vector<run_point> runs = platform.line_of_work(table);
  auto at = std::find_if(runs.begin(), runs.end(), [&](const run_point& run) { return run.githash == tests.base->hash; });
  if (at == runs.end()) return;
  std::map<std::string, std::string*> pending;  // name -> its "since"
  for (failing_test& test : tests.still_failing) {
    test.since = tests.base->hash;
    pending.emplace(test.name, &test.since);
  }
  const std::size_t name = Kinds::column_of(table, "name");
  const std::size_t result = Kinds::column_of(table, "result");
  // The current run and the baseline are two of the window's runs.
  for (std::size_t looked = 2; at != runs.begin() && looked < failing_since_window && !pending.empty(); ++looked) {
    --at;
    std::vector<std::string> names;
    for (const auto& [test, since] : pending) names.push_back(test);
    std::set<std::string> failed;
    for (const Detail::stored_row& row :
         platform.source().rows_with(table, platform.project(), at->githash, platform.platform(), "name", names)) {
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

void compare(PlatformRuns& runs, platform_comparison& found) {
  found.tests = compare_kind<tests_comparison>(runs, Detail::ut_results_table(), compare_tests, Kinds::count_tests);
  if (found.tests) find_failing_since(*found.tests, runs);
}

std::string figures(const tests_comparison& tests) {
  if (!tests.current) {
    tests_comparison last;
    last.current = tests.previous;
    return not_loaded(tests.base, last.current ? figures(last) : "");
  }
  const test_totals& now = *tests.current;
  const std::optional<test_totals>& before = tests.previous;
  auto previous = [&](std::int64_t test_totals::*field) {
    return before ? std::optional((*before).*field) : std::nullopt;
  };
  return joined({figure(now.total, previous(&test_totals::total), "tests"),
                 figure(now.passed, previous(&test_totals::passed), "passed"),
                 figure(now.failed, previous(&test_totals::failed), "failed"),
                 figure(now.skipped, previous(&test_totals::skipped), "skipped")});
}

void totals(const platform_comparison& run, std::vector<totals_row>& found) {
  if (run.tests) found.push_back({"Tests", figures(*run.tests), baseline_text(run.tests->base)});
}

void lists(const platform_comparison& run, std::vector<named_list>& lists) {
  if (!run.tests) return;
  const tests_comparison& tests = *run.tests;
  add_list(lists, "New failures", tests.new_failures);
  std::vector<std::string> still;
  for (const failing_test& test : tests.still_failing) still.push_back(test.name + " (failing since " + shown_hash(test.since) + ")");
  add_list(lists, "Still failing", still);
  add_list(lists, "Fixed", tests.fixed);
  add_list(lists, "Added tests", tests.added);
  add_list(lists, "Removed tests", tests.removed);
}

void json(Json& json, const platform_comparison& run) {
  if (!run.tests) return;
  const tests_comparison& tests = *run.tests;
  json.key("tests").open('{');
  write_baseline(json, tests.base);
  const auto totals = [&](const test_totals& t) {
    json.open('{').key("passed").value(number(t.passed)).key("failed").value(number(t.failed));
    json.key("skipped").value(number(t.skipped)).key("total").value(number(t.total)).close('}');
  };
  write_optional(json, "current", tests.current, totals);
  write_optional(json, "previous", tests.previous, totals);
  write_names(json, "new_failures", tests.new_failures);
  json.key("still_failing").open('[');
  for (const failing_test& test : tests.still_failing)
    json.open('{').key("name").string(test.name).key("since").string(test.since).close('}');
  json.close(']');
  write_names(json, "fixed", tests.fixed);
  write_names(json, "added", tests.added);
  write_names(json, "removed", tests.removed);
  json.close('}');
}

void trends(TrendReader& reader) {
  for (const auto& row : reader.select("select githash, result, count(*) from ut_results where " + reader.where() +
                                       " group by githash, result")) {
    std::optional<test_totals>& slot = reader.run(row[0]).tests;
    test_totals& totals = slot ? *slot : slot.emplace();
    const std::int64_t count = Kinds::whole_number(row[2]);
    totals.total += count;
    if (row[1] == "passed") totals.passed += count;
    else if (row[1] == "FAILED") totals.failed += count;
    else if (row[1] == "skipped") totals.skipped += count;
  }
}

void charts(const platform_comparison& run, const std::vector<run_figures>& runs, std::vector<chart>& charts) {
  if (std::none_of(runs.begin(), runs.end(), [](const run_figures& figures) { return bool(figures.tests); })) return;
  chart tests{"Tests per run", "tests", true, false, {}, run.tests ? run.tests->base : std::nullopt};
  for (auto [label, field] : {std::pair{"passed", &test_totals::passed}, std::pair{"FAILED", &test_totals::failed},
                              std::pair{"skipped", &test_totals::skipped}}) {
    tests.lines.push_back(series_of(label, runs, [field = field](const run_figures& figures) {
      return as_double(figures.tests ? std::optional((*figures.tests).*field) : std::nullopt);
    }));
  }
  charts.push_back(std::move(tests));
}

}  // namespace

const kind_unit tests_kind = {Detail::ut_results_table, compare, totals, lists, json, trends, charts};

}  // namespace Compare
