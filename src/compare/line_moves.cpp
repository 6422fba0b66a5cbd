#include "compare/line_moves.h"

#include <charconv>
#include <string_view>

namespace Compare {

namespace {

// "12" or "12,3" after the sign; a missing count is 1.
bool read_range(std::string_view text, std::int64_t& start, std::int64_t& count) {
  const char* end = text.data() + text.size();
  auto [at, error] = std::from_chars(text.data(), end, start);
  if (error != std::errc()) return false;
  count = 1;
  if (at != end && *at == ',') std::from_chars(at + 1, end, count);
  return true;
}

// The path of "--- a/PATH" or "+++ b/PATH"; none for /dev/null and for the
// quoted names git writes for unusual characters.
std::optional<std::string> patch_path(std::string_view line) {
  line.remove_prefix(4);
  if (line.starts_with("a/") || line.starts_with("b/")) return std::string(line.substr(2));
  return std::nullopt;
}

}  // namespace

LineMoves::LineMoves(const std::string& diff) {
  std::optional<std::string> old_path, new_path_of_file;
  std::size_t start = 0;
  while (start < diff.size()) {
    const std::size_t end = std::min(diff.find('\n', start), diff.size());
    const std::string_view line(diff.data() + start, end - start);
    start = end + 1;
    if (line.starts_with("diff --git ")) {
      old_path.reset();
      new_path_of_file.reset();
    } else if (line.starts_with("rename from ")) {
      old_path = std::string(line.substr(12));
    } else if (line.starts_with("rename to ")) {
      new_path_of_file = std::string(line.substr(10));
      if (old_path) renamed_[*old_path] = *new_path_of_file;
    } else if (line.starts_with("--- ")) {
      old_path = patch_path(line);
    } else if (line.starts_with("+++ ")) {
      new_path_of_file = patch_path(line);
      if (old_path && new_path_of_file && *old_path != *new_path_of_file) renamed_[*old_path] = *new_path_of_file;
    } else if (line.starts_with("@@ -") && old_path) {
      const std::size_t plus = line.find(" +", 4);
      const std::size_t close = line.find(" @@", plus == std::string_view::npos ? 4 : plus);
      hunk found;
      if (plus == std::string_view::npos || close == std::string_view::npos ||
          !read_range(line.substr(4, plus - 4), found.old_start, found.old_count) ||
          !read_range(line.substr(plus + 2, close - plus - 2), found.new_start, found.new_count))
        continue;
      hunks_[*old_path].push_back(found);
    }
  }
}

std::string LineMoves::new_path(const std::string& old_path) const {
  const auto at = renamed_.find(old_path);
  return at == renamed_.end() ? old_path : at->second;
}

std::optional<std::int64_t> LineMoves::new_line(const std::string& old_path, std::int64_t line) const {
  const auto file = hunks_.find(old_path);
  if (file == hunks_.end()) return line;
  std::int64_t shift = 0;
  for (const hunk& change : file->second) {
    if (change.old_count == 0) {
      // Lines inserted after old_start.
      if (line > change.old_start) shift += change.new_count;
      continue;
    }
    if (line >= change.old_start && line < change.old_start + change.old_count) return std::nullopt;
    if (line >= change.old_start + change.old_count) shift += change.new_count - change.old_count;
  }
  return line + shift;
}

const LineMoves* CommitMoves::since(const std::string& baseline_hash) const {
  if (!repository_ || !current_) return nullptr;
  auto [at, inserted] = known_.try_emplace(baseline_hash);
  if (inserted) {
    const std::optional<std::string> base = repository_->commit(baseline_hash);
    if (base) {
      const git_result diff = repository_->diff(*base, *current_);
      if (diff.ok) at->second.emplace(diff.out);
    }
  }
  return at->second ? &*at->second : nullptr;
}

}  // namespace Compare
