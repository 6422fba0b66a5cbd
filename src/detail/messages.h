#pragma once
// The program's messages and its exit status.
//
// Every message is one line: the program's name, " error: " (or
// " warning: ") and its text ("VIViriZovuro error: ..."), on standard output
// unless another stream is named. A failure that decides the exit status is recorded
// with fail(); the first one recorded is the status of the run.

#include <ostream>
#include <string_view>

namespace Detail {

/// The exit statuses of the program (their values as main returns them).
enum class exit_status : int {
  done = 0,
  usage = -1,               // 255: too few arguments
  input_not_opened = -2,    // 254
  output_not_opened = -3,   // 253
  output_not_written = -4,  // 252
  input_not_read = -5,      // 251
  out_of_memory = -6,       // 250
  stdout_not_written = -7,  // 249
  database_not_loaded = -8  // 248
};

/// Names the program in every later message; "VIViriZovuro" until called.
void set_program_name(std::string_view name);

/// Writes "NAME error: " and `message` as one line to `out` (standard
/// output unless another stream is named), flushed.
void print_error(std::string_view message);
void print_error(std::ostream& out, std::string_view message);

/// Writes "NAME warning: " and `message` as one line to `out`, flushed.
void print_warning(std::ostream& out, std::string_view message);

/// Prints `message` and records `status` as the run's status unless an
/// earlier failure was recorded.
void fail(exit_status status, std::string_view message);

/// The status of the first recorded failure, exit_status::done without one.
exit_status recorded_failure();

}  // namespace Detail
