#pragma once
// Sorting long sequences of large records without moving each record many times.

#include <algorithm>
#include <cstddef>
#include <deque>
#include <numeric>
#include <utility>
#include <vector>

namespace Detail {

/// Rearranges `records` so that position i holds the record that was at
/// order[i]; `order` must be a permutation of the positions and is used up.
/// Each record is moved at most twice.
template <typename Record>
void move_into_order(std::deque<Record>& records, std::vector<std::size_t>& order) {
  // Follow each cycle of the permutation once.
  for (std::size_t start = 0; start < order.size(); ++start) {
    if (order[start] == start) continue;
    Record held = std::move(records[start]);
    std::size_t at = start;
    while (order[at] != start) {
      const std::size_t from = order[at];
      records[at] = std::move(records[from]);
      order[at] = at;
      at = from;
    }
    records[at] = std::move(held);
    order[at] = at;
  }
}

/// Sorts `records` exactly as std::stable_sort(records.begin(), records.end(),
/// less) would: equal records keep their order. The order is found on indices,
/// and each record is then moved at most twice, so the sort needs no buffer
/// of records and no record is moved on every pass.
template <typename Record, typename Less>
void stable_sort_records(std::deque<Record>& records, Less less) {
  std::vector<std::size_t> order(records.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return less(records[a], records[b]); });
  move_into_order(records, order);
}

}  // namespace Detail
