#pragma once
// The project's git repository as the comparison asks it: a commit's
// first-parent ancestry, and (for warnings that moved) the diff between two
// commits. git runs as a program: no shell, its arguments as a list, only
// hexadecimal hashes after "--end-of-options", each command at most 30 s,
// with an environment that points it at nothing else and lets it neither
// prompt, nor write, nor fetch.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Compare {

/// Whether `text` is 4 to 64 hexadecimal digits: the only hashes given to git.
bool is_hex_hash(std::string_view text, std::size_t shortest = 4);

struct git_result {
  bool ok = false;
  std::string out;
  std::string error;  // git's first line of error, or why it did not run
};

class GitRepository {
 public:
  /// The repository that `directory` is in (a work tree or a bare one), or
  /// none with `problem` set to git's first line of error.
  static std::optional<GitRepository> open(const std::string& directory, std::string& problem);

  /// The full id of the commit `hash` names, none where it names none.
  std::optional<std::string> commit(const std::string& hash) const;
  /// The commit's first-parent ancestry, newest first, the commit itself
  /// left out (at most `count`).
  git_result first_parents(const std::string& commit, std::size_t count) const;
  /// The work tree's top folder (fails for a bare repository).
  git_result top_level() const;
  /// The files of `commit`'s tree, each ended by a NUL.
  git_result files(const std::string& commit) const;
  /// The diff of every file from `from` to `to`, renames found, no context.
  git_result diff(const std::string& from, const std::string& to) const;

  const std::string& directory() const { return directory_; }

 private:
  explicit GitRepository(std::string directory) : directory_(std::move(directory)) {}
  git_result run(std::vector<std::string> arguments) const;

  std::string directory_;
};

}  // namespace Compare
