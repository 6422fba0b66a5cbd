#pragma once
// The line of work the current run belongs to: the ancestry given with
// --ancestors, or read from git (the repository of --repository, or of the
// working directory when the stored hash names one of its commits), and
// what the outputs must say about it.

#include <optional>
#include <string>
#include <vector>

#include "compare/comparison.h"
#include "compare/compare_options.h"
#include "compare/git.h"
#include "compare/history.h"

namespace Compare {

/// How many commits of the ancestry git is asked for.
inline constexpr std::size_t ancestry_depth = 1000;

struct ancestry {
  baseline_rule rule;
  run_window window;
  std::vector<std::string> notes;
  std::optional<GitRepository> repository;  // with the current commit
  std::optional<std::string> commit;         // its full id
};

/// Chooses how the baselines are found. Returns none with `problem` set for
/// a bad command line: an --ancestors file that cannot be read, a
/// --repository git cannot open.
std::optional<ancestry> find_ancestry(const compare_options& options, std::string& problem);

}  // namespace Compare
