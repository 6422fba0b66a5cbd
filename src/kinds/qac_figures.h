#pragma once
// The figures of a run's q_results rows: the band counts per file and in
// total.

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "kinds/stored_rows.h"

namespace Kinds {

/// misra_0 ... misra_9, his.
inline constexpr std::size_t band_count = 11;
using band_counts = std::array<std::int64_t, band_count>;
/// The band's column name, "misra_0" ... "his".
std::string band_name(std::size_t band);

std::map<std::string, band_counts> counts_by_file(const rows& stored);
band_counts sum(const std::map<std::string, band_counts>& files);
band_counts count_qac(const rows& stored);

}  // namespace Kinds
