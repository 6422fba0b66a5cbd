#include "detail/output_text.h"

namespace Detail {

std::string& OutputText::block_for(std::size_t expected_size) {
  if (blocks_.empty() || blocks_.back().size() + expected_size > blocks_.back().capacity()) {
    blocks_.emplace_back();
    blocks_.back().reserve(expected_size > block_size ? expected_size : block_size);
  }
  return blocks_.back();
}

void OutputText::add_line(std::string_view line) {
  std::string& block = block_for(line.size() + 1);
  block += line;
  block += '\n';
}

std::deque<std::string> OutputText::lines() const {
  std::deque<std::string> lines;
  std::string current;
  for (const std::string& block : blocks_) {
    for (std::size_t begin = 0; begin < block.size();) {
      const std::size_t feed = block.find('\n', begin);
      if (feed == std::string::npos) {
        current.append(block, begin);
        break;
      }
      current.append(block, begin, feed - begin);
      lines.push_back(std::move(current));
      current.clear();
      begin = feed + 1;
    }
  }
  return lines;
}

}  // namespace Detail
