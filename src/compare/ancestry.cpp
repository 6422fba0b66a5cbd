#include "compare/ancestry.h"

#include <fstream>
#include <iostream>

#include "compare/row_text.h"

namespace Compare {

namespace {

// Hashes one per line, newest first, as git rev-list prints them.
bool read_ancestors(const std::string& path, std::vector<std::string>& hashes) {
  std::ifstream file;
  if (path != "-") {
    file.open(path);
    if (!file) return false;
  }
  std::istream& in = path == "-" ? std::cin : file;
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    const std::size_t start = line.find_first_not_of(" \t");
    if (start != std::string::npos) hashes.push_back(line.substr(start));
  }
  return !in.bad();
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    if (end > start) lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The repository to ask: --repository's (which must open), the working
// directory's where the hash could name a commit, or none.
std::optional<GitRepository> repository_of(const compare_options& options, std::string& problem) {
  if (options.repository == "none") return std::nullopt;
  std::string why;
  if (options.repository) {
    std::optional<GitRepository> given = GitRepository::open(*options.repository, why);
    if (!given) problem = "--repository: git cannot open " + *options.repository + ": " + why;
    return given;
  }
  if (!is_hex_hash(options.hash, 7)) return std::nullopt;
  return GitRepository::open(".", why);
}

}  // namespace

std::optional<ancestry> find_ancestry(const compare_options& options, std::string& problem) {
  ancestry found;
  found.rule.given = options.baseline;
  found.repository = repository_of(options, problem);
  if (!problem.empty()) return std::nullopt;
  if (found.repository) {
    found.commit = found.repository->commit(options.hash);
    // The working directory's repository may be another project's: only a
    // named one is worth a note.
    if (!found.commit && options.repository)
      found.notes.push_back("the repository " + cut_text(*options.repository, 60) + " has no commit " +
                            cut_text(options.hash, 64) + ": runs ordered by date");
    if (!found.commit) found.repository.reset();
  }
  if (options.ancestors) {
    found.rule.ancestors.emplace();
    if (!read_ancestors(*options.ancestors, *found.rule.ancestors)) {
      problem = "--ancestors: could not read " + *options.ancestors;
      return std::nullopt;
    }
    found.window = {"ancestry", "ancestors", found.rule.ancestors->size()};
    return found;
  }
  if (!found.repository || options.baseline) return found;
  const git_result parents = found.repository->first_parents(*found.commit, ancestry_depth);
  if (!parents.ok) {
    found.notes.push_back("git could not list the ancestry (" + cut_text(parents.error, 100) +
                          "): runs ordered by date");
    return found;
  }
  found.rule.ancestors = lines_of(parents.out);
  found.rule.ancestry_source = chosen_by::git;
  found.window = {"ancestry", "git", found.rule.ancestors->size()};
  return found;
}

}  // namespace Compare
