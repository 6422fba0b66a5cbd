#include "compare/qac_kind.h"

#include <algorithm>

#include "compare/comparison.h"
#include "compare/format.h"
#include "compare/json_writer.h"
#include "compare/kind_unit.h"
#include "compare/page_chart.h"
#include "compare/reports.h"
#include "detail/tables.h"

namespace Compare {

qac_comparison compare_qac(const Kinds::rows& current, const Kinds::rows* previous) {
  qac_comparison found;
  const auto now = Kinds::counts_by_file(current);
  found.current = Kinds::sum(now);
  if (!previous) return found;
  const auto before = Kinds::counts_by_file(*previous);
  found.previous = Kinds::sum(before);
  for (const auto& [name, counts] : now) {
    const auto earlier = before.find(name);
    for (std::size_t band = 0; band < band_count; ++band) {
      const std::int64_t was = earlier == before.end() ? 0 : earlier->second[band];
      if (counts[band] > was) found.increased.push_back({name, band_name(band), counts[band], was});
    }
  }
  return found;
}

void judge_new_qac(const platform_comparison& run, const gate_rule&, std::vector<std::string>& details) {
  if (!run.qac || !run.qac->current || !run.qac->base || run.qac->increased.empty()) return;
  const qac_increase& first = run.qac->increased.front();
  details.push_back(count_of(run.qac->increased.size(), "band count rose", "band counts rose") + " (" +
                    first.filename + " " + first.band + " " + grouped(first.previous) + " -> " +
                    grouped(first.current) + (run.qac->increased.size() > 1 ? ", ..." : "") + ")");
}

namespace {

void compare(PlatformRuns& runs, platform_comparison& found) {
  found.qac = compare_kind<qac_comparison>(runs, Detail::q_results_table(), compare_qac, Kinds::count_qac);
}

std::string figures(const qac_comparison& qac) {
  if (!qac.current) {
    qac_comparison last;
    last.current = qac.previous;
    return not_loaded(qac.base, last.current ? figures(last) : "");
  }
  std::vector<std::string> cells;
  for (std::size_t band = 0; band < band_count; ++band) {
    cells.push_back(figure((*qac.current)[band], qac.previous ? std::optional((*qac.previous)[band]) : std::nullopt,
                           band_name(band)));
  }
  return joined(cells);
}

void totals(const platform_comparison& run, std::vector<totals_row>& found) {
  if (run.qac) found.push_back({"QAC", figures(*run.qac), baseline_text(run.qac->base)});
}

void lists(const platform_comparison& run, std::vector<named_list>& lists) {
  if (!run.qac) return;
  std::vector<std::string> increased;
  for (const qac_increase& rise : run.qac->increased)
    increased.push_back(rise.filename + " " + rise.band + " " + grouped(rise.previous) + " -> " + grouped(rise.current));
  add_list(lists, "QAC counts that rose", increased);
}

void json(Json& json, const platform_comparison& run) {
  if (!run.qac) return;
  const qac_comparison& qac = *run.qac;
  json.key("qac").open('{');
  write_baseline(json, qac.base);
  const auto counts = [&](const band_counts& bands) {
    json.open('{');
    for (std::size_t band = 0; band < band_count; ++band) json.key(band_name(band)).value(number(bands[band]));
    json.close('}');
  };
  write_optional(json, "current", qac.current, counts);
  write_optional(json, "previous", qac.previous, counts);
  json.key("increased").open('[');
  for (const qac_increase& rise : qac.increased) {
    json.open('{').key("filename").string(rise.filename).key("band").string(rise.band);
    json.key("current").value(number(rise.current)).key("previous").value(number(rise.previous)).close('}');
  }
  json.close(']').close('}');
}

// A band empty in every row sums to NULL, which would make the whole sum
// NULL: each band's sum counts as 0 then, as the comparison counts it.
void trends(TrendReader& reader) {
  std::string misra;
  for (std::size_t band = 0; band + 1 < band_count; ++band)
    misra += (band ? " + coalesce(sum(" : "coalesce(sum(") + number_of(band_name(band)) + "), 0)";
  for (const auto& row : reader.select("select githash, " + misra + ", sum(" + number_of("his") +
                                       ") from q_results where " + reader.where() + " group by githash"))
    reader.run(row[0]).qac = {Kinds::whole_number(row[1]), Kinds::whole_number(row[2])};
}

void charts(const platform_comparison& run, const std::vector<run_figures>& runs, std::vector<chart>& charts) {
  if (std::none_of(runs.begin(), runs.end(), [](const run_figures& figures) { return bool(figures.qac); })) return;
  chart qac{"QAC findings per run", "findings", false, false, {}, run.qac ? run.qac->base : std::nullopt};
  qac.lines.push_back(series_of("misra_0 to misra_9", runs, [](const run_figures& figures) {
    return as_double(figures.qac ? std::optional(figures.qac->first) : std::nullopt);
  }));
  qac.lines.push_back(series_of("his", runs, [](const run_figures& figures) {
    return as_double(figures.qac ? std::optional(figures.qac->second) : std::nullopt);
  }));
  charts.push_back(std::move(qac));
}

}  // namespace

const kind_unit qac_kind = {Detail::q_results_table, compare, totals, lists, json, trends, charts};

}  // namespace Compare
