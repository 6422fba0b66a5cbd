#pragma once
// The run's input and output files, each opened once.
//
// The program checks both before it converts: the input must open, the output
// is created or truncated. A named pipe, a process substitution or a device
// can be opened only once with the same effect, so the check's input stream is
// the one the converter reads, and an output that is not a regular file keeps
// the check's descriptor for the write. A regular output is replaced at the
// end by a completely written new file (output_writer.h).

#include <fstream>
#include <string>

namespace Detail {

/// The program's input check: opens `path` for the run. False if it cannot be
/// opened.
bool open_run_input(const std::string& path);

/// The converter's input stream: the one open_run_input opened for `path`,
/// handed out once, or else `path` newly opened.
std::ifstream& take_run_input(const std::string& path);

/// Reads the run's input stream (take_run_input) into `records` with
/// `read(std::istream&, Records&)`, then closes it.
template <typename Records, typename Read>
void read_run_input(const std::string& path, Records& records, Read read) {
  std::ifstream& in = take_run_input(path);
  read(in, records);
  in.close();
}

/// The program's output check: creates or truncates a regular `path` (or a
/// path that does not exist yet), or opens any other kind of file once and
/// keeps it for write_output. False if it cannot be opened for writing.
bool open_run_output(const std::string& path);

/// The descriptor open_run_output kept for `path`, or -1 when there is none
/// (a regular file, or another path).
int kept_output_descriptor(const std::string& path);

}  // namespace Detail
