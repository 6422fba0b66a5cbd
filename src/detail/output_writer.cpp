#include "detail/output_writer.h"

#include <fstream>
#include <iostream>
#include <vector>

namespace Detail {
namespace {

bool write_failure_reported = false;

}  // namespace

bool write_lines(std::ostream& out, const std::deque<std::string>& lines) {
  // Straight into the stream's buffer, without a sentry for every line; the
  // first line that cannot be written completely fails the stream.
  std::streambuf* buffer = out.rdbuf();
  if (!out || buffer == nullptr) return false;
  for (const std::string& line : lines) {
    const auto size = static_cast<std::streamsize>(line.size());
    if (buffer->sputn(line.data(), size) != size || buffer->sputc('\n') == std::char_traits<char>::eof()) {
      out.setstate(std::ios::badbit);
      return false;
    }
  }
  return true;
}

void echo_lines(const std::deque<std::string>& lines) {
  write_lines(std::cout, lines);
  std::cout.flush();
}

void report_write_failure() {
  write_failure_reported = true;
  std::cout << "VIViriZovuro error: Could not write output file" << std::endl;
}

bool output_write_failed() { return write_failure_reported; }

bool write_output(const std::string& path, const std::deque<std::string>& lines, Echo echo) {
  std::vector<char> buffer(1 << 20);
  std::ofstream out;
  out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  out.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
  bool written = out.is_open() && write_lines(out, lines);
  out.close();
  written = written && !out.fail();
  if (echo == Echo::yes) echo_lines(lines);
  if (!written) report_write_failure();
  return written;
}

}  // namespace Detail
