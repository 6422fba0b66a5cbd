#include <map>

#include "compare/kinds.h"
#include "compare/numbers.h"
#include "detail/tables.h"

namespace Compare {

namespace {

std::map<std::string, band_counts> counts_by_file(const rows& stored) {
  const Detail::sql_table& table = Detail::q_results_table();
  const std::size_t filename = column_of(table, "filename");
  const std::size_t first_band = column_of(table, "misra_0");
  std::map<std::string, band_counts> files;
  for (const Detail::stored_row& row : stored) {
    band_counts& counts = files[row[filename]];
    for (std::size_t band = 0; band < band_count; ++band) counts[band] += whole_number(row[first_band + band]);
  }
  return files;
}

band_counts sum(const std::map<std::string, band_counts>& files) {
  band_counts total{};
  for (const auto& [name, counts] : files) {
    for (std::size_t band = 0; band < band_count; ++band) total[band] += counts[band];
  }
  return total;
}

}  // namespace

band_counts count_qac(const rows& current) { return sum(counts_by_file(current)); }

qac_comparison compare_qac(const rows& current, const rows* previous) {
  qac_comparison found;
  const auto now = counts_by_file(current);
  found.current = sum(now);
  if (!previous) return found;
  const auto before = counts_by_file(*previous);
  found.previous = sum(before);
  for (const auto& [name, counts] : now) {
    const auto earlier = before.find(name);
    for (std::size_t band = 0; band < band_count; ++band) {
      const std::int64_t was = earlier == before.end() ? 0 : earlier->second[band];
      if (counts[band] > was) found.increased.push_back({name, band_name(band), counts[band], was});
    }
  }
  return found;
}

}  // namespace Compare
