#include "detail/run_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Detail {
namespace {

struct run_input {
  std::string path;
  std::ifstream stream;
  bool handed_out = false;
};

run_input& input() {
  static run_input the_input;
  return the_input;
}

struct kept_output {
  std::string path;
  int descriptor = -1;
};

kept_output& output() {
  static kept_output the_output;
  return the_output;
}

}  // namespace

bool open_run_input(const std::string& path) {
  run_input& in = input();
  in.stream.open(path, std::ios::in | std::ios::binary);
  in.path = path;
  in.handed_out = false;
  return in.stream.is_open();
}

std::ifstream& take_run_input(const std::string& path) {
  run_input& in = input();
  if (in.stream.is_open() && in.path == path && !in.handed_out) {
    in.handed_out = true;
    return in.stream;
  }
  if (in.stream.is_open()) in.stream.close();
  in.stream.clear();
  in.stream.open(path, std::ios::in | std::ios::binary);
  in.path = path;
  in.handed_out = true;
  return in.stream;
}

bool open_run_output(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
    if (S_ISDIR(status.st_mode)) return false;
    const int descriptor = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    output() = {path, descriptor};
    return true;
  }
  std::ofstream created(path, std::ios::out | std::ios::trunc | std::ios::binary);
  return created.is_open();
}

int kept_output_descriptor(const std::string& path) {
  const kept_output& kept = output();
  return kept.path == path ? kept.descriptor : -1;
}

}  // namespace Detail
