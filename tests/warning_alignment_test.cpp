#include "compare/warning_alignment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <limits>
#include <random>
#include <tuple>

namespace {

using lines = std::vector<std::int64_t>;
using pairs = std::vector<std::pair<std::size_t, std::size_t>>;

lines unmatched(const lines& side, const std::vector<bool>& matched) {
  lines left;
  for (std::size_t i = 0; i < side.size(); ++i)
    if (!matched[i]) left.push_back(side[i]);
  return left;
}

// The fixed (baseline) and new (current) lines the alignment leaves.
std::pair<lines, lines> fixed_and_new(const lines& previous, const lines& current) {
  std::vector<bool> in_previous(previous.size()), in_current(current.size());
  for (const auto& [p, c] : Compare::align_lines(previous, current)) in_previous[p] = in_current[c] = true;
  return {unmatched(previous, in_previous), unmatched(current, in_current)};
}

TEST(AlignLines, LeavesTheWarningsThatDidNotMoveTogether) {
  constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t highest = std::numeric_limits<std::int64_t>::max();
  const struct {
    const char* what;
    lines previous, current, left;  // left: new warnings; mirrored, fixed ones
  } cases[] = {
      {"nearest, not first in order", {1593}, {127, 1594}, {127}},
      {"no jump beats a smaller distance", {1526, 1537}, {1511, 1537, 1548}, {1511}},
      {"then the smaller distance", {10, 20}, {12, 20, 30}, {30}},
      {"a block moved by 11 under a new one on an old line",
       {500, 530, 560, 590, 620, 650, 680, 710, 740, 770},
       {500, 511, 541, 571, 601, 631, 661, 691, 721, 751, 781},
       {500}},
      {"offsets 3 apart are no jump", {0, 10}, {2, 8, 15}, {8}},
      {"4 apart are", {0, 10}, {2, 8, 16}, {2}},
      {"of equals the earlier line matches", {10}, {7, 13}, {13}},
      {"duplicates", {40}, {40, 40}, {40}},
      {"equal lines", {10, 20, 30}, {10, 20, 30}, {}},
      {"both empty", {}, {}, {}},
      {"one side empty", {}, {5, 7, 7}, {5, 7, 7}},
      {"no overflow at the extremes", {lowest, highest}, {lowest, 0, highest}, {0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fixed_and_new(c.previous, c.current), std::pair(lines{}, c.left)) << c.what;
    EXPECT_EQ(fixed_and_new(c.current, c.previous), std::pair(c.left, lines{})) << c.what << ", mirrored";
  }
}

// The alignment as documented, by trying every set of the longer side's lines.
pairs best_of_all_alignments(const lines& previous, const lines& current) {
  const bool previous_shorter = previous.size() <= current.size();
  const std::size_t n = std::min(previous.size(), current.size());
  const std::size_t m = std::max(previous.size(), current.size());
  std::tuple<std::size_t, std::int64_t, pairs> best{std::numeric_limits<std::size_t>::max(), 0, {}};
  for (unsigned chosen = 0; chosen < 1u << m; ++chosen) {
    if (static_cast<std::size_t>(std::popcount(chosen)) != n) continue;
    pairs matched;
    for (std::size_t k = 0; k < m; ++k) {
      if ((chosen >> k & 1u) == 0) continue;
      const std::size_t i = matched.size();
      matched.push_back(previous_shorter ? std::pair(i, k) : std::pair(k, i));
    }
    std::size_t jumps = 0;
    std::int64_t distance = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const std::int64_t offset = current[matched[i].second] - previous[matched[i].first];
      distance += std::abs(offset);
      if (i > 0 && std::abs(offset - (current[matched[i - 1].second] - previous[matched[i - 1].first])) > 3) ++jumps;
    }
    best = std::min(best, std::tuple(jumps, distance, matched));
  }
  return std::get<2>(best);
}

TEST(AlignLines, IsTheBestOfAllAlignments) {
  std::mt19937 random(38);
  const auto some_lines = [&random] {
    lines drawn(random() % 8);
    for (std::int64_t& line : drawn) line = static_cast<std::int64_t>(random() % 25);  // duplicates and jumps
    std::sort(drawn.begin(), drawn.end());
    return drawn;
  };
  for (int round = 0; round < 3000; ++round) {
    const lines previous = some_lines(), current = some_lines();
    SCOPED_TRACE(testing::PrintToString(previous) + " -> " + testing::PrintToString(current));
    ASSERT_EQ(Compare::align_lines(previous, current), best_of_all_alignments(previous, current));
  }
}

TEST(AlignLines, HugeGroupsTakeTheNearestLineInOrder) {
  // 4,000 warnings moved by 11 under a new one on the first old line, and
  // 3,000 new ones further down: too many for the search, which would leave
  // the one on the old line new.
  lines previous, current{1000};
  for (std::int64_t i = 0; i < 4000; ++i) previous.push_back(1000 + 30 * i);
  for (std::int64_t line : previous) current.push_back(line + 11);
  for (std::int64_t i = 0; i < 3000; ++i) current.push_back(1'000'000 + i);
  ASSERT_GT((previous.size() + 10) * (current.size() - previous.size() + 1), Compare::exhaustive_alignment_cells);
  pairs expected{{0, 0}};
  for (std::size_t i = 1; i < previous.size(); ++i) expected.emplace_back(i, i + 1);
  EXPECT_EQ(Compare::align_lines(previous, current), expected);
}

}  // namespace
