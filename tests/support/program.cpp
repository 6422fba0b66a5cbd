#include "support/program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <stdexcept>

#include "support/files.h"

extern char** environ;

namespace test_support {

namespace {

RunResult run_executable(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& prefix) {
  TempDir dir;
  const std::string out_path = dir.file("stdout");
  const std::string err_path = dir.file("stderr");
  std::vector<std::string> argv_strings = prefix;
  argv_strings.push_back(program);
  argv_strings.insert(argv_strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argv_strings) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + argv_strings[0]);
  int status = 0;
  waitpid(pid, &status, 0);

  RunResult result;
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = read_file(out_path);
  result.err = read_file(err_path);
  return result;
}

}  // namespace

RunResult run_program(const std::vector<std::string>& args, const std::vector<std::string>& prefix) {
  return run_executable(VIVIRI_PROGRAM, args, prefix);
}

RunResult run_compare(const std::vector<std::string>& args, const std::vector<std::string>& prefix) {
  return run_executable(VIVIRI_COMPARE_PROGRAM, args, prefix);
}

pid_t start_program(const std::vector<std::string>& args) {
  std::vector<std::string> strings{VIVIRI_PROGRAM};
  strings.insert(strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : strings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start the program");
  return pid;
}

int wait_for(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

std::vector<std::string> standard_args(const std::string& parser_type, const std::string& input,
                                       const std::string& output) {
  return {"--input=" + input,           "--output=" + output,  "--platform=Pwe3",
          "--test_type=Unit",           "--project_name=K7Tr52_App_default",
          "--tool_name=CTC",            "--hash_value=HASH",   "--parser_type=" + parser_type};
}

namespace {

// Whether `text` at `at` holds `shape`, where '9' stands for any digit.
bool has_shape(const std::string& text, std::size_t at, const std::string& shape) {
  if (at + shape.size() > text.size()) return false;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const char c = text[at + i];
    if (shape[i] == '9' ? !std::isdigit(static_cast<unsigned char>(c)) : c != shape[i]) return false;
  }
  return true;
}

}  // namespace

std::string normalise_date_time(std::string text) {
  const std::string shape = "'9999-99-99', '99:99:99'";
  const std::string replacement = "'<date>', '<time>'";
  // Built anew in one pass: replacing in place would move the rest of a large
  // output at every row.
  std::string normalised;
  normalised.reserve(text.size());
  std::size_t copied = 0;
  for (std::size_t at = text.find('\''); at != std::string::npos; at = text.find('\'', at + 1)) {
    if (!has_shape(text, at, shape)) continue;
    normalised.append(text, copied, at - copied);
    normalised += replacement;
    copied = at + shape.size();
    at = copied - 1;
  }
  normalised.append(text, copied);
  return normalised;
}

}  // namespace test_support
