#pragma once
// The comparison and the project's recent history on one self-contained
// HTML page: trend charts drawn as inline SVG (hover titles work without
// script), the comparison's figures and lists, nothing fetched from
// anywhere.

#include <string>
#include <vector>

#include "compare/comparison.h"
#include "compare/trends.h"

namespace Compare {

/// At most this many entries of a list on the page ("and N more").
inline constexpr std::size_t page_list_limit = 1000;

/// The page of `found`, with the trends of each of its platforms (`trends`
/// in the order of found.runs).
std::string history_page(const comparison& found, const std::vector<std::vector<run_figures>>& trends);

}  // namespace Compare
