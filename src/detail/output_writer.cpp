#include "detail/output_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <iostream>

#include "detail/messages.h"
#include "detail/run_files.h"

namespace Detail {
namespace {

bool write_all(int descriptor, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(descriptor, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// Writes in pieces of at most `piece` bytes: standard output is often a pipe,
// and pipes take 8 KiB at a time.
bool write_in_pieces(int descriptor, const char* data, std::size_t size, std::size_t piece) {
  while (size > 0) {
    const std::size_t count = size < piece ? size : piece;
    if (!write_all(descriptor, data, count)) return false;
    data += count;
    size -= count;
  }
  return true;
}

// Hands the text to `write` a large block at a time: an OutputText's blocks
// as they are, lines gathered into blocks with their line feeds.
template <typename Write>
bool for_each_block(const OutputText& text, Write write) {
  for (const std::string& block : text.blocks()) {
    if (!write(block.data(), block.size())) return false;
  }
  return true;
}

template <typename Write>
bool for_each_block(const std::deque<std::string>& lines, Write write) {
  std::string block;
  block.reserve(OutputText::block_size);
  for (const std::string& line : lines) {
    block += line;
    block += '\n';
    if (block.size() >= OutputText::block_size) {
      if (!write(block.data(), block.size())) return false;
      block.clear();
    }
  }
  return write(block.data(), block.size());
}

template <typename Text>
bool write_text_to(int descriptor, const Text& text) {
  return for_each_block(text, [descriptor](const char* data, std::size_t size) {
    return write_all(descriptor, data, size);
  });
}

// After what standard output's stream holds; a failure fails std::cout, as
// a failed write through it would.
template <typename Text>
void echo_text(const Text& text) {
  std::cout.flush();
  if (!std::cout) return;
  const bool echoed = for_each_block(text, [](const char* data, std::size_t size) {
    return write_in_pieces(STDOUT_FILENO, data, size, 8 << 10);
  });
  if (!echoed) std::cout.setstate(std::ios::badbit);
}

// The file a new output must replace: the target of a symbolic link, so that
// the link stays a link.
std::string replaced_file(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  const std::filesystem::path target = std::filesystem::canonical(path, error);
  return error ? path : target.string();
}

std::string folder_of(const std::string& file) {
  const std::filesystem::path folder = std::filesystem::path(file).parent_path();
  return folder.empty() ? "." : folder.string();
}

// The permission bits the output keeps: those of the file it replaces, or
// those a newly created file gets.
mode_t output_mode(const std::string& file) {
  struct stat existing {};
  if (stat(file.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

template <typename Text>
bool fill_new_file(int descriptor, mode_t mode, const Text& text) {
  return fchmod(descriptor, mode) == 0 && write_text_to(descriptor, text);
}

bool rename_over(const std::string& name, const std::string& file) {
  if (std::rename(name.c_str(), file.c_str()) == 0) return true;
  unlink(name.c_str());
  return false;
}

// Gives a written anonymous file (O_TMPFILE) a name beside `file`; that name
// is visible only until the rename right after.
bool name_anonymous_file(int descriptor, const std::string& file, std::string& name) {
  const std::string proc_path = "/proc/self/fd/" + std::to_string(descriptor);
  const std::string stem = folder_of(file) + "/." + std::filesystem::path(file).filename().string() + ".viviri-" +
                           std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = stem + std::to_string(attempt);
    if (linkat(AT_FDCWD, proc_path.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

// Writes the lines into a new file in the output's folder and renames it over
// the output once it is complete and closed, so that the output is at every
// moment either what it was or the whole new text, whatever stops the run.
// An anonymous file (O_TMPFILE) leaves nothing behind even when the process
// is killed; where the file system has none, a named one is used.
template <typename Text>
bool replace_file(const std::string& path, const Text& lines) {
  const std::string file = replaced_file(path);
  const mode_t mode = output_mode(file);
  const int anonymous = open(folder_of(file).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (anonymous >= 0) {
    std::string name;
    if (!fill_new_file(anonymous, mode, lines)) {
      close(anonymous);
      return false;
    }
    if (name_anonymous_file(anonymous, file, name)) {
      const bool closed = close(anonymous) == 0;
      if (closed) return rename_over(name, file);
      unlink(name.c_str());
      return false;
    }
    close(anonymous);  // no /proc to name it through: write a named one instead
  }
  std::string name = folder_of(file) + "/." + std::filesystem::path(file).filename().string() + ".viviri-XXXXXX";
  const int named = mkostemp(name.data(), O_CLOEXEC);
  if (named < 0) return false;
  const bool filled = fill_new_file(named, mode, lines);
  if (close(named) == 0 && filled) return rename_over(name, file);
  unlink(name.c_str());
  return false;
}

template <typename Text>
bool write_output_text(const std::string& path, const Text& text, Echo echo) {
  const int kept = kept_output_descriptor(path);
  const bool written = kept >= 0 ? write_text_to(kept, text) : replace_file(path, text);
  if (echo == Echo::yes) echo_text(text);
  if (!written) report_write_failure();
  return written;
}

}  // namespace

bool write_file(const std::string& path, const std::string& text) {
  OutputText lines;
  lines.block_for(text.size()) += text;
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error || status.type() == std::filesystem::file_type::not_found ||
      status.type() == std::filesystem::file_type::regular)
    return replace_file(path, lines);
  // A named pipe, /dev/stdout: written as it is.
  const int descriptor = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (descriptor < 0) return false;
  const bool written = write_all(descriptor, text.data(), text.size());
  return close(descriptor) == 0 && written;
}

void report_write_failure() { fail(exit_status::output_not_written, "Could not write output file"); }

bool write_output(const std::string& path, const std::deque<std::string>& lines, Echo echo) {
  return write_output_text(path, lines, echo);
}

bool write_output(const std::string& path, const OutputText& text, Echo echo) {
  return write_output_text(path, text, echo);
}

}  // namespace Detail
