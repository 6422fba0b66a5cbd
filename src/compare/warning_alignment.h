#pragma once
// Which warning of the baseline is which warning of the current run, by line.
// Lines move with every edit, so the warnings of one file, type and identifier
// are aligned the way a diff aligns lines: in order, never crossing, as many
// as possible matched, and the matches kept to as few blocks that moved
// together as possible. Example:
//
//   align_lines({1593}, {127, 1594})   ->  {{0, 1}}       127 is new
//   align_lines({1526, 1537}, {1511, 1537, 1548})
//                                      ->  {{0, 1}, {1, 2}}  1511 is new: both
//                                          old ones moved down by 11 lines

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace Compare {

/// Offsets (current line minus baseline line) of two consecutive matches that
/// differ by more than this many lines are a jump: the two did not move together.
inline constexpr std::uint64_t jump_tolerance = 3;

/// The pairs (index into `previous`, index into `current`) of the alignment of
/// one group's lines in two runs, in order. Both sides must be sorted
/// ascending. Every line of the shorter side is matched (min(n, m) pairs) and
/// no two pairs cross. Of those alignments the one returned has
///   1. the fewest jumps between consecutive pairs, then
///   2. the smallest sum of |offset|, then
///   3. the earlier lines: the smallest sequence of pairs compared
///      lexicographically, i.e. the longer side's matched lines are the
///      earliest that keep 1 and 2, and its unmatched lines the latest.
/// The lines left unmatched are the new warnings (in `current`) or the fixed
/// ones (in `previous`). Duplicate lines are fine; an empty side gives no pairs.
///
/// With n lines on the shorter side and m on the longer, the search takes
/// time and memory (4 bytes a cell) in proportion to (n + 10) * (m - n + 1)
/// cells. Above `exhaustive_alignment_cells` it is replaced by a cheaper
/// alignment, still maximal and non-crossing: each line of the shorter side in
/// turn takes the nearest line of the longer side (the earlier of two equally
/// near) among those after the previous match that leave a line for every
/// later one.
std::vector<std::pair<std::size_t, std::size_t>> align_lines(std::span<const std::int64_t> previous,
                                                             std::span<const std::int64_t> current);

/// The largest search made: 40 MB.
inline constexpr std::size_t exhaustive_alignment_cells = 10'000'000;

}  // namespace Compare
