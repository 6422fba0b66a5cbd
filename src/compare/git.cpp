#include "compare/git.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>

extern char** environ;

namespace Compare {

namespace {

constexpr auto time_limit = std::chrono::seconds(30);

// The environment without what would point git at another repository, and
// with what keeps a partial clone from fetching and git from prompting or
// taking locks.
std::vector<std::string> git_environment() {
  constexpr std::string_view cleared[] = {"GIT_DIR=", "GIT_WORK_TREE=", "GIT_INDEX_FILE=", "GIT_OBJECT_DIRECTORY=",
                                          "GIT_COMMON_DIR=", "GIT_TERMINAL_PROMPT=", "GIT_OPTIONAL_LOCKS=",
                                          "GIT_NO_LAZY_FETCH="};
  std::vector<std::string> variables;
  for (char** at = environ; *at; ++at) {
    const std::string_view variable = *at;
    if (std::none_of(std::begin(cleared), std::end(cleared),
                     [&](std::string_view name) { return variable.starts_with(name); }))
      variables.emplace_back(variable);
  }
  variables.insert(variables.end(), {"GIT_TERMINAL_PROMPT=0", "GIT_OPTIONAL_LOCKS=0", "GIT_NO_LAZY_FETCH=1"});
  return variables;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> list;
  for (std::string& text : texts) list.push_back(text.data());
  list.push_back(nullptr);
  return list;
}

std::string first_line(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  if (line.size() > 200) line.resize(200);
  return line;
}

// Reads both pipes to their ends, or until the deadline.
bool read_both(int out, int err, std::string& out_text, std::string& err_text) {
  const auto deadline = std::chrono::steady_clock::now() + time_limit;
  pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
  std::string* texts[2] = {&out_text, &err_text};
  int open_count = 2;
  char buffer[65536];
  while (open_count > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) return false;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        texts[i]->append(buffer, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        fds[i].fd = -1;
        --open_count;
      }
    }
  }
  return true;
}

}  // namespace

bool is_hex_hash(std::string_view text, std::size_t shortest) {
  return text.size() >= shortest && text.size() <= 64 &&
         std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

git_result GitRepository::run(std::vector<std::string> arguments) const {
  arguments.insert(arguments.begin(), {"git", "-C", directory_});
  std::vector<std::string> environment = git_environment();
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0) return {false, {}, std::strerror(errno)};
  if (pipe2(err, O_CLOEXEC) != 0) {
    close(out[0]);
    close(out[1]);
    return {false, {}, std::strerror(errno)};
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
  pid_t pid = 0;
  std::vector<char*> argv = pointers(arguments);
  std::vector<char*> envp = pointers(environment);
  const int spawned = posix_spawnp(&pid, "git", &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  close(err[1]);
  git_result result;
  if (spawned != 0) {
    close(out[0]);
    close(err[0]);
    result.error = std::string("git could not be run: ").append(std::strerror(spawned));
    return result;
  }
  const bool finished = read_both(out[0], err[0], result.out, result.error);
  close(out[0]);
  close(err[0]);
  if (!finished) kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.ok = finished && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  result.error = finished ? first_line(result.error) : "git took longer than 30 s";
  if (!result.ok && result.error.empty()) result.error = "git failed";
  return result;
}

std::optional<GitRepository> GitRepository::open(const std::string& directory, std::string& problem) {
  GitRepository repository(directory);
  const git_result found = repository.run({"rev-parse", "--git-dir"});
  if (found.ok) return repository;
  problem = found.error;
  return std::nullopt;
}

std::optional<std::string> GitRepository::commit(const std::string& hash) const {
  if (!is_hex_hash(hash)) return std::nullopt;
  const git_result found = run({"rev-parse", "--verify", "--quiet", "--end-of-options", hash + "^{commit}"});
  if (!found.ok) return std::nullopt;
  return found.out.substr(0, found.out.find('\n'));
}

git_result GitRepository::first_parents(const std::string& commit, std::size_t count) const {
  if (!is_hex_hash(commit)) return {false, {}, "not a commit id"};
  git_result found = run({"rev-list", "--first-parent", "--max-count=" + std::to_string(count + 1),
                          "--end-of-options", commit});
  if (found.ok) found.out.erase(0, found.out.find('\n') + 1);  // the commit itself
  return found;
}

git_result GitRepository::top_level() const { return run({"rev-parse", "--show-toplevel"}); }

git_result GitRepository::files(const std::string& commit) const {
  if (!is_hex_hash(commit)) return {false, {}, "not a commit id"};
  return run({"ls-tree", "-r", "-z", "--name-only", "--full-tree", "--end-of-options", commit});
}

git_result GitRepository::diff(const std::string& from, const std::string& to) const {
  if (!is_hex_hash(from) || !is_hex_hash(to)) return {false, {}, "not a commit id"};
  return run({"diff-tree", "-r", "-p", "-U0", "--no-color", "--no-ext-diff", "--no-textconv", "-M",
              "--end-of-options", from, to});
}

}  // namespace Compare
