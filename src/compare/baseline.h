#pragma once
// How a kind's baseline run was chosen.

#include <string>
#include <string_view>

namespace Compare {

/// Given by --baseline, the first of --ancestors (or of the ancestry git
/// gave) with rows of the kind, or the newest older run in the history.
enum class chosen_by { baseline, ancestors, git, history };

struct baseline {
  std::string hash;
  chosen_by how = chosen_by::history;
};

/// "baseline", "ancestors", "git" or "history".
std::string_view chosen_by_name(chosen_by how);

}  // namespace Compare
