#include "compare/paths.h"

#include "kinds/warning_paths.h"

namespace Compare {

namespace {

std::set<std::string> split_at_nul(const std::string& text) {
  std::set<std::string> parts;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\0', start), text.size());
    if (end > start) parts.insert(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace

PathMap::PathMap(std::vector<std::pair<std::string, std::string>> prefixes, const GitRepository* repository,
                 const std::string& commit)
    : prefixes_(std::move(prefixes)) {
  for (auto& [old_prefix, new_prefix] : prefixes_) old_prefix = Kinds::normal_path(old_prefix);
  if (!repository) return;
  if (const git_result top = repository->top_level(); top.ok) root_ = top.out.substr(0, top.out.find('\n'));
  if (const git_result tree = repository->files(commit); tree.ok) {
    files_ = split_at_nul(tree.out);
    checked_ = true;
  }
}

// The file of the tree `path` names: itself, the one file it is the suffix
// of, or for an absolute name (another machine's checkout) the longest file
// that is its suffix.
std::string PathMap::in_tree(const std::string& path) const {
  if (files_.contains(path)) return path;
  const std::string* only = nullptr;
  bool several = false;
  for (const std::string& file : files_) {
    if (file.size() > path.size() && file.ends_with(path) && file[file.size() - path.size() - 1] == '/') {
      several = only != nullptr;
      only = &file;
    }
  }
  if (only && !several) return *only;
  if (path.starts_with("/")) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
      if (files_.contains(path.substr(slash + 1))) return path.substr(slash + 1);
    }
  }
  unmatched_.insert(path);
  return path;
}

std::string PathMap::operator()(const std::string& stored) const {
  if (const auto known = mapped_.find(stored); known != mapped_.end()) return known->second;
  std::string path = Kinds::normal_path(stored);
  for (const auto& [old_prefix, new_prefix] : prefixes_) {
    if (path.starts_with(old_prefix)) {
      path = Kinds::normal_path(new_prefix + path.substr(old_prefix.size()));
      break;
    }
  }
  if (!root_.empty() && path.size() > root_.size() + 1 && path.starts_with(root_ + "/"))
    path = path.substr(root_.size() + 1);
  if (checked_) path = in_tree(path);
  return mapped_[stored] = path;
}

}  // namespace Compare
