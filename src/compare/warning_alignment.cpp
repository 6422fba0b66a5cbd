#include "compare/warning_alignment.h"

#include <algorithm>
#include <compare>
#include <iterator>
#include <limits>

namespace Compare {

namespace {

using lines = std::span<const std::int64_t>;

// Exact for any two 64-bit lines, whose difference may not fit a signed one.
std::uint64_t distance(std::int64_t a, std::int64_t b) {
  return a < b ? static_cast<std::uint64_t>(b) - static_cast<std::uint64_t>(a)
               : static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b);
}

// What an alignment of the rest of the lines costs, compared in this order.
struct cost {
  std::size_t jumps = 0;
  std::uint64_t distance = 0;  // the sum of |offset|, held at its maximum rather than wrapping

  auto operator<=>(const cost&) const = default;
};

cost plus(cost base, std::size_t jumps, std::uint64_t distance) {
  constexpr std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
  return {base.jumps + jumps, distance > most - base.distance ? most : base.distance + distance};
}

// The exhaustive search. With the shorter side's n lines all matched, its line
// i can take only the longer side's lines i to i + (m - n): a band of `width`
// positions k, line i taking line i + k. The rows are filled from the last line
// up, each cell holding the best cost of aligning lines i.. with line i at
// position k; `next` keeps the position line i + 1 takes in that best
// alignment (the earliest of equals), so that following it from the best start
// gives the earliest of the best alignments.
class band_alignment {
 public:
  band_alignment(lines shorter, lines longer)
      : shorter_(shorter), longer_(longer), width_(longer.size() - shorter.size() + 1),
        next_((shorter.size() - 1) * width_), row_(width_), below_(width_), best_after_(width_), window_(width_) {}

  std::vector<std::size_t> matched() {
    const std::size_t last = shorter_.size() - 1;
    for (std::size_t k = 0; k < width_; ++k) row_[k] = {0, distance(shorter_[last], longer_[last + k])};
    for (std::size_t i = last; i-- > 0;) {
      row_.swap(below_);
      fill_row(i);
    }
    std::size_t k = static_cast<std::size_t>(std::min_element(row_.begin(), row_.end()) - row_.begin());
    std::vector<std::size_t> taken{k};
    for (std::size_t i = 0; i < last; ++i) {
      k = next_[i * width_ + k];
      taken.push_back(i + 1 + k);
    }
    return taken;
  }

 private:
  // Row i from row i + 1 (`below_`). From line i at position k, line i + 1 may
  // take any position k' >= k (its line comes after line i's); without a jump
  // only those whose line lies within the tolerance of line i's line plus the
  // step between lines i and i + 1 of the shorter side. That range moves right
  // as k grows, so its best is kept in a sliding window; the best after a jump
  // is the best of all k' >= k.
  void fill_row(std::size_t i) {
    best_positions_from();
    const std::uint64_t step = distance(shorter_[i], shorter_[i + 1]);
    std::size_t head = 0, tail = 0, entering = 0;
    for (std::size_t k = 0; k < width_; ++k) {
      const std::int64_t from = longer_[i + k];
      for (entering = std::max(entering, k); entering < width_; ++entering) {
        const std::uint64_t gap = distance(from, longer_[i + 1 + entering]);
        if (gap > step && gap - step > jump_tolerance) break;
        while (tail > head && below_[window_[tail - 1]] > below_[entering]) --tail;
        window_[tail++] = static_cast<std::uint32_t>(entering);
      }
      while (tail > head && (window_[head] < k || too_short(from, window_[head], i, step))) ++head;
      std::size_t choice = best_after_[k];
      cost best = plus(below_[choice], 1, 0);
      if (tail > head && (below_[window_[head]] < best || (below_[window_[head]] == best && window_[head] < choice))) {
        choice = window_[head];
        best = below_[choice];
      }
      row_[k] = plus(best, 0, distance(shorter_[i], longer_[i + k]));
      next_[i * width_ + k] = static_cast<std::uint32_t>(choice);
    }
  }

  // Whether line i + 1 at position k' has moved up by more than the tolerance
  // against line i taking `from`.
  bool too_short(std::int64_t from, std::size_t k_next, std::size_t i, std::uint64_t step) const {
    const std::uint64_t gap = distance(from, longer_[i + 1 + k_next]);
    return gap < step && step - gap > jump_tolerance;
  }

  // best_after_[k]: the earliest position k' >= k of the least cost in row i + 1.
  void best_positions_from() {
    best_after_[width_ - 1] = static_cast<std::uint32_t>(width_ - 1);
    for (std::size_t k = width_ - 1; k-- > 0;)
      best_after_[k] = below_[k] <= below_[best_after_[k + 1]] ? static_cast<std::uint32_t>(k) : best_after_[k + 1];
  }

  lines shorter_, longer_;
  std::size_t width_;
  std::vector<std::uint32_t> next_;
  std::vector<cost> row_, below_;
  std::vector<std::uint32_t> best_after_, window_;
};

// The cheaper alignment of groups too large for the search.
std::vector<std::size_t> nearest_in_order(lines shorter, lines longer) {
  std::vector<std::size_t> taken;
  taken.reserve(shorter.size());
  auto first = longer.begin();
  for (std::size_t i = 0; i < shorter.size(); ++i) {
    const auto end = longer.end() - static_cast<std::ptrdiff_t>(shorter.size() - 1 - i);
    auto at = std::lower_bound(first, end, shorter[i]);
    if (at == end || (at != first && distance(*std::prev(at), shorter[i]) <= distance(*at, shorter[i]))) --at;
    taken.push_back(static_cast<std::size_t>(at - longer.begin()));
    first = std::next(at);
  }
  return taken;
}

// For each line of the shorter side, the index of the longer side's line it takes.
std::vector<std::size_t> matched_lines(lines shorter, lines longer) {
  if (shorter.empty()) return {};
  // The search's rows (two of costs, two of positions) take as much as ten rows of its table.
  const std::size_t width = longer.size() - shorter.size() + 1;
  if (width > exhaustive_alignment_cells / (shorter.size() + 10)) return nearest_in_order(shorter, longer);
  return band_alignment(shorter, longer).matched();
}

}  // namespace

std::vector<std::pair<std::size_t, std::size_t>> align_lines(std::span<const std::int64_t> previous,
                                                             std::span<const std::int64_t> current) {
  // Offsets change sign with the sides, which changes neither their size nor
  // the jumps between them.
  const bool previous_shorter = previous.size() <= current.size();
  const std::vector<std::size_t> taken =
      previous_shorter ? matched_lines(previous, current) : matched_lines(current, previous);
  std::vector<std::pair<std::size_t, std::size_t>> pairs;
  pairs.reserve(taken.size());
  for (std::size_t i = 0; i < taken.size(); ++i)
    pairs.push_back(previous_shorter ? std::pair(i, taken[i]) : std::pair(taken[i], i));
  return pairs;
}

}  // namespace Compare
