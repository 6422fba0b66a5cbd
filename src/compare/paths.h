#pragma once
// The one path of each warning's file: the stored name made normal, each
// --path-prefix applied, and with a repository made the path of a file of
// the current commit (an absolute name under its work tree becomes
// relative; a name that is the suffix of exactly one file becomes that
// file's path). Used for counting, matching, the diff and every list; the
// stored value is unchanged.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "compare/git.h"

namespace Compare {

class PathMap {
 public:
  /// `prefixes`: OLD=NEW pairs, the first that matches wins. Without a
  /// repository (or without its tree) no name is checked against files.
  PathMap(std::vector<std::pair<std::string, std::string>> prefixes, const GitRepository* repository,
          const std::string& commit);

  std::string operator()(const std::string& stored) const;

  /// The mapped names that match no file of the checkout (with a repository).
  const std::set<std::string>& unmatched() const { return unmatched_; }

 private:
  std::string in_tree(const std::string& path) const;

  std::vector<std::pair<std::string, std::string>> prefixes_;
  std::string root_;                // the work tree, "" without one
  std::set<std::string> files_;     // of the current commit
  bool checked_ = false;            // whether names are checked against files_
  mutable std::map<std::string, std::string> mapped_;
  mutable std::set<std::string> unmatched_;
};

}  // namespace Compare
