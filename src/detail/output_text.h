#pragma once
// A converter's whole output, built line by line straight into large blocks:
// no heap string per line, and the file and the echo are written a block at
// a time.

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace Detail {

class OutputText {
 public:
  static constexpr std::size_t block_size = 1 << 20;

  /// The block to append the next `expected_size` bytes to: the last one, or
  /// a new one when they would not fit in it. A line is best appended whole
  /// to one block (it may grow past block_size for a longer line).
  std::string& block_for(std::size_t expected_size);

  /// Appends `line` and a line feed.
  void add_line(std::string_view line);

  const std::vector<std::string>& blocks() const { return blocks_; }

  /// The text cut into its lines, line feeds removed (for tests and callers
  /// that want lines).
  std::deque<std::string> lines() const;

 private:
  std::vector<std::string> blocks_;
};

}  // namespace Detail
