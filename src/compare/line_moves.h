#pragma once
// Where the lines of one commit's files are in another's, read from the diff
// git gives between them: a warning whose line the diff takes to a current
// warning's line is that warning, however far the edits moved it.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "compare/git.h"

namespace Compare {

class LineMoves {
 public:
  /// The moves of `diff` (git diff-tree -p -U0 -M output).
  explicit LineMoves(const std::string& diff);

  /// The path `old_path` has in the newer commit (renamed or not).
  std::string new_path(const std::string& old_path) const;
  /// The newer commit's line of `old_path`'s `line`, none inside a change.
  std::optional<std::int64_t> new_line(const std::string& old_path, std::int64_t line) const;

 private:
  struct hunk {
    std::int64_t old_start = 0, old_count = 0, new_start = 0, new_count = 0;
  };
  std::map<std::string, std::string> renamed_;
  std::map<std::string, std::vector<hunk>> hunks_;  // by old path
};

/// The moves between the current commit and each baseline, asked of git once
/// per baseline; none without a repository or where git fails.
class CommitMoves {
 public:
  CommitMoves(const GitRepository* repository, std::optional<std::string> current)
      : repository_(repository), current_(std::move(current)) {}

  const LineMoves* since(const std::string& baseline_hash) const;

 private:
  const GitRepository* repository_;
  std::optional<std::string> current_;
  mutable std::map<std::string, std::optional<LineMoves>> known_;
};

}  // namespace Compare
