#include "kinds/qac_figures.h"

#include "detail/tables.h"

namespace Kinds {

std::string band_name(std::size_t band) { return band + 1 < band_count ? "misra_" + std::to_string(band) : "his"; }

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

band_counts count_qac(const rows& stored) { return sum(counts_by_file(stored)); }

}  // namespace Kinds
